#include "services/evernote/EvernoteService.h"

#include "sharing/core/SHKConfiguration.h"

EvernoteService EvernoteService::fromConfiguration()
{
    auto& configurator = SHKConfiguration::sharedInstance()->configurator();
    return {
        configurator.evernoteUserStoreURL(),
        configurator.evernoteNetStoreURLBase(),
        configurator.evernoteConsumerKey(),
        configurator.evernoteSecret(),
    };
}

std::optional<EDAMAuthenticationResult> EvernoteService::authenticate(const std::string& username, const std::string& password,
    const std::function<void()>& versionRefused) const
{
    auto userStore = EDAMClients::userStore(userStoreURL);
    auto& constants = g_EDAMUserStore_constants;
    if (!userStore->checkVersion(std::string(clientName), constants.EDAM_VERSION_MAJOR, constants.EDAM_VERSION_MINOR)) {
        if (versionRefused)
            versionRefused();
        return std::nullopt;
    }
    EDAMAuthenticationResult result;
    userStore->authenticate(result, username, password, consumerKey, consumerSecret);
    return result;
}

std::unique_ptr<EDAMNoteStoreClient> EvernoteService::noteStore(const std::string& shardId) const
{
    return EDAMClients::noteStore(noteStoreURLBase + shardId);
}
