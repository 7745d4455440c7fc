#include "services/evernote/EDAMClients.h"

#include "services/evernote/THTTPClient.h"

#include <thrift/protocol/TBinaryProtocol.h>

std::shared_ptr<apache::thrift::protocol::TProtocol> EDAMClients::protocolForURL(const std::string& url)
{
    constexpr int32_t noStringLimit = 0;
    constexpr int32_t noContainerLimit = 0;
    constexpr bool strictRead = false;
    constexpr bool strictWrite = false;
    return std::make_shared<apache::thrift::protocol::TBinaryProtocolT<THTTPClient>>(
        std::make_shared<THTTPClient>(url), noStringLimit, noContainerLimit, strictRead, strictWrite);
}

std::unique_ptr<EDAMUserStoreClient> EDAMClients::userStore(const std::string& url)
{
    return std::make_unique<EDAMUserStoreClient>(protocolForURL(url));
}

std::unique_ptr<EDAMNoteStoreClient> EDAMClients::noteStore(const std::string& url)
{
    return std::make_unique<EDAMNoteStoreClient>(protocolForURL(url));
}
