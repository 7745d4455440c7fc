#include "platform/foundation/FileManager.h"
#include "platform/foundation/Log.h"
#include "platform/security/Keychain.h"
#include "support/TemporaryDirectory.h"
#include "support/TemporaryHome.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sqlite3.h>
#include <sys/stat.h>
#include <thread>

namespace {

using sec::Keychain;
using sec::KeychainQuery;
using sec::KeychainStatus;

fnd::Ref<fnd::Data> bytes(std::string_view text)
{
    return fnd::Data::create(text);
}

std::string read(const Keychain& keychain, const std::string& service, const std::string& account, KeychainStatus* status = nullptr)
{
    fnd::Ref<fnd::Data> data;
    auto result = keychain.copyData({ service, account }, &data);
    if (status)
        *status = result;
    return data ? std::string(data->asStringView()) : "<nil>";
}

mode_t permissionsOf(const std::filesystem::path& path)
{
    struct stat status { };
    EXPECT_EQ(::stat(path.c_str(), &status), 0) << path;
    return status.st_mode & 07777;
}

TEST(Keychain, AddsItemsOnceAndReadsThemBack)
{
    auto keychain = Keychain::createInMemory();
    EXPECT_EQ(keychain->add("SHK_AUTH_Twitter", "username", bytes("alice")), KeychainStatus::Success);
    EXPECT_EQ(keychain->add("SHK_AUTH_Twitter", "username", bytes("mallory")), KeychainStatus::DuplicateItem);
    EXPECT_EQ(keychain->add("SHK_AUTH_Twitter", "password", bytes("pässwörd ✓")), KeychainStatus::Success);

    EXPECT_EQ(read(*keychain, "SHK_AUTH_Twitter", "username"), "alice");
    EXPECT_EQ(read(*keychain, "SHK_AUTH_Twitter", "password"), "pässwörd ✓");

    KeychainStatus status;
    EXPECT_EQ(read(*keychain, "SHK_AUTH_Twitter", "accessKey", &status), "<nil>");
    EXPECT_EQ(status, KeychainStatus::ItemNotFound);
    EXPECT_EQ(static_cast<int32_t>(status), -25300);
    EXPECT_EQ(read(*keychain, "SHK_AUTH_Other", "username", &status), "<nil>");
    EXPECT_EQ(status, KeychainStatus::ItemNotFound);
}

TEST(Keychain, KeepsEmptyAndBinaryDataExactly)
{
    auto keychain = Keychain::createInMemory();
    EXPECT_EQ(keychain->add("service", "empty", bytes("")), KeychainStatus::Success);
    std::string binary("a\0b\xff", 4);
    EXPECT_EQ(keychain->add("service", "binary", bytes(binary)), KeychainStatus::Success);
    KeychainStatus status;
    EXPECT_EQ(read(*keychain, "service", "empty", &status), "");
    EXPECT_EQ(status, KeychainStatus::Success);
    EXPECT_EQ(read(*keychain, "service", "binary"), binary);
    // Names with quotes or NUL bytes are data, not SQL.
    std::string oddAccount("x' OR '1'='1\0y", 14);
    EXPECT_EQ(keychain->add("service", oddAccount, bytes("odd")), KeychainStatus::Success);
    EXPECT_EQ(read(*keychain, "service", oddAccount), "odd");
    EXPECT_EQ(read(*keychain, "service", "x' OR '1'='1"), "<nil>");
}

TEST(Keychain, RefusesNilDataWithAParameterError)
{
    auto keychain = Keychain::createInMemory();
    EXPECT_EQ(keychain->add("s", "a", nullptr), KeychainStatus::Param);
    EXPECT_EQ(keychain->set("s", "a", nullptr), KeychainStatus::Param);
    EXPECT_EQ(keychain->update({ "s", "a" }, nullptr), KeychainStatus::Param);
    EXPECT_EQ(static_cast<int32_t>(KeychainStatus::Param), -50);
    EXPECT_EQ(keychain->copyAttributes({}, nullptr), KeychainStatus::ItemNotFound);
}

TEST(Keychain, SetAddsOrReplacesAndUpdateNeedsAnItem)
{
    auto keychain = Keychain::createInMemory();
    EXPECT_EQ(keychain->update({ "s", "a" }, bytes("x")), KeychainStatus::ItemNotFound);
    EXPECT_EQ(keychain->set("s", "a", bytes("first")), KeychainStatus::Success);
    EXPECT_EQ(keychain->set("s", "a", bytes("second")), KeychainStatus::Success);
    EXPECT_EQ(read(*keychain, "s", "a"), "second");
    EXPECT_EQ(keychain->update({ "s", "a" }, bytes("third")), KeychainStatus::Success);
    EXPECT_EQ(read(*keychain, "s", "a"), "third");

    std::vector<sec::KeychainItemAttributes> items;
    ASSERT_EQ(keychain->copyAttributes({ "s", "a" }, &items), KeychainStatus::Success);
    ASSERT_EQ(items.size(), 1u);
    EXPECT_GE(items[0].modificationDate, items[0].creationDate);
    EXPECT_GT(items[0].creationDate, 0);
}

TEST(Keychain, MatchesByServiceAccountOrBoth)
{
    auto keychain = Keychain::createInMemory();
    keychain->add("SHK_AUTH_Twitter", "username", bytes("1"));
    keychain->add("SHK_AUTH_Twitter", "password", bytes("2"));
    keychain->add("SHK_AUTH_Instapaper", "username", bytes("3"));

    std::vector<sec::KeychainItemAttributes> items;
    ASSERT_EQ(keychain->copyAttributes({ "SHK_AUTH_Twitter", std::nullopt }, &items), KeychainStatus::Success);
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].account, "username");
    EXPECT_EQ(items[1].account, "password");
    ASSERT_EQ(keychain->copyAttributes({}, &items), KeychainStatus::Success);
    EXPECT_EQ(items.size(), 3u);
    ASSERT_EQ(keychain->copyAttributes({ std::nullopt, "username" }, &items), KeychainStatus::Success);
    EXPECT_EQ(items.size(), 2u);
    EXPECT_EQ(keychain->copyAttributes({ "SHK_AUTH_Nobody", std::nullopt }, &items), KeychainStatus::ItemNotFound);

    // The oldest match comes first when the query leaves the account open.
    fnd::Ref<fnd::Data> data;
    ASSERT_EQ(keychain->copyData({ "SHK_AUTH_Twitter", std::nullopt }, &data), KeychainStatus::Success);
    EXPECT_EQ(data->asStringView(), "1");

    EXPECT_EQ(keychain->remove({ "SHK_AUTH_Twitter", std::nullopt }), KeychainStatus::Success);
    EXPECT_EQ(keychain->remove({ "SHK_AUTH_Twitter", std::nullopt }), KeychainStatus::ItemNotFound);
    EXPECT_EQ(read(*keychain, "SHK_AUTH_Instapaper", "username"), "3");
}

class KeychainFile : public ::testing::Test {
protected:
    std::filesystem::path keychainPath() const { return Keychain::fileInHomeFolder(m_directory.path()); }

    brenzo::testing::TemporaryDirectory m_directory;
};

TEST_F(KeychainFile, SurvivesReopening)
{
    {
        auto keychain = Keychain::openFile(keychainPath());
        ASSERT_TRUE(keychain);
        EXPECT_EQ(keychain->set("SHK_AUTH_Readability", "accessSecret", bytes("s3cret")), KeychainStatus::Success);
    }
    auto reopened = Keychain::openFile(keychainPath());
    ASSERT_TRUE(reopened);
    EXPECT_EQ(read(*reopened, "SHK_AUTH_Readability", "accessSecret"), "s3cret");
}

TEST_F(KeychainFile, IsCreatedReadableByItsOwnerOnlyWhateverTheUmask)
{
    mode_t previous = ::umask(0);
    auto keychain = Keychain::openFile(keychainPath());
    ::umask(previous);
    ASSERT_TRUE(keychain);
    EXPECT_EQ(permissionsOf(keychainPath()), 0600u);
    EXPECT_EQ(permissionsOf(keychainPath().parent_path()), 0700u);
    EXPECT_EQ(m_directory.path() / "Library" / "Keychains" / "keychain.db", keychainPath());

    ASSERT_EQ(keychain->set("s", "a", bytes("value")), KeychainStatus::Success);
    EXPECT_EQ(permissionsOf(keychainPath()), 0600u);
    // The write-ahead log and its index hold secrets too.
    for (auto suffix : { "-wal", "-shm" }) {
        auto sideFile = keychainPath();
        sideFile += suffix;
        ASSERT_TRUE(std::filesystem::exists(sideFile)) << sideFile;
        EXPECT_EQ(permissionsOf(sideFile), 0600u) << sideFile;
    }
}

TEST_F(KeychainFile, TakesAccessAwayFromOthersOnAnExistingFile)
{
    {
        auto keychain = Keychain::openFile(keychainPath());
        ASSERT_TRUE(keychain);
    }
    ASSERT_EQ(::chmod(keychainPath().c_str(), 0644), 0);
    auto keychain = Keychain::openFile(keychainPath());
    ASSERT_TRUE(keychain);
    EXPECT_EQ(permissionsOf(keychainPath()), 0600u);
}

TEST_F(KeychainFile, RefusesAFileThatIsNoKeychain)
{
    std::filesystem::create_directories(keychainPath().parent_path());
    std::ofstream(keychainPath()) << "this is not a database, just some text that is long enough to look like a header";
    fnd::LogCapture log;
    sec::KeychainStatus status = KeychainStatus::Success;
    EXPECT_FALSE(Keychain::openFile(keychainPath(), &status));
    EXPECT_EQ(status, KeychainStatus::NotAvailable);
    EXPECT_TRUE(log.contains("Keychain: not a keychain"));

    EXPECT_FALSE(Keychain::openFile(m_directory.path(), &status));
    EXPECT_EQ(status, KeychainStatus::NotAvailable);
}

TEST_F(KeychainFile, TwoThreadsWritingDifferentItemsLoseNothing)
{
    auto keychain = Keychain::openFile(keychainPath());
    ASSERT_TRUE(keychain);
    constexpr int itemsPerThread = 100;
    auto writer = [&](std::string service) {
        for (int index = 0; index < itemsPerThread; ++index)
            EXPECT_EQ(keychain->set(service, "account" + std::to_string(index), bytes(service + std::to_string(index))), KeychainStatus::Success);
    };
    std::thread first(writer, "first");
    std::thread second(writer, "second");
    first.join();
    second.join();

    auto reopened = Keychain::openFile(keychainPath());
    ASSERT_TRUE(reopened);
    std::vector<sec::KeychainItemAttributes> items;
    ASSERT_EQ(reopened->copyAttributes({}, &items), KeychainStatus::Success);
    EXPECT_EQ(items.size(), 2u * itemsPerThread);
    EXPECT_EQ(read(*reopened, "first", "account42"), "first42");
    EXPECT_EQ(read(*reopened, "second", "account99"), "second99");
}

TEST_F(KeychainFile, AFailedReplacementKeepsTheOldValue)
{
    auto keychain = Keychain::openFile(keychainPath());
    ASSERT_TRUE(keychain);
    ASSERT_EQ(keychain->set("SHK_AUTH_Twitter", "accessKey", bytes("old")), KeychainStatus::Success);

    // Another connection makes every later write of the item fail, as a full disk would.
    sqlite3* saboteur = nullptr;
    ASSERT_EQ(sqlite3_open(keychainPath().c_str(), &saboteur), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(saboteur,
                  "CREATE TRIGGER no_insert BEFORE INSERT ON generic_passwords BEGIN SELECT RAISE(ABORT, 'disk full'); END;"
                  "CREATE TRIGGER no_update BEFORE UPDATE ON generic_passwords BEGIN SELECT RAISE(ABORT, 'disk full'); END;",
                  nullptr, nullptr, nullptr),
        SQLITE_OK);
    sqlite3_close(saboteur);

    fnd::LogCapture log;
    EXPECT_EQ(keychain->set("SHK_AUTH_Twitter", "accessKey", bytes("new")), KeychainStatus::IO);
    EXPECT_EQ(read(*keychain, "SHK_AUTH_Twitter", "accessKey"), "old");
    EXPECT_TRUE(log.contains("Keychain: storage failed: disk full"));
}

TEST(SharedKeychain, OpensTheFileOfTheHomeFolderUnlessReplaced)
{
    brenzo::testing::TemporaryHome home;
    Keychain::setShared(nullptr);
    auto shared = Keychain::shared();
    ASSERT_TRUE(shared);
    EXPECT_EQ(Keychain::shared(), shared);
    EXPECT_EQ(shared->set("s", "a", bytes("v")), KeychainStatus::Success);
    EXPECT_EQ(permissionsOf(Keychain::fileInHomeFolder(fnd::FileManager::homeDirectory())), 0600u);

    auto inMemory = Keychain::createInMemory();
    Keychain::setShared(inMemory);
    EXPECT_EQ(Keychain::shared(), inMemory);
    EXPECT_EQ(read(*Keychain::shared(), "s", "a"), "<nil>");
    Keychain::setShared(nullptr);
}

TEST(SharedKeychain, KeepsEveryUnusableFileAsideUnderItsOwnName)
{
    brenzo::testing::TemporaryHome home;
    Keychain::setShared(nullptr);
    auto path = Keychain::fileInHomeFolder(fnd::FileManager::homeDirectory());
    auto aside = [&](std::string_view suffix) { return path.string() + std::string(suffix); };
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path) << "first damaged keychain, not a database at all, long enough for a header";
    ASSERT_EQ(Keychain::shared()->set("s", "a", bytes("one")), KeychainStatus::Success);

    // A folder where the file should be is no keychain either.
    Keychain::setShared(nullptr);
    std::filesystem::remove(path);
    std::filesystem::create_directories(path / "inside");
    ASSERT_EQ(Keychain::shared()->set("s", "a", bytes("two")), KeychainStatus::Success);
    EXPECT_EQ(read(*Keychain::shared(), "s", "a"), "two");
    Keychain::setShared(nullptr);

    EXPECT_TRUE(std::filesystem::is_regular_file(aside(".corrupt")));
    EXPECT_TRUE(std::filesystem::is_directory(aside(".corrupt-2") + "/inside"));
    EXPECT_EQ(read(*Keychain::openFile(path), "s", "a"), "two");
}

}
