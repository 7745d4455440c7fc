#pragma once

#include "platform/graphics/Color.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Every tunable of the sharing framework, in one list: each entry becomes a virtual operation of
// DefaultSHKConfigurator (so a misspelt key does not compile and a subclass overrides it) and an
// entry of the table that SHKConfiguration looks names up in.
//
// KEY(type, name) is an operation without arguments; KEY_FOR_VIEW(type, name) takes the view
// controller being shown and is looked up as "name:".
#define SHK_FOR_EACH_CONFIGURATION_KEY(KEY, KEY_FOR_VIEW) \
    KEY(std::string, appName) \
    KEY(std::string, appURL) \
    KEY(std::string, vkontakteAppId) \
    KEY(std::string, facebookAppId) \
    KEY(std::string, facebookLocalAppId) \
    KEY(std::vector<std::string>, facebookListOfPermissions) \
    KEY(std::string, readItLaterKey) \
    KEY(std::string, diigoKey) \
    KEY(bool, forcePreIOS5TwitterAccess) \
    KEY(std::string, twitterConsumerKey) \
    KEY(std::string, twitterSecret) \
    KEY(std::string, twitterCallbackUrl) \
    KEY(int64_t, twitterUseXAuth) \
    KEY(std::string, twitterUsername) \
    KEY(std::string, evernoteUserStoreURL) \
    KEY(std::string, evernoteNetStoreURLBase) \
    KEY(std::string, evernoteConsumerKey) \
    KEY(std::string, evernoteSecret) \
    KEY(std::string, flickrConsumerKey) \
    KEY(std::string, flickrSecretKey) \
    KEY(std::string, flickrCallbackUrl) \
    KEY(std::string, bitLyLogin) \
    KEY(std::string, bitLyKey) \
    KEY(std::string, linkedInConsumerKey) \
    KEY(std::string, linkedInSecret) \
    KEY(std::string, linkedInCallbackUrl) \
    KEY(std::string, readabilityConsumerKey) \
    KEY(std::string, readabilitySecret) \
    KEY(int64_t, readabilityUseXAuth) \
    KEY(std::string, foursquareV2ClientId) \
    KEY(std::string, foursquareV2RedirectURI) \
    KEY(std::string, barStyle) \
    KEY_FOR_VIEW(std::optional<gfx::Color>, barTintForView) \
    KEY(std::optional<gfx::Color>, formFontColor) \
    KEY(std::optional<gfx::Color>, formBackgroundColor) \
    KEY(std::string, modalPresentationStyle) \
    KEY(std::string, modalTransitionStyle) \
    KEY(int64_t, shareMenuAlphabeticalOrder) \
    KEY(int64_t, sharedWithSignature) \
    KEY(std::string, sharersPlistName) \
    KEY(bool, showActionSheetMoreButton) \
    KEY(std::vector<std::string>, defaultFavoriteURLSharers) \
    KEY(std::vector<std::string>, defaultFavoriteImageSharers) \
    KEY(std::vector<std::string>, defaultFavoriteTextSharers) \
    KEY(std::vector<std::string>, defaultFavoriteFileSharers) \
    KEY(bool, autoOrderFavoriteSharers) \
    KEY(std::optional<bool>, usePlaceholders) \
    KEY(int64_t, maxFavCount) \
    KEY(std::string, favsPrefixKey) \
    KEY(std::string, authPrefix) \
    KEY(bool, allowOffline) \
    KEY(bool, allowAutoShare)
