#include "sharing/core/DefaultSHKConfigurator.h"

DefaultSHKConfigurator::~DefaultSHKConfigurator() = default;

std::string DefaultSHKConfigurator::appName() const
{
    return "My App Name";
}

std::string DefaultSHKConfigurator::appURL() const
{
    return "https://www.example.com";
}

std::string DefaultSHKConfigurator::vkontakteAppId() const
{
    return "";
}

std::string DefaultSHKConfigurator::facebookAppId() const
{
    return "";
}

std::string DefaultSHKConfigurator::facebookLocalAppId() const
{
    return "";
}

std::vector<std::string> DefaultSHKConfigurator::facebookListOfPermissions() const
{
    return { "publish_stream", "offline_access" };
}

std::string DefaultSHKConfigurator::readItLaterKey() const
{
    return "";
}

std::string DefaultSHKConfigurator::diigoKey() const
{
    return "";
}

bool DefaultSHKConfigurator::forcePreIOS5TwitterAccess() const
{
    return false;
}

std::string DefaultSHKConfigurator::twitterConsumerKey() const
{
    return "";
}

std::string DefaultSHKConfigurator::twitterSecret() const
{
    return "";
}

std::string DefaultSHKConfigurator::twitterCallbackUrl() const
{
    return "";
}

int64_t DefaultSHKConfigurator::twitterUseXAuth() const
{
    return 0;
}

std::string DefaultSHKConfigurator::twitterUsername() const
{
    return "";
}

std::string DefaultSHKConfigurator::evernoteUserStoreURL() const
{
    return "";
}

std::string DefaultSHKConfigurator::evernoteNetStoreURLBase() const
{
    return "";
}

std::string DefaultSHKConfigurator::evernoteConsumerKey() const
{
    return "";
}

std::string DefaultSHKConfigurator::evernoteSecret() const
{
    return "";
}

std::string DefaultSHKConfigurator::flickrConsumerKey() const
{
    return "";
}

std::string DefaultSHKConfigurator::flickrSecretKey() const
{
    return "";
}

std::string DefaultSHKConfigurator::flickrCallbackUrl() const
{
    return "app://flickr";
}

std::string DefaultSHKConfigurator::bitLyLogin() const
{
    return "";
}

std::string DefaultSHKConfigurator::bitLyKey() const
{
    return "";
}

std::string DefaultSHKConfigurator::linkedInConsumerKey() const
{
    return "";
}

std::string DefaultSHKConfigurator::linkedInSecret() const
{
    return "";
}

std::string DefaultSHKConfigurator::linkedInCallbackUrl() const
{
    return "";
}

std::string DefaultSHKConfigurator::readabilityConsumerKey() const
{
    return "";
}

std::string DefaultSHKConfigurator::readabilitySecret() const
{
    return "";
}

int64_t DefaultSHKConfigurator::readabilityUseXAuth() const
{
    return 1;
}

std::string DefaultSHKConfigurator::foursquareV2ClientId() const
{
    return "";
}

std::string DefaultSHKConfigurator::foursquareV2RedirectURI() const
{
    return "";
}

std::string DefaultSHKConfigurator::barStyle() const
{
    return "UIBarStyleDefault";
}

std::optional<gfx::Color> DefaultSHKConfigurator::barTintForView(const std::shared_ptr<ui::ViewController>&) const
{
    return std::nullopt;
}

std::optional<gfx::Color> DefaultSHKConfigurator::formFontColor() const
{
    return std::nullopt;
}

std::optional<gfx::Color> DefaultSHKConfigurator::formBackgroundColor() const
{
    return std::nullopt;
}

std::string DefaultSHKConfigurator::modalPresentationStyle() const
{
    return "UIModalPresentationFormSheet";
}

std::string DefaultSHKConfigurator::modalTransitionStyle() const
{
    return "UIModalTransitionStyleCoverVertical";
}

int64_t DefaultSHKConfigurator::shareMenuAlphabeticalOrder() const
{
    return 0;
}

int64_t DefaultSHKConfigurator::sharedWithSignature() const
{
    return 0;
}

std::string DefaultSHKConfigurator::sharersPlistName() const
{
    return "SHKSharers.plist";
}

bool DefaultSHKConfigurator::showActionSheetMoreButton() const
{
    return true;
}

std::vector<std::string> DefaultSHKConfigurator::defaultFavoriteURLSharers() const
{
    return { "SHKTwitter", "SHKFacebook", "SHKReadability", "SHKReadItLater", "SHKVkontakte" };
}

std::vector<std::string> DefaultSHKConfigurator::defaultFavoriteImageSharers() const
{
    return { "SHKMail", "SHKFacebook", "SHKCopy", "SHKVkontakte" };
}

std::vector<std::string> DefaultSHKConfigurator::defaultFavoriteTextSharers() const
{
    return { "SHKMail", "SHKTwitter", "SHKFacebook", "SHKVkontakte", "SHKLinkedIn" };
}

std::vector<std::string> DefaultSHKConfigurator::defaultFavoriteFileSharers() const
{
    return { "SHKMail", "SHKEvernote" };
}

bool DefaultSHKConfigurator::autoOrderFavoriteSharers() const
{
    return true;
}

std::optional<bool> DefaultSHKConfigurator::usePlaceholders() const
{
    return false;
}

int64_t DefaultSHKConfigurator::maxFavCount() const
{
    return 3;
}

std::string DefaultSHKConfigurator::favsPrefixKey() const
{
    return "SHK_FAVS_";
}

std::string DefaultSHKConfigurator::authPrefix() const
{
    return "SHK_AUTH_";
}

bool DefaultSHKConfigurator::allowOffline() const
{
    return true;
}

bool DefaultSHKConfigurator::allowAutoShare() const
{
    return true;
}
