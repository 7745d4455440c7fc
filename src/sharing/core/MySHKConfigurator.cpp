#include "sharing/core/MySHKConfigurator.h"

bool MySHKConfigurator::autoOrderFavoriteSharers() const
{
    return false;
}

std::vector<std::string> MySHKConfigurator::defaultFavoriteURLSharers() const
{
    return { "SHKFacebook", "SHKTwitter", "SHKTextMessage" };
}

bool MySHKConfigurator::showActionSheetMoreButton() const
{
    return true;
}

std::string MySHKConfigurator::favsPrefixKey() const
{
    return "BRENZO_FAVS_";
}

std::string MySHKConfigurator::facebookAppId() const
{
    return "517390286044913";
}

std::string MySHKConfigurator::twitterConsumerKey() const
{
    return "brenzo-twitter-consumer";
}

std::string MySHKConfigurator::twitterSecret() const
{
    return "brenzo-twitter-secret";
}

// Never loaded: the login web page stops when the service sends the browser here.
std::string MySHKConfigurator::twitterCallbackUrl() const
{
    return "http://brenzo.example.com/twitter-callback";
}
