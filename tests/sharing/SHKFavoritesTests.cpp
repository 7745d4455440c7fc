#include "SharingTestEnvironment.h"

#include "platform/foundation/Number.h"
#include "platform/foundation/String.h"
#include "platform/foundation/UserDefaults.h"
#include "sharing/core/KeychainStore.h"
#include "sharing/core/SHK.h"

#include <gtest/gtest.h>

using brenzo::testing::OfferedServicesBundle;
using brenzo::testing::RegisteredTestSharer;
using brenzo::testing::SharingEnvironment;
using brenzo::testing::TestSharerClass;
using Ids = std::vector<std::string>;

namespace {

fnd::Ref<fnd::Array> arrayOf(const Ids& ids)
{
    std::vector<fnd::Id> objects;
    for (auto& id : ids)
        objects.push_back(fnd::String::create(id));
    return fnd::Array::create(std::move(objects));
}

fnd::Ref<fnd::UserDefaults> defaults()
{
    return fnd::UserDefaults::standardUserDefaults();
}

// What is stored under the key: the strings of the array, or nothing.
std::optional<Ids> stored(std::string_view key)
{
    auto array = defaults()->arrayForKey(key);
    if (!array)
        return std::nullopt;
    Ids ids;
    for (auto& object : *array)
        ids.push_back(fnd::descriptionOf(object));
    return ids;
}

class AutoOrderingConfigurator : public DefaultSHKConfigurator {
public:
    std::vector<std::string> defaultFavoriteURLSharers() const override { return { "P", "Q", "R" }; }
};

}

TEST(SHKFavoritesTests, ApplicationFavoritesComeFromItsConfigurationAndAreStored)
{
    SharingEnvironment environment;
    EXPECT_EQ(SHK::favoriteSharersForType(SHKShareTypeURL), (Ids { "SHKFacebook", "SHKTwitter", "SHKTextMessage" }));
    EXPECT_EQ(stored("BRENZO_FAVS_1"), (Ids { "SHKFacebook", "SHKTwitter", "SHKTextMessage" }));
    EXPECT_EQ(stored("SHK_FAVS_1"), std::nullopt);

    // The default image favourites name a sharer that is not offered: it goes, and the list is stored without it.
    EXPECT_EQ(SHK::favoriteSharersForType(SHKShareTypeImage), (Ids { "SHKMail", "SHKFacebook", "SHKCopy" }));
    EXPECT_EQ(stored("BRENZO_FAVS_3"), (Ids { "SHKMail", "SHKFacebook", "SHKCopy" }));

    EXPECT_EQ(SHK::favoriteSharersForType(SHKShareTypeUserInfoRequest), Ids {});
    EXPECT_EQ(stored("BRENZO_FAVS_5"), Ids {});
}

TEST(SHKFavoritesTests, FavoritesThatAreNotOfferedOrExcludedGo)
{
    SharingEnvironment environment;
    OfferedServicesBundle bundle({ "SHKTextMessage" }, { "SHKFacebook" });
    EXPECT_EQ(SHK::favoriteSharersForType(SHKShareTypeURL), (Ids { "SHKFacebook", "SHKTextMessage" }));
    EXPECT_EQ(stored("BRENZO_FAVS_1"), (Ids { "SHKFacebook", "SHKTextMessage" }));

    // An excluded sharer is left out of the answer but keeps its place in the stored list.
    defaults()->setObjectForKey(arrayOf({ "SHKFacebook" }), "SHKExcluded");
    EXPECT_EQ(SHK::favoriteSharersForType(SHKShareTypeURL), (Ids { "SHKTextMessage" }));
    EXPECT_EQ(stored("BRENZO_FAVS_1"), (Ids { "SHKFacebook", "SHKTextMessage" }));
    defaults()->setObjectForKey(arrayOf({}), "SHKExcluded");
    EXPECT_EQ(SHK::favoriteSharersForType(SHKShareTypeURL), (Ids { "SHKFacebook", "SHKTextMessage" }));
}

TEST(SHKFavoritesTests, StoredValuesOfTheWrongTypeCountAsAbsent)
{
    SharingEnvironment environment;
    defaults()->setObjectForKey(fnd::String::create("SHKFacebook"), "BRENZO_FAVS_1");
    EXPECT_EQ(SHK::favoriteSharersForType(SHKShareTypeURL), (Ids { "SHKFacebook", "SHKTwitter", "SHKTextMessage" }));

    defaults()->setObjectForKey(fnd::Array::create({ fnd::Number::withInteger(3), fnd::String::create("SHKMail") }), "BRENZO_FAVS_2");
    defaults()->setObjectForKey(fnd::Number::withInteger(1), "SHKExcluded");
    EXPECT_EQ(SHK::favoriteSharersForType(SHKShareTypeText), (Ids { "SHKMail" }));
}

TEST(SHKFavoritesTests, UnreadableOfferedServicesNeitherFilterNorStore)
{
    SharingEnvironment environment;
    {
        OfferedServicesBundle withoutList;
        EXPECT_FALSE(SHK::sharersDictionary());
        EXPECT_EQ(SHK::favoriteSharersForType(SHKShareTypeURL), (Ids { "SHKFacebook", "SHKTwitter", "SHKTextMessage" }));
        EXPECT_EQ(stored("BRENZO_FAVS_1"), std::nullopt);

        defaults()->setObjectForKey(arrayOf({ "SHKTwitter" }), "SHKExcluded");
        EXPECT_EQ(SHK::favoriteSharersForType(SHKShareTypeURL), (Ids { "SHKFacebook", "SHKTextMessage" }));
        EXPECT_EQ(stored("BRENZO_FAVS_1"), std::nullopt);
    }
    // Once the list can be read again the defaults are still there to be filtered.
    OfferedServicesBundle bundle({}, { "SHKFacebook", "SHKTwitter", "SHKTextMessage" });
    EXPECT_EQ(SHK::favoriteSharersForType(SHKShareTypeURL), (Ids { "SHKFacebook", "SHKTextMessage" }));
    EXPECT_EQ(stored("BRENZO_FAVS_1"), (Ids { "SHKFacebook", "SHKTwitter", "SHKTextMessage" }));
}

TEST(SHKFavoritesTests, PushingReordersOnlyWhenConfiguredTo)
{
    {
        SharingEnvironment application;
        SHK::pushOnFavoritesForType("SHKTextMessage", SHKShareTypeURL);
        EXPECT_EQ(stored("BRENZO_FAVS_1"), std::nullopt);
    }

    SharingEnvironment environment(std::make_shared<AutoOrderingConfigurator>());
    OfferedServicesBundle bundle({ "P", "Q" }, { "R", "S", "T" });
    SHK::pushOnFavoritesForType("S", SHKShareTypeURL);
    EXPECT_EQ(stored("SHK_FAVS_1"), (Ids { "S", "P", "Q" }));

    SHK::setFavoritesForType({ "P", "Q", "R" }, SHKShareTypeURL);
    SHK::pushOnFavoritesForType("Q", SHKShareTypeURL);
    EXPECT_EQ(stored("SHK_FAVS_1"), (Ids { "Q", "P", "R" }));

    defaults()->setObjectForKey(arrayOf({ "T" }), "SHKExcluded");
    SHK::pushOnFavoritesForType("T", SHKShareTypeURL);
    EXPECT_EQ(stored("SHK_FAVS_1"), (Ids { "Q", "P", "R" }));

    // Excluded favourites keep their places and do not count towards the three shown.
    defaults()->setObjectForKey(arrayOf({ "P" }), "SHKExcluded");
    SHK::pushOnFavoritesForType("S", SHKShareTypeURL);
    EXPECT_EQ(stored("SHK_FAVS_1"), (Ids { "S", "Q", "P", "R" }));
    EXPECT_EQ(SHK::favoriteSharersForType(SHKShareTypeURL), (Ids { "S", "Q", "R" }));
    defaults()->setObjectForKey(arrayOf({ "T" }), "SHKExcluded");
    SHK::pushOnFavoritesForType("R", SHKShareTypeURL);
    EXPECT_EQ(stored("SHK_FAVS_1"), (Ids { "R", "S", "Q" }));

    // Favourites of other types start from their own defaults.
    SHK::pushOnFavoritesForType("S", SHKShareTypeText);
    EXPECT_EQ(stored("SHK_FAVS_2"), (Ids { "S" }));
}

TEST(SHKFavoritesTests, UserExclusionsLiveUnderTheFavoritesPrefix)
{
    SharingEnvironment environment;
    EXPECT_FALSE(SHK::getUserExclusions());
    SHK::setUserExclusions(arrayOf({ "SHKFacebook" }));
    EXPECT_TRUE(fnd::isEqual(defaults()->objectForKey("BRENZO_FAVS_Exclusions"), arrayOf({ "SHKFacebook" })));
    EXPECT_TRUE(fnd::isEqual(SHK::getUserExclusions(), arrayOf({ "SHKFacebook" })));
}

TEST(SHKFavoritesTests, OfferedServicesOfTheApplication)
{
    SharingEnvironment environment;
    EXPECT_EQ(SHK::offeredSharerIds("actions"), (Ids { "SHKMail", "SHKTextMessage", "SHKCopy", "SHKPrint", "SHKSafari", "SHKPhotoAlbum", "SHKLogout" }));
    auto services = SHK::offeredSharerIds("services");
    EXPECT_EQ(services.size(), 10u);
    EXPECT_NE(std::find(services.begin(), services.end(), "SHKTwitter"), services.end());
    EXPECT_EQ(SHK::offeredSharerIds("other"), Ids {});
}

TEST(SHKCredentialsTests, CredentialsLiveUnderThePrefixedSharerId)
{
    SharingEnvironment environment;
    SHK::setAuthValueForKeyForSharer("joe", "username", "SHKTwitter");
    EXPECT_EQ(KeychainStore::passwordForServiceAccount("SHK_AUTH_SHKTwitter", "username"), "joe");
    EXPECT_EQ(SHK::getAuthValueForKeyForSharer("username", "SHKTwitter"), "joe");
    EXPECT_EQ(SHK::getAuthValueForKeyForSharer("username", "SHKFacebook"), std::nullopt);

    SHK::setAuthValueForKeyForSharer("ann", "username", "SHKTwitter");
    SHK::setAuthValueForKeyForSharer(std::nullopt, "username", "SHKTwitter");
    EXPECT_EQ(SHK::getAuthValueForKeyForSharer("username", "SHKTwitter"), "ann");

    SHK::removeAuthValueForKeyForSharer("username", "SHKTwitter");
    EXPECT_EQ(SHK::getAuthValueForKeyForSharer("username", "SHKTwitter"), std::nullopt);
    SHK::removeAuthValueForKeyForSharer("username", "SHKTwitter");
}

TEST(SHKCredentialsTests, LogoutOfAllVisitsTheOfferedServicesInOrder)
{
    SharingEnvironment environment;
    OfferedServicesBundle bundle({ "TestAction" }, { "TestSecond", "TestMissing", "TestFirst" });
    RegisteredTestSharer action("TestAction");
    RegisteredTestSharer first("TestFirst");
    RegisteredTestSharer second("TestSecond");
    TestSharerClass::logoutLog().clear();

    SHK::logoutOfAll();
    EXPECT_EQ(TestSharerClass::logoutLog(), (Ids { "TestSecond", "TestFirst" }));
    EXPECT_EQ(action->logoutCount(), 0);

    SHK::logoutOfService("TestAction");
    SHK::logoutOfService("TestMissing");
    EXPECT_EQ(action->logoutCount(), 1);
    EXPECT_EQ(first->logoutCount(), 1);
}

TEST(SHKCredentialsTests, LogoutOfAllWithoutOfferedServicesDoesNothing)
{
    SharingEnvironment environment;
    OfferedServicesBundle withoutList;
    RegisteredTestSharer service("TestService");
    SHK::logoutOfAll();
    EXPECT_EQ(service->logoutCount(), 0);
}
