#include "platform/foundation/Date.h"
#include "platform/foundation/String.h"
#include "platform/security/Keychain.h"
#include "sharing/core/KeychainStore.h"
#include "support/FileContents.h"
#include "support/TemporaryHome.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sqlite3.h>
#include <sys/stat.h>
#include <thread>

namespace {

constexpr int32_t itemNotFound = static_cast<int32_t>(sec::KeychainStatus::ItemNotFound);

class KeychainStoreTests : public ::testing::Test {
protected:
    void SetUp() override { sec::Keychain::setShared(sec::Keychain::createInMemory()); }
    void TearDown() override { sec::Keychain::setShared(nullptr); }

    static size_t itemCount()
    {
        auto accounts = KeychainStore::allAccounts();
        return accounts ? accounts->count() : 0;
    }
};

// The shared keychain stored in the file of a temporary home folder.
class KeychainFileTests : public ::testing::Test {
protected:
    void SetUp() override { sec::Keychain::setShared(nullptr); }
    void TearDown() override { sec::Keychain::setShared(nullptr); }

    std::filesystem::path keychainFile() const { return sec::Keychain::fileInHomeFolder(m_home.path()); }

    brenzo::testing::TemporaryHome m_home;
};

// Runs SQL on the keychain file through a connection of the test's own.
void executeOnFile(const std::filesystem::path& file, const char* sql)
{
    sqlite3* database = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &database), SQLITE_OK);
    char* message = nullptr;
    EXPECT_EQ(sqlite3_exec(database, sql, nullptr, nullptr, &message), SQLITE_OK) << (message ? message : "");
    sqlite3_free(message);
    sqlite3_close(database);
}

}

TEST_F(KeychainStoreTests, SettingReplacesTheStoredPassword)
{
    EXPECT_TRUE(KeychainStore::setPasswordForServiceAccount("first", "SHK_AUTH_SHKTwitter", "username"));
    EXPECT_TRUE(KeychainStore::setPasswordForServiceAccount("second", "SHK_AUTH_SHKTwitter", "username"));
    EXPECT_EQ(KeychainStore::passwordForServiceAccount("SHK_AUTH_SHKTwitter", "username"), "second");
    EXPECT_EQ(itemCount(), 1u);

    // Service and account both address the item.
    EXPECT_EQ(KeychainStore::passwordForServiceAccount("SHK_AUTH_SHKTwitter", "password"), std::nullopt);
    EXPECT_EQ(KeychainStore::passwordForServiceAccount("SHK_AUTH_SHKFacebook", "username"), std::nullopt);
}

TEST_F(KeychainStoreTests, MissingItemsAnswerNothingWithTheKeychainStatus)
{
    fnd::Ref<fnd::Error> error;
    EXPECT_EQ(KeychainStore::passwordForServiceAccount("service", "account", &error), std::nullopt);
    ASSERT_TRUE(error);
    EXPECT_EQ(error->domain(), KeychainStore::errorDomain);
    EXPECT_EQ(error->code(), itemNotFound);
    EXPECT_EQ(error->userInfo()->count(), 0u);

    error = nullptr;
    EXPECT_FALSE(KeychainStore::deletePasswordForServiceAccount("service", "account", &error));
    ASSERT_TRUE(error);
    EXPECT_EQ(error->code(), itemNotFound);

    error = nullptr;
    EXPECT_FALSE(KeychainStore::accountsForService("service", &error));
    ASSERT_TRUE(error);
    EXPECT_EQ(error->code(), itemNotFound);
}

TEST_F(KeychainStoreTests, MissingArgumentsNeverReachTheKeychain)
{
    ASSERT_TRUE(KeychainStore::setPasswordForServiceAccount("kept", "service", "account"));
    auto expectMissingArgument = [](const fnd::Ref<fnd::Error>& error) {
        ASSERT_TRUE(error);
        EXPECT_EQ(error->code(), KeychainStore::missingArgumentStatus);
    };

    fnd::Ref<fnd::Error> error;
    EXPECT_EQ(KeychainStore::passwordForServiceAccount(std::nullopt, "account", &error), std::nullopt);
    expectMissingArgument(error);
    error = nullptr;
    EXPECT_EQ(KeychainStore::passwordForServiceAccount("service", std::nullopt, &error), std::nullopt);
    expectMissingArgument(error);
    error = nullptr;
    EXPECT_FALSE(KeychainStore::setPasswordForServiceAccount(std::nullopt, "service", "account", &error));
    expectMissingArgument(error);
    error = nullptr;
    EXPECT_FALSE(KeychainStore::setPasswordForServiceAccount("new", std::nullopt, "account", &error));
    expectMissingArgument(error);
    error = nullptr;
    EXPECT_FALSE(KeychainStore::deletePasswordForServiceAccount("service", std::nullopt, &error));
    expectMissingArgument(error);

    EXPECT_EQ(KeychainStore::passwordForServiceAccount("service", "account"), "kept");
    EXPECT_EQ(itemCount(), 1u);
}

TEST_F(KeychainStoreTests, EmptyAndNonASCIIPasswords)
{
    fnd::Ref<fnd::Error> error;
    EXPECT_TRUE(KeychainStore::setPasswordForServiceAccount("", "service", "empty", &error));
    EXPECT_EQ(KeychainStore::passwordForServiceAccount("service", "empty", &error), std::nullopt);
    EXPECT_FALSE(error);

    EXPECT_TRUE(KeychainStore::setPasswordForServiceAccount("mot de passe é😀", "service", "accents"));
    EXPECT_EQ(KeychainStore::passwordForServiceAccount("service", "accents"), "mot de passe é😀");
}

TEST_F(KeychainStoreTests, DeletingRemovesOnlyThatItem)
{
    KeychainStore::setPasswordForServiceAccount("a", "service", "one");
    KeychainStore::setPasswordForServiceAccount("b", "service", "two");
    EXPECT_TRUE(KeychainStore::deletePasswordForServiceAccount("service", "one"));
    EXPECT_EQ(KeychainStore::passwordForServiceAccount("service", "one"), std::nullopt);
    EXPECT_EQ(KeychainStore::passwordForServiceAccount("service", "two"), "b");
}

TEST_F(KeychainStoreTests, AccountsOfAServiceAndOfAll)
{
    KeychainStore::setPasswordForServiceAccount("a", "SHK_AUTH_SHKInstapaper", "username");
    KeychainStore::setPasswordForServiceAccount("b", "SHK_AUTH_SHKInstapaper", "password");
    KeychainStore::setPasswordForServiceAccount("c", "SHK_AUTH_SHKDiigo", "username");

    auto accounts = KeychainStore::accountsForService("SHK_AUTH_SHKInstapaper");
    ASSERT_TRUE(accounts);
    ASSERT_EQ(accounts->count(), 2u);
    auto first = accounts->objectAtIndexAs<fnd::Dictionary>(0);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->stringForKey(KeychainStore::serviceAttributeKey), "SHK_AUTH_SHKInstapaper");
    EXPECT_EQ(first->stringForKey(KeychainStore::accountAttributeKey), "username");
    EXPECT_TRUE(first->objectForKeyAs<fnd::Date>(KeychainStore::creationDateAttributeKey));
    EXPECT_EQ(accounts->objectAtIndexAs<fnd::Dictionary>(1)->stringForKey(KeychainStore::accountAttributeKey), "password");
    // No secret is listed.
    EXPECT_EQ(first->count(), 4u);

    EXPECT_EQ(itemCount(), 3u);
}

TEST_F(KeychainFileTests, ItemsSurviveAReopenInAnOwnerOnlyFile)
{
    ASSERT_TRUE(KeychainStore::setPasswordForServiceAccount("secret", "SHK_AUTH_SHKEvernote", "password"));
    sec::Keychain::setShared(nullptr);

    EXPECT_EQ(KeychainStore::passwordForServiceAccount("SHK_AUTH_SHKEvernote", "password"), "secret");
    struct stat status { };
    ASSERT_EQ(::stat(keychainFile().c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600u);
}

TEST_F(KeychainFileTests, AFailedReplacementKeepsTheOldPassword)
{
    ASSERT_TRUE(KeychainStore::setPasswordForServiceAccount("old", "service", "account"));
    executeOnFile(keychainFile(),
        "CREATE TRIGGER refuse_updates BEFORE UPDATE ON generic_passwords BEGIN SELECT RAISE(ABORT, 'refused'); END;"
        "CREATE TRIGGER refuse_inserts BEFORE INSERT ON generic_passwords BEGIN SELECT RAISE(ABORT, 'refused'); END;");

    fnd::Ref<fnd::Error> error;
    EXPECT_FALSE(KeychainStore::setPasswordForServiceAccount("new", "service", "account", &error));
    ASSERT_TRUE(error);
    EXPECT_NE(error->code(), 0);
    EXPECT_EQ(KeychainStore::passwordForServiceAccount("service", "account"), "old");
}

TEST_F(KeychainFileTests, ConcurrentWritersLoseNothing)
{
    constexpr int itemsPerThread = 40;
    auto writeItems = [](std::string account) {
        for (int index = 0; index < itemsPerThread; ++index)
            KeychainStore::setPasswordForServiceAccount(std::to_string(index), "service" + std::to_string(index), account);
    };
    std::thread first(writeItems, "first");
    std::thread second(writeItems, "second");
    first.join();
    second.join();

    auto accounts = KeychainStore::allAccounts();
    ASSERT_TRUE(accounts);
    EXPECT_EQ(accounts->count(), 2u * itemsPerThread);
    for (int index = 0; index < itemsPerThread; ++index) {
        EXPECT_EQ(KeychainStore::passwordForServiceAccount("service" + std::to_string(index), "first"), std::to_string(index));
        EXPECT_EQ(KeychainStore::passwordForServiceAccount("service" + std::to_string(index), "second"), std::to_string(index));
    }
}

TEST_F(KeychainFileTests, AFileThatIsNoKeychainIsKeptAsideAndAFreshOneKeepsNewPasswords)
{
    std::filesystem::create_directories(keychainFile().parent_path());
    std::string damaged = "this is not a database, only text long enough to fill a database header";
    std::ofstream(keychainFile()) << damaged;

    EXPECT_TRUE(KeychainStore::setPasswordForServiceAccount("secret", "SHK_AUTH_SHKTwitter", "accessKey"));
    sec::Keychain::setShared(nullptr);
    EXPECT_EQ(KeychainStore::passwordForServiceAccount("SHK_AUTH_SHKTwitter", "accessKey"), "secret");

    auto keptAside = keychainFile().string() + ".corrupt";
    EXPECT_EQ(brenzo::testing::readFile(keptAside), damaged);
}

TEST_F(KeychainFileTests, WithNoUsableFileWritesFailInsteadOfLivingInMemory)
{
    // The keychain's folder cannot be made: a file stands in its way.
    auto obstacle = keychainFile().parent_path();
    std::filesystem::create_directories(obstacle.parent_path());
    std::ofstream(obstacle) << "in the way";

    fnd::Ref<fnd::Error> error;
    EXPECT_FALSE(KeychainStore::setPasswordForServiceAccount("secret", "SHK_AUTH_SHKTwitter", "accessKey", &error));
    ASSERT_TRUE(error);
    EXPECT_EQ(error->code(), static_cast<int32_t>(sec::KeychainStatus::NotAvailable));
    EXPECT_FALSE(KeychainStore::passwordForServiceAccount("SHK_AUTH_SHKTwitter", "accessKey"));
    EXPECT_FALSE(KeychainStore::deletePasswordForServiceAccount("SHK_AUTH_SHKTwitter", "accessKey"));
    EXPECT_EQ(brenzo::testing::readFile(obstacle), "in the way");

    // Once the way is clear the file is opened at the next use.
    std::filesystem::remove(obstacle);
    EXPECT_TRUE(KeychainStore::setPasswordForServiceAccount("secret", "SHK_AUTH_SHKTwitter", "accessKey"));
    sec::Keychain::setShared(nullptr);
    EXPECT_EQ(KeychainStore::passwordForServiceAccount("SHK_AUTH_SHKTwitter", "accessKey"), "secret");
}
