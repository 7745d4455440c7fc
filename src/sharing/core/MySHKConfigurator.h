#pragma once

#include "sharing/core/DefaultSHKConfigurator.h"

// The application's configuration: the board shares links to Facebook, Twitter and text messages,
// keeps its favourites in a fixed order and under its own prefix.
class MySHKConfigurator : public DefaultSHKConfigurator {
public:
    bool autoOrderFavoriteSharers() const override;
    std::vector<std::string> defaultFavoriteURLSharers() const override;
    bool showActionSheetMoreButton() const override;
    std::string favsPrefixKey() const override;
    std::string facebookAppId() const override;
    std::string twitterConsumerKey() const override;
    std::string twitterSecret() const override;
    std::string twitterCallbackUrl() const override;
};
