#include "SharingTestEnvironment.h"

#include "platform/foundation/FileManager.h"
#include "platform/foundation/PropertyList.h"
#include "platform/foundation/String.h"
#include "platform/graphics/Image.h"
#include "sharing/core/SHK.h"
#include "support/VirtualTime.h"

#include <gtest/gtest.h>

#include <csignal>
#include <regex>
#include <sys/resource.h>

using brenzo::testing::SharingEnvironment;
using brenzo::testing::solidImage;

namespace {

class NoOfflineConfigurator : public DefaultSHKConfigurator {
public:
    bool allowOffline() const override { return false; }
};

std::vector<std::string> filesInQueueFolder()
{
    auto names = fnd::FileManager::contentsOfDirectory(fnd::FileManager::cachesDirectory() / "SHK");
    return names ? *names : std::vector<std::string>();
}

std::string uidOfEntry(const fnd::Ref<fnd::Array>& list, size_t index)
{
    auto entry = list->objectAtIndexAs<fnd::Dictionary>(index);
    return entry ? entry->stringForKey("uid").value_or("") : "";
}

// Makes every file write of this process larger than `bytes` fail for as long as it lives.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        m_previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_previous);
        rlimit limit = m_previous;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_previous);
        std::signal(SIGXFSZ, m_previousHandler);
    }

private:
    rlimit m_previous {};
    void (*m_previousHandler)(int) = nullptr;
};

fnd::Ref<SHKItem> fileItem(size_t length)
{
    return SHKItem::createWithFile(fnd::Data::create(std::string(length, 'x')), "big.bin", "application/octet-stream", "Big");
}

}

TEST(SHKOfflineQueueTests, AnImageIsStoredAsJPEGUnderItsEntrysUid)
{
    SharingEnvironment environment;
    brenzo::testing::VirtualTime time;
    EXPECT_FALSE(SHK::getOfflineQueueList());

    auto item = SHKItem::createWithImage(solidImage(8, 6, 0, 1, 0), "Green");
    ASSERT_TRUE(SHK::addToOfflineQueueForSharer(*item, "SHKFacebook"));

    auto list = SHK::getOfflineQueueList();
    ASSERT_TRUE(list);
    ASSERT_EQ(list->count(), 1u);
    auto entry = list->objectAtIndexAs<fnd::Dictionary>(0);
    EXPECT_EQ(entry->stringForKey("sharer"), "SHKFacebook");
    auto uid = uidOfEntry(list, 0);
    EXPECT_TRUE(std::regex_match(uid, std::regex("SHKFacebook-3-1291161600--?[0-9]+"))) << uid;
    auto storedItem = SHKItem::itemFromDictionary(entry->objectForKeyAs<fnd::Dictionary>("item"));
    ASSERT_TRUE(storedItem);
    EXPECT_EQ(storedItem->title(), "Green");

    auto jpeg = fnd::FileManager::contentsOfFile(SHK::offlineQueuePath() / uid);
    ASSERT_TRUE(jpeg);
    ASSERT_GE(jpeg->length(), 2u);
    EXPECT_EQ(jpeg->bytes()[0], 0xFF);
    EXPECT_EQ(jpeg->bytes()[1], 0xD8);
    auto image = gfx::Image::createWithData(*jpeg);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->size(), gfx::Size(8, 6));
    auto files = filesInQueueFolder();
    EXPECT_EQ(files.size(), 2u);
    EXPECT_NE(std::find(files.begin(), files.end(), uid), files.end());
}

TEST(SHKOfflineQueueTests, AFileKeepsItsDataAndOtherItemsOnlyTheirEntry)
{
    SharingEnvironment environment;
    ASSERT_TRUE(SHK::addToOfflineQueueForSharer(*SHKItem::createWithFile(fnd::Data::create("file contents"), "a.txt", "text/plain", std::nullopt), "SHKEvernote"));
    ASSERT_TRUE(SHK::addToOfflineQueueForSharer(*SHKItem::createWithURL(fnd::URL::create("http://example.com/")), "SHKTwitter"));

    auto list = SHK::getOfflineQueueList();
    ASSERT_TRUE(list);
    ASSERT_EQ(list->count(), 2u);
    auto fileUid = uidOfEntry(list, 0);
    EXPECT_EQ(fileUid.rfind("SHKEvernote-4-", 0), 0u);
    EXPECT_EQ(uidOfEntry(list, 1).rfind("SHKTwitter-1-", 0), 0u);
    auto data = fnd::FileManager::contentsOfFile(SHK::offlineQueuePath() / fileUid);
    ASSERT_TRUE(data);
    EXPECT_EQ(data->asStringView(), "file contents");
    EXPECT_EQ(filesInQueueFolder().size(), 2u);
    EXPECT_TRUE(list->isMutable());
}

TEST(SHKOfflineQueueTests, ASharerIdThatCannotNameAFileIsRefused)
{
    SharingEnvironment environment;
    auto item = SHKItem::createWithFile(fnd::Data::create("contents"), "a.txt", "text/plain", std::nullopt);
    std::initializer_list<std::string_view> refused { "", ".", "..", "../SHKTwitter", "a/b", ".hidden", "SHKOfflineQueue.plist",
        std::string_view("SHK\0x", 5) };
    for (auto sharerId : refused)
        EXPECT_FALSE(SHK::addToOfflineQueueForSharer(*item, sharerId)) << sharerId;
    EXPECT_FALSE(SHK::getOfflineQueueList());
    EXPECT_TRUE(filesInQueueFolder().empty());
    auto cachedNames = fnd::FileManager::contentsOfDirectory(fnd::FileManager::cachesDirectory());
    ASSERT_TRUE(cachedNames);
    for (auto& name : *cachedNames)
        EXPECT_NE(name.rfind("SHKTwitter", 0), 0u) << name;

    EXPECT_TRUE(SHK::addToOfflineQueueForSharer(*item, "SHKEvernote"));
}

TEST(SHKOfflineQueueTests, NothingIsQueuedWhenOfflineSharingIsOff)
{
    SharingEnvironment environment(std::make_shared<NoOfflineConfigurator>());
    EXPECT_FALSE(SHK::addToOfflineQueueForSharer(*SHKItem::createWithImage(solidImage(2, 2, 0, 0, 0)), "SHKFacebook"));
    EXPECT_FALSE(SHK::getOfflineQueueList());
    EXPECT_TRUE(filesInQueueFolder().empty());
}

TEST(SHKOfflineQueueTests, AFolderThatCannotBeMadeIsAFailure)
{
    SharingEnvironment environment;
    ASSERT_TRUE(fnd::FileManager::writeAtomically(fnd::FileManager::cachesDirectory() / "SHK", std::string_view("in the way")));
    EXPECT_FALSE(SHK::addToOfflineQueueForSharer(*SHKItem::createWithText("hello"), "SHKTwitter"));
}

TEST(SHKOfflineQueueTests, ADataFileThatCannotBeWrittenIsAFailure)
{
    SharingEnvironment environment;
    auto item = fileItem(64 * 1024);
    bool added = true;
    {
        FileSizeLimit limit(16 * 1024);
        added = SHK::addToOfflineQueueForSharer(*item, "SHKEvernote");
    }
    EXPECT_FALSE(added);
    EXPECT_FALSE(SHK::getOfflineQueueList());
    EXPECT_TRUE(filesInQueueFolder().empty());
}

TEST(SHKOfflineQueueTests, AListThatCannotBeWrittenLeavesNoDataFileBehind)
{
    SharingEnvironment environment;
    ASSERT_TRUE(SHK::addToOfflineQueueForSharer(*SHKItem::createWithText("first"), "SHKTwitter"));
    // The list holds the file's data as well, so it needs more room than the data file alone.
    auto item = fileItem(24 * 1024);
    bool added = true;
    {
        FileSizeLimit limit(28 * 1024);
        added = SHK::addToOfflineQueueForSharer(*item, "SHKEvernote");
    }
    EXPECT_FALSE(added);
    auto list = SHK::getOfflineQueueList();
    ASSERT_TRUE(list);
    EXPECT_EQ(list->count(), 1u);
    EXPECT_EQ(filesInQueueFolder(), (std::vector<std::string> { "SHKOfflineQueue.plist" }));
}

TEST(SHKOfflineQueueTests, StoredListsAreTypeChecked)
{
    SharingEnvironment environment;
    auto listPath = SHK::offlineQueueListPath();
    ASSERT_TRUE(fnd::PropertyList::writeFile(fnd::Array::create({ fnd::String::create("not an entry"), fnd::Dictionary::create() }), listPath));
    auto list = SHK::getOfflineQueueList();
    ASSERT_TRUE(list);
    EXPECT_EQ(list->count(), 1u);

    ASSERT_TRUE(fnd::PropertyList::writeFile(fnd::Dictionary::create(), listPath));
    EXPECT_FALSE(SHK::getOfflineQueueList());

    // A list that cannot be read is kept aside, not overwritten, and a new one is started.
    ASSERT_TRUE(fnd::FileManager::writeAtomically(listPath, std::string_view("garbage")));
    ASSERT_TRUE(SHK::addToOfflineQueueForSharer(*SHKItem::createWithText("hello"), "SHKTwitter"));
    EXPECT_EQ(SHK::getOfflineQueueList()->count(), 1u);
    auto keptAside = fnd::FileManager::contentsOfFile(SHK::offlineQueuePath() / "SHKOfflineQueue.plist.corrupt");
    ASSERT_TRUE(keptAside);
    EXPECT_EQ(keptAside->asStringView(), "garbage");
}

TEST(SHKOfflineQueueTests, SavedListsReadBack)
{
    SharingEnvironment environment;
    auto entry = fnd::Dictionary::create({ { fnd::String::create("sharer"), fnd::String::create("SHKMail") } });
    EXPECT_TRUE(SHK::saveOfflineQueueList(fnd::Array::create({ entry })));
    auto list = SHK::getOfflineQueueList();
    ASSERT_TRUE(list);
    EXPECT_TRUE(fnd::isEqual(list->objectAtIndex(0), entry));
    EXPECT_FALSE(SHK::saveOfflineQueueList(nullptr));
    EXPECT_EQ(SHK::offlineQueueListPath(), fnd::FileManager::cachesDirectory() / "SHK" / "SHKOfflineQueue.plist");
}
