#include "platform/foundation/Array.h"
#include "platform/foundation/Exception.h"
#include "platform/foundation/Number.h"
#include "platform/foundation/String.h"
#include "sharing/core/MySHKConfigurator.h"
#include "sharing/core/SHKColorValue.h"
#include "sharing/core/SHKConfiguration.h"

#include <gtest/gtest.h>

namespace {

fnd::Id text(std::string_view value)
{
    return fnd::String::create(value);
}

fnd::Id integer(int64_t value)
{
    return fnd::Number::withInteger(value);
}

fnd::Id boolean(bool value)
{
    return fnd::Number::withBool(value);
}

fnd::Id texts(std::initializer_list<std::string_view> values)
{
    std::vector<fnd::Id> objects;
    for (auto value : values)
        objects.push_back(fnd::String::create(value));
    return fnd::Array::create(std::move(objects));
}

struct ExpectedValue {
    std::string_view key;
    fnd::Id value;
};

std::vector<ExpectedValue> defaultValues()
{
    return {
        { "appName", text("My App Name") },
        { "appURL", text("https://www.example.com") },
        { "vkontakteAppId", text("") },
        { "facebookAppId", text("") },
        { "facebookLocalAppId", text("") },
        { "facebookListOfPermissions", texts({ "publish_stream", "offline_access" }) },
        { "readItLaterKey", text("") },
        { "diigoKey", text("") },
        { "forcePreIOS5TwitterAccess", boolean(false) },
        { "twitterConsumerKey", text("") },
        { "twitterSecret", text("") },
        { "twitterCallbackUrl", text("") },
        { "twitterUseXAuth", integer(0) },
        { "twitterUsername", text("") },
        { "evernoteUserStoreURL", text("") },
        { "evernoteNetStoreURLBase", text("") },
        { "evernoteConsumerKey", text("") },
        { "evernoteSecret", text("") },
        { "flickrConsumerKey", text("") },
        { "flickrSecretKey", text("") },
        { "flickrCallbackUrl", text("app://flickr") },
        { "bitLyLogin", text("") },
        { "bitLyKey", text("") },
        { "linkedInConsumerKey", text("") },
        { "linkedInSecret", text("") },
        { "linkedInCallbackUrl", text("") },
        { "readabilityConsumerKey", text("") },
        { "readabilitySecret", text("") },
        { "readabilityUseXAuth", integer(1) },
        { "foursquareV2ClientId", text("") },
        { "foursquareV2RedirectURI", text("") },
        { "barStyle", text("UIBarStyleDefault") },
        { "barTintForView:", nullptr },
        { "formFontColor", nullptr },
        { "formBackgroundColor", nullptr },
        { "modalPresentationStyle", text("UIModalPresentationFormSheet") },
        { "modalTransitionStyle", text("UIModalTransitionStyleCoverVertical") },
        { "shareMenuAlphabeticalOrder", integer(0) },
        { "sharedWithSignature", integer(0) },
        { "sharersPlistName", text("SHKSharers.plist") },
        { "showActionSheetMoreButton", boolean(true) },
        { "defaultFavoriteURLSharers", texts({ "SHKTwitter", "SHKFacebook", "SHKReadability", "SHKReadItLater", "SHKVkontakte" }) },
        { "defaultFavoriteImageSharers", texts({ "SHKMail", "SHKFacebook", "SHKCopy", "SHKVkontakte" }) },
        { "defaultFavoriteTextSharers", texts({ "SHKMail", "SHKTwitter", "SHKFacebook", "SHKVkontakte", "SHKLinkedIn" }) },
        { "defaultFavoriteFileSharers", texts({ "SHKMail", "SHKEvernote" }) },
        { "autoOrderFavoriteSharers", boolean(true) },
        { "usePlaceholders", boolean(false) },
        { "maxFavCount", integer(3) },
        { "favsPrefixKey", text("SHK_FAVS_") },
        { "authPrefix", text("SHK_AUTH_") },
        { "allowOffline", boolean(true) },
        { "allowAutoShare", boolean(true) },
    };
}

void expectValue(const SHKConfiguration& configuration, const ExpectedValue& expected)
{
    auto value = configuration.configurationValue(expected.key);
    EXPECT_TRUE(fnd::isEqual(value, expected.value)) << expected.key << ": " << fnd::descriptionOf(value);
    // Booleans stay booleans and numbers stay numbers, so callers reading either get the right answer.
    if (auto expectedNumber = fnd::as<fnd::Number>(expected.value)) {
        auto number = fnd::as<fnd::Number>(value);
        ASSERT_TRUE(number) << expected.key;
        EXPECT_EQ(number->isBoolean(), expectedNumber->isBoolean()) << expected.key;
    }
}

class TintingConfigurator : public DefaultSHKConfigurator {
public:
    std::optional<gfx::Color> barTintForView(const std::shared_ptr<ui::ViewController>& view) const override
    {
        ++askedCount;
        return view ? gfx::Color(1, 0, 0) : gfx::Color(0, 0, 1);
    }
    std::optional<gfx::Color> formFontColor() const override { return gfx::Color::black(); }
    std::optional<gfx::Color> formBackgroundColor() const override { return gfx::Color::white(); }
    std::optional<bool> usePlaceholders() const override { return std::nullopt; }
    int64_t maxFavCount() const override { return 5; }

    mutable int askedCount = 0;
};

class SHKConfigurationTests : public ::testing::Test {
protected:
    void SetUp() override { SHKConfiguration::resetForTesting(); }
    void TearDown() override { SHKConfiguration::resetForTesting(); }
};

}

TEST_F(SHKConfigurationTests, DefaultConfiguratorAnswersEveryKey)
{
    auto configuration = SHKConfiguration::sharedInstanceWithConfigurator(std::make_shared<DefaultSHKConfigurator>());
    auto expected = defaultValues();
    EXPECT_EQ(expected.size(), 52u);
    for (auto& value : expected)
        expectValue(*configuration, value);
}

TEST_F(SHKConfigurationTests, ApplicationConfiguratorOverridesItsKeys)
{
    auto configuration = SHKConfiguration::sharedInstanceWithConfigurator(std::make_shared<MySHKConfigurator>());
    std::vector<ExpectedValue> overrides {
        { "autoOrderFavoriteSharers", boolean(false) },
        { "defaultFavoriteURLSharers", texts({ "SHKFacebook", "SHKTwitter", "SHKTextMessage" }) },
        { "showActionSheetMoreButton", boolean(true) },
        { "favsPrefixKey", text("BRENZO_FAVS_") },
        { "facebookAppId", text("517390286044913") },
        { "twitterConsumerKey", text("brenzo-twitter-consumer") },
        { "twitterSecret", text("brenzo-twitter-secret") },
        { "twitterCallbackUrl", text("http://brenzo.example.com/twitter-callback") },
    };
    for (auto& value : overrides)
        expectValue(*configuration, value);
    for (auto& value : defaultValues()) {
        bool overridden = std::any_of(overrides.begin(), overrides.end(), [&](auto& entry) { return entry.key == value.key; });
        if (!overridden)
            expectValue(*configuration, value);
    }
    EXPECT_EQ(configuration->configurator().favsPrefixKey(), "BRENZO_FAVS_");
}

TEST_F(SHKConfigurationTests, UnknownKeysReadAsNothing)
{
    auto configuration = SHKConfiguration::sharedInstanceWithConfigurator(std::make_shared<MySHKConfigurator>());
    EXPECT_FALSE(configuration->configurationValue("noSuchKey"));
    EXPECT_FALSE(configuration->configurationValue(""));
    EXPECT_FALSE(configuration->configurationValue("MaxFavCount"));
    // The tint takes its argument: without the colon there is no such operation, and with one
    // no other key exists.
    EXPECT_FALSE(configuration->configurationValue("barTintForView"));
    EXPECT_FALSE(configuration->configurationValue("maxFavCount:"));
}

TEST_F(SHKConfigurationTests, LookupsByNameReachSubclassOverrides)
{
    auto configurator = std::make_shared<TintingConfigurator>();
    auto configuration = SHKConfiguration::sharedInstanceWithConfigurator(configurator);

    auto tint = fnd::as<SHKColorValue>(configuration->configurationValueWithObject("barTintForView:", nullptr));
    ASSERT_TRUE(tint);
    EXPECT_EQ(tint->color(), gfx::Color(0, 0, 1));
    EXPECT_EQ(configurator->askedCount, 1);

    auto background = fnd::as<SHKColorValue>(configuration->configurationValue("formBackgroundColor"));
    ASSERT_TRUE(background);
    EXPECT_EQ(background->color(), gfx::Color::white());
    auto font = fnd::as<SHKColorValue>(configuration->configurationValue("formFontColor"));
    ASSERT_TRUE(font);
    EXPECT_EQ(font->color(), gfx::Color::black());
    EXPECT_FALSE(configuration->configurationValue("usePlaceholders"));
    EXPECT_TRUE(fnd::isEqual(configuration->configurationValue("maxFavCount"), integer(5)));
    EXPECT_EQ(configuration->configurator().maxFavCount(), 5);
}

TEST_F(SHKConfigurationTests, InstallingTwiceThrowsAndKeepsTheFirst)
{
    auto first = std::make_shared<MySHKConfigurator>();
    SHKConfiguration::sharedInstanceWithConfigurator(first);
    try {
        SHKConfiguration::sharedInstanceWithConfigurator(std::make_shared<DefaultSHKConfigurator>());
        ADD_FAILURE() << "a second install was accepted";
    } catch (const fnd::Exception& exception) {
        EXPECT_EQ(exception.name(), "IllegalStateException");
        EXPECT_EQ(exception.reason(), "SHKConfiguration has already been configured with a delegate.");
    }
    EXPECT_EQ(&SHKConfiguration::sharedInstance()->configurator(), first.get());
    EXPECT_TRUE(fnd::isEqual(SHKConfiguration::sharedInstance()->configurationValue("favsPrefixKey"), text("BRENZO_FAVS_")));
}

TEST_F(SHKConfigurationTests, ReadingBeforeTheInstallThrows)
{
    try {
        SHKConfiguration::sharedInstance();
        ADD_FAILURE() << "no configuration was installed";
    } catch (const fnd::Exception& exception) {
        EXPECT_EQ(exception.name(), "IllegalStateException");
        EXPECT_NE(exception.reason().find("DefaultSHKConfigurator"), std::string::npos);
    }
    EXPECT_THROW(SHKConfiguration::sharedInstanceWithConfigurator(nullptr), fnd::Exception);
}
