// The note store of one shard: the user's notebooks and making a note.

include "EDAMTypes.thrift"

service EDAMNoteStore {
    list<EDAMTypes.EDAMNotebook> listNotebooks(1: string authenticationToken)
        throws (1: EDAMTypes.EDAMUserException userException, 2: EDAMTypes.EDAMSystemException systemException)

    EDAMTypes.EDAMNote createNote(1: string authenticationToken, 2: EDAMTypes.EDAMNote note)
        throws (1: EDAMTypes.EDAMUserException userException, 2: EDAMTypes.EDAMSystemException systemException,
                3: EDAMTypes.EDAMNotFoundException notFoundException)
}
