#pragma once

#include "services/evernote/EDAMClients.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

// Where the note service is and how this application introduces itself, read from the sharing
// configuration on the main thread and then handed to a worker thread by value.
class EvernoteService {
public:
    static constexpr std::string_view clientName = "ShrareKit EDMA";

    static EvernoteService fromConfiguration();

    // Checks the protocol version, then logs in (blocking). Nothing when the service refuses the
    // version, after `versionRefused` ran; the service's and the transport's failures are raised.
    std::optional<EDAMAuthenticationResult> authenticate(const std::string& username, const std::string& password,
        const std::function<void()>& versionRefused) const;

    // The note store of the user's shard.
    std::unique_ptr<EDAMNoteStoreClient> noteStore(const std::string& shardId) const;

    std::string userStoreURL;
    std::string noteStoreURLBase;
    std::string consumerKey;
    std::string consumerSecret;
};
