#pragma once

#include "sharing/core/DefaultSHKConfigurator.h"

// The application's configuration: the board shares links to Facebook, Twitter and text messages,
// keeps its favourites in a fixed order and under its own prefix.
class MySHKConfigurator : public DefaultSHKConfigurator {
public:
    // The note service's user store and the prefix of its note stores (empty unless given). The
    // application passes its service endpoints' addresses, so that a session can point them elsewhere.
    struct EvernoteStores {
        std::string userStoreURL;
        std::string noteStoreURLBase;
    };

    MySHKConfigurator() = default;
    explicit MySHKConfigurator(EvernoteStores stores)
        : m_evernoteStores(std::move(stores))
    {
    }

    bool autoOrderFavoriteSharers() const override;
    std::vector<std::string> defaultFavoriteURLSharers() const override;
    bool showActionSheetMoreButton() const override;
    std::string favsPrefixKey() const override;
    std::string facebookAppId() const override;
    std::string twitterConsumerKey() const override;
    std::string twitterSecret() const override;
    std::string twitterCallbackUrl() const override;
    std::string evernoteUserStoreURL() const override { return m_evernoteStores.userStoreURL; }
    std::string evernoteNetStoreURLBase() const override { return m_evernoteStores.noteStoreURLBase; }

private:
    EvernoteStores m_evernoteStores;
};
