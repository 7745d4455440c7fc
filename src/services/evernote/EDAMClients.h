#pragma once

#include "edam/EDAMNoteStore.h"
#include "edam/EDAMUserStore.h"
#include "edam/EDAMUserStore_constants.h"

#include <memory>
#include <string>

// Clients of the note service's two stores. Each runs over a new HTTP transport to the address and
// a binary protocol with strict reading and writing off, which the service speaks; the one protocol
// carries both directions. Calls block until the reply has been read and raise every failure.
class EDAMClients {
public:
    static std::shared_ptr<apache::thrift::protocol::TProtocol> protocolForURL(const std::string& url);
    static std::unique_ptr<EDAMUserStoreClient> userStore(const std::string& url);
    static std::unique_ptr<EDAMNoteStoreClient> noteStore(const std::string& url);
};
