#include "platform/foundation/FileManager.h"

#include "support/TemporaryHome.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sys/stat.h>

using namespace fnd;
using brenzo::testing::TemporaryHome;

namespace {

std::string readText(const std::filesystem::path& path)
{
    auto data = FileManager::contentsOfFile(path);
    return data ? std::string(data->asStringView()) : std::string("<missing>");
}

}

TEST(FileManager, StandardFoldersLiveBelowTheHomeFolderAndAreCreated)
{
    TemporaryHome home;
    EXPECT_EQ(FileManager::homeDirectory(), home.path());
    EXPECT_EQ(FileManager::documentsDirectory(), home.path() / "Documents");
    EXPECT_EQ(FileManager::cachesDirectory(), home.path() / "Library" / "Caches");
    EXPECT_EQ(FileManager::preferencesDirectory(), home.path() / "Library" / "Preferences");
    EXPECT_TRUE(FileManager::isDirectory(home.path() / "Documents"));
    EXPECT_TRUE(FileManager::isDirectory(home.path() / "Library" / "Caches"));
    EXPECT_TRUE(FileManager::isDirectory(home.path() / "Library" / "Preferences"));
}

TEST(FileManager, DefaultHomeIsBelowTheUsersDataFolder)
{
    auto path = FileManager::defaultHomeDirectory();
    EXPECT_EQ(path.filename(), "brenzo");
    EXPECT_TRUE(path.is_absolute());
}

TEST(FileManager, CreatesFoldersWithTheirParentsAndTellsFilesFromFolders)
{
    TemporaryHome home;
    auto nested = home.path() / "a" / "b" / "c";
    EXPECT_TRUE(FileManager::createDirectory(nested));
    EXPECT_TRUE(FileManager::createDirectory(nested)) << "an existing folder is success";
    bool isDirectory = false;
    EXPECT_TRUE(FileManager::fileExists(nested, isDirectory));
    EXPECT_TRUE(isDirectory);

    ASSERT_TRUE(FileManager::writeAtomically(nested / "file.txt", std::string_view("x")));
    EXPECT_TRUE(FileManager::fileExists(nested / "file.txt", isDirectory));
    EXPECT_FALSE(isDirectory);
    EXPECT_FALSE(FileManager::isDirectory(nested / "file.txt"));
    EXPECT_FALSE(FileManager::fileExists(nested / "missing"));

    Ref<Error> error;
    EXPECT_FALSE(FileManager::createDirectory(nested / "file.txt" / "below", &error));
    ASSERT_TRUE(error);
    EXPECT_EQ(error->domain(), FileManager::errorDomain);
}

TEST(FileManager, AtomicWriteReplacesTheWholeFileAndLeavesNoTemporaryFiles)
{
    TemporaryHome home;
    auto path = FileManager::documentsDirectory() / "main.xml";
    ASSERT_TRUE(FileManager::writeAtomically(path, std::string_view("first version, rather long")));
    ASSERT_TRUE(FileManager::writeAtomically(path, std::string_view("second")));
    EXPECT_EQ(readText(path), "second");
    auto names = FileManager::contentsOfDirectory(path.parent_path());
    ASSERT_TRUE(names);
    EXPECT_EQ(*names, std::vector<std::string>({ "main.xml" }));

    struct stat status;
    ASSERT_EQ(::stat(path.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0644u);
    ASSERT_EQ(::chmod(path.c_str(), 0600), 0);
    ASSERT_TRUE(FileManager::writeAtomically(path, std::string_view("third")));
    ASSERT_EQ(::stat(path.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600u) << "a replaced file keeps its permissions";
}

TEST(FileManager, WritesAndReadsBytesExactly)
{
    TemporaryHome home;
    std::vector<uint8_t> bytes;
    for (int index = 0; index < 200000; ++index)
        bytes.push_back(uint8_t(index * 7));
    bytes[10] = 0;
    auto path = home.path() / "image001.png";
    ASSERT_TRUE(FileManager::writeAtomically(path, std::span<const uint8_t>(bytes)));
    auto read = FileManager::contentsOfFile(path);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->vector(), bytes);
}

TEST(FileManager, FailuresAreReportedNotThrown)
{
    TemporaryHome home;
    Ref<Error> error;
    EXPECT_FALSE(FileManager::contentsOfFile(home.path() / "missing", &error));
    ASSERT_TRUE(error);
    EXPECT_EQ(error->code(), FileManager::readNoSuchFileError);
    ASSERT_TRUE(error->underlyingError());
    EXPECT_EQ(error->underlyingError()->domain(), FileManager::posixErrorDomain);
    EXPECT_EQ(error->underlyingError()->code(), ENOENT);

    error = nullptr;
    EXPECT_FALSE(FileManager::writeAtomically(home.path() / "no-folder" / "file", std::string_view("x"), &error));
    ASSERT_TRUE(error);
    EXPECT_EQ(error->code(), FileManager::noSuchFileError);
    EXPECT_FALSE(FileManager::fileExists(home.path() / "no-folder"));

    error = nullptr;
    EXPECT_FALSE(FileManager::contentsOfFile(home.path(), &error)) << "a folder is not a file";
    EXPECT_TRUE(error);

    EXPECT_FALSE(FileManager::removeItem(home.path() / "missing", &error));
    EXPECT_EQ(error->code(), FileManager::noSuchFileError);
    EXPECT_FALSE(FileManager::contentsOfDirectory(home.path() / "missing"));
}

TEST(FileManager, ListsRemovesAndMoves)
{
    TemporaryHome home;
    auto folder = home.path() / "queue";
    ASSERT_TRUE(FileManager::createDirectory(folder / "inner"));
    ASSERT_TRUE(FileManager::writeAtomically(folder / "b", std::string_view("b")));
    ASSERT_TRUE(FileManager::writeAtomically(folder / "a", std::string_view("a")));
    EXPECT_EQ(FileManager::contentsOfDirectory(folder), std::vector<std::string>({ "a", "b", "inner" }));

    EXPECT_TRUE(FileManager::moveItem(folder / "a", folder / "c"));
    EXPECT_EQ(readText(folder / "c"), "a");
    EXPECT_FALSE(FileManager::fileExists(folder / "a"));

    Ref<Error> error;
    EXPECT_FALSE(FileManager::moveItem(folder / "b", folder / "c", &error)) << "the destination exists";
    ASSERT_TRUE(error);
    EXPECT_EQ(error->code(), FileManager::writeFileExistsError);
    EXPECT_EQ(readText(folder / "c"), "a");

    EXPECT_TRUE(FileManager::removeItem(folder / "b"));
    EXPECT_TRUE(FileManager::removeItem(folder));
    EXPECT_FALSE(FileManager::fileExists(folder));
}
