// The records of the note service that this application sends or reads. Every field is optional,
// so only what the sharer sets goes on the wire; fields this application never reads are left out
// and skipped by their type when a reply carries them.

typedef string Guid
typedef i64 Timestamp

struct EDAMData {
    1: optional binary bodyHash
    2: optional i32 size
    3: optional binary body
}

struct EDAMUser {
    1: optional i32 id
    2: optional string username
    3: optional string email
    4: optional string name
    6: optional string timezone
    7: optional i32 privilege
    9: optional Timestamp created
    10: optional Timestamp updated
    11: optional Timestamp deleted
    13: optional bool active
    14: optional string shardId
}

struct EDAMAuthenticationResult {
    1: optional Timestamp currentTime
    2: optional string authenticationToken
    3: optional Timestamp expiration
    4: optional EDAMUser user
}

struct EDAMNotebook {
    1: optional Guid guid
    2: optional string name
    5: optional i32 updateSequenceNum
    6: optional bool defaultNotebook
    7: optional Timestamp serviceCreated
    8: optional Timestamp serviceUpdated
    11: optional bool published
    12: optional string stack
}

struct EDAMResourceAttributes {
    1: optional string sourceURL
    2: optional Timestamp timestamp
    3: optional double latitude
    4: optional double longitude
    5: optional double altitude
    6: optional string cameraMake
    7: optional string cameraModel
    8: optional bool clientWillIndex
    9: optional string recoType
    10: optional string fileName
    11: optional bool attachment
}

struct EDAMResource {
    1: optional Guid guid
    2: optional Guid noteGuid
    3: optional EDAMData data
    4: optional string mime
    5: optional i16 width
    6: optional i16 height
    7: optional i16 duration
    8: optional bool active
    9: optional EDAMData recognition
    11: optional EDAMResourceAttributes attributes
    12: optional i32 updateSequenceNum
    13: optional EDAMData alternateData
}

struct EDAMNoteAttributes {
    1: optional Timestamp subjectDate
    10: optional double latitude
    11: optional double longitude
    12: optional double altitude
    13: optional string author
    14: optional string source
    15: optional string sourceURL
    16: optional string sourceApplication
}

struct EDAMNote {
    1: optional Guid guid
    2: optional string title
    3: optional string content
    4: optional binary contentHash
    5: optional i32 contentLength
    6: optional Timestamp created
    7: optional Timestamp updated
    8: optional Timestamp deleted
    9: optional bool active
    10: optional i32 updateSequenceNum
    11: optional Guid notebookGuid
    12: optional list<Guid> tagGuids
    13: optional list<EDAMResource> resources
    14: optional EDAMNoteAttributes attributes
    15: optional list<string> tagNames
}

exception EDAMUserException {
    1: optional i32 errorCode
    2: optional string parameter
}

exception EDAMSystemException {
    1: optional i32 errorCode
    2: optional string message
}

exception EDAMNotFoundException {
    1: optional string identifier
    2: optional string key
}
