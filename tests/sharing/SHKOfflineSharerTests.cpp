#include "SharingScreenTest.h"

#include "platform/foundation/FileManager.h"
#include "platform/foundation/OperationQueue.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/String.h"
#include "platform/graphics/Image.h"
#include "platform/runtime/ClassRegistry.h"
#include "sharing/core/SHK.h"
#include "sharing/core/SHKOfflineSharer.h"
#include "sharing/core/SHKSharer.h"
#include "sharing/ui/SHKActivityIndicator.h"

#include <algorithm>

using brenzo::testing::SharingScreenTest;
using brenzo::testing::solidImage;

namespace {

// What the replaying sharer was given, one entry per send.
struct SentShare {
    SHKShareType type = SHKShareTypeUndefined;
    std::optional<std::string> text;
    gfx::Size imageSize;
    std::string data;
    bool quiet = false;
};

struct ReplayScript {
    enum class Outcome {
        Finish,
        Fail,
        NotStarted,
    };
    bool authorized = true;
    Outcome outcome = Outcome::Finish;
    std::vector<SentShare> sent;
};

ReplayScript& replayScript()
{
    static ReplayScript script;
    return script;
}

class ReplaySharer : public SHKSharer {
public:
    static constexpr std::string_view sharerClassName = "ReplaySharer";
    static std::string sharerTitle() { return "Replay"; }
    static bool canShareText() { return true; }
    static bool canShareImage() { return true; }
    static bool canShareFile() { return true; }

    bool isAuthorized() override { return replayScript().authorized; }

    bool send() override
    {
        SentShare sent { item()->shareType(), item()->text(), {}, {}, quiet() };
        if (item()->image())
            sent.imageSize = item()->image()->size();
        if (item()->data())
            sent.data = std::string(item()->data()->asStringView());
        replayScript().sent.push_back(std::move(sent));

        auto outcome = replayScript().outcome;
        if (outcome == ReplayScript::Outcome::NotStarted)
            return false;
        sendDidStart();
        // The service answers later, as a real one does.
        auto self = protectedThis();
        fnd::RunLoop::main().post([self, outcome] {
            if (outcome == ReplayScript::Outcome::Finish)
                self->sendDidFinish();
            else
                self->sendDidFailWithErrorShouldRelogin(SHK::error("Could not authenticate you. Please relogin."), true);
        });
        return true;
    }
};

class SHKOfflineSharerTest : public SharingScreenTest {
protected:
    SHKOfflineSharerTest()
    {
        replayScript() = ReplayScript();
        SHKSharerClass::registerSharer<ReplaySharer>();
    }

    ~SHKOfflineSharerTest() override
    {
        waitForReplays();
        rt::ClassRegistry::shared().unregisterClass(ReplaySharer::sharerClassName);
        replayScript() = ReplayScript();
    }

    static bool waitForReplays()
    {
        return fnd::RunLoop::main().runUntil([] { return SHK::offlineQueue().operationCount() == 0; }, 10);
    }

    static std::string queue(const SHKItem& item, std::string sharerId = "ReplaySharer")
    {
        EXPECT_TRUE(SHK::addToOfflineQueueForSharer(item, sharerId));
        auto list = SHK::getOfflineQueueList();
        auto entry = list ? list->objectAtIndexAs<fnd::Dictionary>(list->count() - 1) : nullptr;
        return entry ? entry->stringForKey("uid").value_or("") : "";
    }

    static std::vector<std::string> filesInQueueFolder()
    {
        auto names = fnd::FileManager::contentsOfDirectory(SHK::offlineQueuePath()).value_or(std::vector<std::string>());
        std::sort(names.begin(), names.end());
        return names;
    }

    static fnd::Ref<fnd::MutableDictionary> queueEntry(fnd::Id item, std::string uid)
    {
        auto dictionary = fnd::MutableDictionary::create();
        if (item)
            dictionary->setObjectForKey(item, "item");
        dictionary->setObjectForKey(fnd::String::create("ReplaySharer"), "sharer");
        dictionary->setObjectForKey(fnd::String::create(std::move(uid)), "uid");
        return dictionary;
    }

    static fnd::Ref<SHKItem> fileItem(std::string contents)
    {
        return SHKItem::createWithFile(fnd::Data::create(contents), std::string("notes.txt"), std::string("text/plain"), std::string("Notes"));
    }
};

}

TEST_F(SHKOfflineSharerTest, ShareMadeOfflineReplaysQuietlyWithItsImageRebuilt)
{
    setOnline(false);
    auto sharer = SHKSharer::create<ReplaySharer>();
    sharer->setItem(SHKItem::createWithImage(solidImage(24, 16, 1, 0, 0), std::string("Board")));
    sharer->share();
    settle();
    ASSERT_EQ(filesInQueueFolder().size(), 2u);
    EXPECT_TRUE(replayScript().sent.empty());

    SHK::flushOfflineQueue();
    EXPECT_EQ(filesInQueueFolder().size(), 2u);

    setOnline(true);
    SHK::flushOfflineQueue();
    EXPECT_FALSE(fnd::FileManager::fileExists(SHK::offlineQueueListPath()));
    ASSERT_TRUE(waitForReplays());
    settle();

    ASSERT_EQ(replayScript().sent.size(), 1u);
    auto& sent = replayScript().sent.front();
    EXPECT_EQ(sent.type, SHKShareTypeImage);
    EXPECT_EQ(sent.imageSize.width, 24);
    EXPECT_EQ(sent.imageSize.height, 16);
    EXPECT_TRUE(sent.quiet);
    EXPECT_TRUE(filesInQueueFolder().empty());
    EXPECT_TRUE(alertTexts().empty());
    EXPECT_FALSE(SHKActivityIndicator::currentIndicator().superview());
}

TEST_F(SHKOfflineSharerTest, FlushDeletesTheListAtOnceAndReplaysEveryEntryInTurn)
{
    queue(*SHKItem::createWithText(std::string("first")));
    queue(*SHKItem::createWithText(std::string("second")));
    SHK::offlineQueue().setMaxConcurrentOperationCount(1);

    SHK::flushOfflineQueue();
    EXPECT_FALSE(fnd::FileManager::fileExists(SHK::offlineQueueListPath()));
    EXPECT_EQ(SHK::offlineQueue().operationCount(), 2u);
    ASSERT_TRUE(waitForReplays());
    SHK::offlineQueue().setMaxConcurrentOperationCount(fnd::OperationQueue::defaultMaxConcurrentOperationCount());

    ASSERT_EQ(replayScript().sent.size(), 2u);
    EXPECT_EQ(replayScript().sent[0].text, "first");
    EXPECT_EQ(replayScript().sent[1].text, "second");
}

TEST_F(SHKOfflineSharerTest, FileEntryReadsAndDeletesExactlyItsOwnFile)
{
    queue(*fileItem("contents of the file"));
    ASSERT_TRUE(fnd::FileManager::writeAtomically(SHK::offlineQueuePath() / "unrelated", std::string_view("keep me")));

    SHK::flushOfflineQueue();
    ASSERT_TRUE(waitForReplays());

    ASSERT_EQ(replayScript().sent.size(), 1u);
    EXPECT_EQ(replayScript().sent[0].type, SHKShareTypeFile);
    EXPECT_EQ(replayScript().sent[0].data, "contents of the file");
    EXPECT_EQ(filesInQueueFolder(), std::vector<std::string> { "unrelated" });
}

TEST_F(SHKOfflineSharerTest, EntriesThatCannotBeReplayedEndAtOnceAndLeaveNoFiles)
{
    replayScript().authorized = false;
    queue(*fileItem("logged out"));
    queue(*fileItem("nobody"), "NoSuchSharer");
    queue(*SHKItem::createWithImage(solidImage(4, 4, 0, 1, 0)));

    SHK::flushOfflineQueue();
    ASSERT_TRUE(waitForReplays());
    EXPECT_TRUE(replayScript().sent.empty());
    EXPECT_TRUE(filesInQueueFolder().empty());
}

TEST_F(SHKOfflineSharerTest, UnreadableImageIsDroppedWithItsFile)
{
    auto uid = queue(*SHKItem::createWithImage(solidImage(4, 4, 0, 0, 1)));
    ASSERT_TRUE(fnd::FileManager::writeAtomically(SHK::offlineQueuePath() / uid, std::string_view("not a picture")));

    SHK::flushOfflineQueue();
    ASSERT_TRUE(waitForReplays());
    EXPECT_TRUE(replayScript().sent.empty());
    EXPECT_TRUE(filesInQueueFolder().empty());
}

TEST_F(SHKOfflineSharerTest, FlushingOfflineLeavesEverythingStored)
{
    queue(*fileItem("later"));
    auto before = filesInQueueFolder();
    setOnline(false);

    SHK::flushOfflineQueue();
    EXPECT_EQ(SHK::offlineQueue().operationCount(), 0u);
    EXPECT_EQ(filesInQueueFolder(), before);
    EXPECT_EQ(SHK::getOfflineQueueList()->count(), 1u);
}

TEST_F(SHKOfflineSharerTest, TamperedEntriesReachNoFileOutsideTheQueueFolder)
{
    auto outside = fnd::FileManager::cachesDirectory() / "outside";
    ASSERT_TRUE(fnd::FileManager::writeAtomically(outside, std::string_view("precious")));
    ASSERT_TRUE(fnd::FileManager::writeAtomically(SHK::offlineQueuePath() / "orphan", std::string_view("left behind")));
    auto item = fileItem("x")->dictionaryRepresentation();
    ASSERT_TRUE(SHK::saveOfflineQueueList(fnd::Array::create({ queueEntry(item, "../outside"), queueEntry(item, ".."),
        queueEntry(nullptr, "../outside"), queueEntry(nullptr, "orphan") })));

    SHK::flushOfflineQueue();
    ASSERT_TRUE(waitForReplays());
    EXPECT_TRUE(replayScript().sent.empty());
    EXPECT_EQ(fnd::FileManager::contentsOfFile(outside)->asStringView(), "precious");
    // The entry without an item is skipped, and its file goes with it.
    EXPECT_TRUE(filesInQueueFolder().empty());
}

TEST_F(SHKOfflineSharerTest, BadEntriesNeverDeleteTheOtherQueuedShares)
{
    auto waitingUid = queue(*fileItem("still waiting"));
    auto waitingEntry = SHK::getOfflineQueueList()->objectAtIndex(0);
    auto item = fileItem("x")->dictionaryRepresentation();
    // Bad entries first, so that a deletion of theirs would strike before the good one is read.
    std::vector<fnd::Id> entries;
    for (auto name : { ".", "SHKOfflineQueue.plist", "SHKOfflineQueue.plist.corrupt", ".hidden", "" }) {
        entries.push_back(queueEntry(item, name));
        entries.push_back(queueEntry(nullptr, name));
    }
    entries.push_back(waitingEntry);
    ASSERT_TRUE(fnd::FileManager::writeAtomically(SHK::offlineQueuePath() / "SHKOfflineQueue.plist.corrupt", std::string_view("kept aside")));
    ASSERT_TRUE(fnd::FileManager::createDirectory(SHK::offlineQueuePath() / "folder"));
    ASSERT_TRUE(SHK::saveOfflineQueueList(fnd::Array::create(entries)));

    SHK::flushOfflineQueue();
    ASSERT_TRUE(waitForReplays());

    ASSERT_EQ(replayScript().sent.size(), 1u);
    EXPECT_EQ(replayScript().sent[0].data, "still waiting");
    EXPECT_EQ(filesInQueueFolder(), (std::vector<std::string> { "SHKOfflineQueue.plist.corrupt", "folder" }));
    EXPECT_FALSE(fnd::FileManager::fileExists(SHK::offlineQueuePath() / waitingUid));
}

TEST_F(SHKOfflineSharerTest, DroppedEntryNamingAFolderLeavesTheFolder)
{
    auto folder = SHK::offlineQueuePath() / "ReplaySharer-4-1-1";
    ASSERT_TRUE(fnd::FileManager::createDirectory(folder));
    ASSERT_TRUE(fnd::FileManager::writeAtomically(folder / "inside", std::string_view("kept")));
    ASSERT_TRUE(SHK::saveOfflineQueueList(fnd::Array::create({ queueEntry(fileItem("x")->dictionaryRepresentation(), "ReplaySharer-4-1-1"),
        queueEntry(nullptr, "ReplaySharer-4-1-1") })));

    SHK::flushOfflineQueue();
    ASSERT_TRUE(waitForReplays());
    EXPECT_TRUE(replayScript().sent.empty());
    EXPECT_EQ(fnd::FileManager::contentsOfFile(folder / "inside")->asStringView(), "kept");
}

TEST_F(SHKOfflineSharerTest, ReplayThatSendsNothingOrFindsTheNetworkGoneEndsAtOnce)
{
    replayScript().outcome = ReplayScript::Outcome::NotStarted;
    queue(*SHKItem::createWithText(std::string("refused")));
    SHK::flushOfflineQueue();
    ASSERT_TRUE(waitForReplays());
    EXPECT_EQ(replayScript().sent.size(), 1u);

    replayScript() = ReplayScript();
    queue(*fileItem("still offline"));
    SHK::flushOfflineQueue();
    setOnline(false);
    ASSERT_TRUE(waitForReplays());
    EXPECT_TRUE(replayScript().sent.empty());
    // Queued anew with its data, for the next replay.
    auto list = SHK::getOfflineQueueList();
    ASSERT_TRUE(list);
    ASSERT_EQ(list->count(), 1u);
    EXPECT_EQ(filesInQueueFolder().size(), 2u);
}

TEST_F(SHKOfflineSharerTest, FailedReplayEndsQuietlyAndIsNotQueuedAgain)
{
    replayScript().outcome = ReplayScript::Outcome::Fail;
    queue(*SHKItem::createWithText(std::string("rejected")));
    SHK::flushOfflineQueue();
    ASSERT_TRUE(waitForReplays());
    settle();

    EXPECT_EQ(replayScript().sent.size(), 1u);
    EXPECT_TRUE(alertTexts().empty());
    EXPECT_FALSE(SHK::getOfflineQueueList());
    EXPECT_FALSE(SHK::currentHelper().currentView());
}
