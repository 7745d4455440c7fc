#include "platform/foundation/UserDefaults.h"

#include "platform/foundation/FileManager.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/MutableString.h"
#include "platform/foundation/Null.h"
#include "platform/foundation/Number.h"
#include "platform/foundation/PropertyList.h"
#include "platform/foundation/String.h"
#include "platform/foundation/Thread.h"

#include "support/TemporaryHome.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace fnd;
using brenzo::testing::TemporaryHome;

TEST(UserDefaults, TypedValuesReadBackAndWrongTypesReadAsAbsent)
{
    auto defaults = UserDefaults::createInMemory();
    defaults->setObjectForKey(String::create("1.0"), "kRatingPromptCurrentVersion");
    defaults->setIntegerForKey(21, "kRatingPromptUseCount");
    defaults->setDoubleForKey(1291161600.5, "kRatingPromptFirstUseDate");
    defaults->setBoolForKey(true, "kRatingPromptDeclinedToRate");
    defaults->setObjectForKey(Array::create({ String::create("SHKTwitter") }), "BRENZO_FAVS_1");
    defaults->setObjectForKey(Dictionary::create({ { String::create("k"), String::create("v") } }), "dictionary");
    defaults->setObjectForKey(Data::create(std::string_view("bytes")), "data");

    EXPECT_EQ(defaults->stringForKey("kRatingPromptCurrentVersion"), "1.0");
    EXPECT_EQ(defaults->integerForKey("kRatingPromptUseCount"), 21);
    EXPECT_EQ(defaults->doubleForKey("kRatingPromptFirstUseDate"), 1291161600.5);
    EXPECT_TRUE(defaults->boolForKey("kRatingPromptDeclinedToRate"));
    ASSERT_TRUE(defaults->arrayForKey("BRENZO_FAVS_1"));
    EXPECT_EQ(defaults->arrayForKey("BRENZO_FAVS_1")->count(), 1u);
    EXPECT_EQ(defaults->dictionaryForKey("dictionary")->stringForKey("k"), "v");
    EXPECT_EQ(defaults->dataForKey("data")->asStringView(), "bytes");

    // Numbers convert among themselves; other types read as absent.
    EXPECT_EQ(defaults->integerForKey("kRatingPromptFirstUseDate"), 1291161600);
    EXPECT_EQ(defaults->integerForKey("kRatingPromptDeclinedToRate"), 1);
    EXPECT_EQ(defaults->integerForKey("kRatingPromptCurrentVersion"), 0);
    EXPECT_EQ(defaults->doubleForKey("BRENZO_FAVS_1"), 0);
    EXPECT_FALSE(defaults->boolForKey("kRatingPromptCurrentVersion"));
    EXPECT_FALSE(defaults->stringForKey("kRatingPromptUseCount"));
    EXPECT_FALSE(defaults->arrayForKey("dictionary"));
    EXPECT_FALSE(defaults->dictionaryForKey("BRENZO_FAVS_1"));
    EXPECT_FALSE(defaults->dataForKey("kRatingPromptCurrentVersion"));
    EXPECT_FALSE(defaults->objectForKey("missing"));
    EXPECT_EQ(defaults->integerForKey("missing"), 0);

    defaults->removeObjectForKey("kRatingPromptUseCount");
    EXPECT_FALSE(defaults->objectForKey("kRatingPromptUseCount"));
    EXPECT_TRUE(defaults->setObjectForKey(nullptr, "kRatingPromptCurrentVersion"));
    EXPECT_FALSE(defaults->objectForKey("kRatingPromptCurrentVersion"));
}

TEST(UserDefaults, StoresACopyAndRefusesWhatIsNotAPropertyList)
{
    auto defaults = UserDefaults::createInMemory();
    auto list = MutableArray::create({ String::create("SHKMail") });
    ASSERT_TRUE(defaults->setObjectForKey(list, "SHKExcluded"));
    list->addObject(String::create("SHKCopy"));
    EXPECT_EQ(defaults->arrayForKey("SHKExcluded")->count(), 1u) << "later changes to the caller's array do not leak in";
    EXPECT_FALSE(defaults->arrayForKey("SHKExcluded")->isMutable());

    LogCapture log;
    EXPECT_FALSE(defaults->setObjectForKey(Array::create({ Null::null() }), "SHKExcluded"));
    EXPECT_TRUE(log.contains("SHKExcluded"));
    EXPECT_EQ(defaults->arrayForKey("SHKExcluded")->count(), 1u) << "a refused value leaves the old one";
}

TEST(UserDefaults, ValuesPersistAcrossAReopen)
{
    TemporaryHome home;
    auto path = home.path() / "Library" / "Preferences" / "com.brenzo.Brenzo.plist";
    EXPECT_EQ(UserDefaults::standardFilePath(), path);
    auto defaults = UserDefaults::standardUserDefaults();
    EXPECT_EQ(defaults, UserDefaults::standardUserDefaults());
    defaults->setObjectForKey(String::create("1.0"), "kRatingPromptCurrentVersion");
    defaults->setIntegerForKey(5, "kRatingPromptUseCount");
    defaults->setBoolForKey(false, "kRatingPromptRatedCurrentVersion");
    ASSERT_TRUE(defaults->synchronize());
    ASSERT_TRUE(FileManager::fileExists(path));

    auto reopened = UserDefaults::createWithFile(path);
    EXPECT_EQ(reopened->stringForKey("kRatingPromptCurrentVersion"), "1.0");
    EXPECT_EQ(reopened->integerForKey("kRatingPromptUseCount"), 5);
    EXPECT_EQ(reopened->objectForKey("kRatingPromptRatedCurrentVersion"), Number::no());
}

TEST(UserDefaults, UnsynchronisedChangesAreWrittenWhenTheDefaultsGoAway)
{
    TemporaryHome home;
    auto path = home.path() / "prefs.plist";
    UserDefaults::createWithFile(path)->setIntegerForKey(7, "count");
    // The background writer may hold the last reference for a moment; it writes as it lets go.
    ASSERT_TRUE(Thread::waitForDetachedThreads(60));
    EXPECT_EQ(UserDefaults::createWithFile(path)->integerForKey("count"), 7);
}

TEST(UserDefaults, ACorruptFileIsKeptAsideAndTheDefaultsStartEmpty)
{
    TemporaryHome home;
    auto path = home.path() / "prefs.plist";
    ASSERT_TRUE(FileManager::writeAtomically(path, std::string_view("<?xml version=\"1.0\"?><plist><dict><key>a</key><integer>1</integer>")));
    LogCapture log;
    auto defaults = UserDefaults::createWithFile(path);
    EXPECT_FALSE(defaults->objectForKey("a"));
    EXPECT_TRUE(log.contains("prefs.plist.corrupt"));
    auto aside = FileManager::contentsOfFile(home.path() / "prefs.plist.corrupt");
    ASSERT_TRUE(aside) << "the damaged file is kept for inspection";
    EXPECT_NE(aside->asStringView().find("<key>a</key>"), std::string_view::npos);

    defaults->setIntegerForKey(2, "b");
    ASSERT_TRUE(defaults->synchronize());
    EXPECT_EQ(UserDefaults::createWithFile(path)->integerForKey("b"), 2);

    // A file that parses but is not a dictionary is just as unusable.
    ASSERT_TRUE(PropertyList::writeFile(Array::create(), path));
    EXPECT_FALSE(UserDefaults::createWithFile(path)->objectForKey("b"));
}

TEST(UserDefaults, IncrementsThroughTheLockAreNeverLost)
{
    auto defaults = UserDefaults::createInMemory();
    constexpr int threadCount = 8;
    constexpr int incrementsPerThread = 1000;
    std::vector<std::thread> threads;
    for (int index = 0; index < threadCount; ++index) {
        threads.emplace_back([&] {
            for (int count = 0; count < incrementsPerThread; ++count) {
                defaults->withLock([](UserDefaults& locked) {
                    locked.setIntegerForKey(locked.integerForKey("kRatingPromptUseCount") + 1, "kRatingPromptUseCount");
                });
            }
        });
    }
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(defaults->integerForKey("kRatingPromptUseCount"), threadCount * incrementsPerThread);
}

TEST(UserDefaults, ConcurrentSynchronizeNeverLeavesATornFile)
{
    TemporaryHome home;
    auto path = home.path() / "prefs.plist";
    auto defaults = UserDefaults::createWithFile(path);
    std::atomic<bool> writersDone { false };
    std::atomic<int> unreadable { 0 };
    std::atomic<int> reads { 0 };

    std::thread reader([&] {
        while (!writersDone) {
            if (!FileManager::fileExists(path))
                continue;
            auto contents = as<Dictionary>(PropertyList::readFile(path));
            ++reads;
            if (!contents)
                ++unreadable;
        }
    });
    std::vector<std::thread> writers;
    for (int index = 0; index < 4; ++index) {
        writers.emplace_back([&, index] {
            for (int round = 0; round < 50; ++round) {
                std::string key = "key" + std::to_string(index);
                defaults->setObjectForKey(String::create(std::string(2000, char('a' + index)) + std::to_string(round)), key);
                EXPECT_TRUE(defaults->synchronize());
            }
        });
    }
    for (auto& writer : writers)
        writer.join();
    writersDone = true;
    reader.join();

    EXPECT_EQ(unreadable, 0) << "of " << reads << " reads";
    auto final = UserDefaults::createWithFile(path);
    for (int index = 0; index < 4; ++index)
        EXPECT_EQ(final->stringForKey("key" + std::to_string(index)), std::string(2000, char('a' + index)) + "49") << "the last write wins";
    auto names = FileManager::contentsOfDirectory(home.path());
    ASSERT_TRUE(names);
    EXPECT_EQ(std::count(names->begin(), names->end(), "prefs.plist"), 1);
    for (auto& name : *names)
        EXPECT_FALSE(name.starts_with(".prefs.plist")) << "temporary file left behind: " << name;
}

TEST(UserDefaults, InMemoryDefaultsNeedNoFile)
{
    auto defaults = UserDefaults::createInMemory();
    defaults->setIntegerForKey(1, "a");
    EXPECT_TRUE(defaults->synchronize());
    EXPECT_FALSE(defaults->filePath());
    auto all = defaults->dictionaryRepresentation();
    EXPECT_EQ(all->count(), 1u);
}

TEST(UserDefaults, AChangeReachesTheDiskSoonWithoutASynchronize)
{
    TemporaryHome home;
    auto path = home.path() / "prefs.plist";
    auto defaults = UserDefaults::createWithFile(path);
    defaults->setIntegerForKey(3, "count");
    defaults->setObjectForKey(String::create("1.0"), "version");
    // The defaults stay alive: a crash now must not lose the change.
    ASSERT_TRUE(Thread::waitForDetachedThreads(30));
    auto written = as<Dictionary>(PropertyList::readFile(path));
    ASSERT_TRUE(written);
    auto count = as<Number>(written->objectForKey(String::create("count")));
    ASSERT_TRUE(count);
    EXPECT_EQ(count->longLongValue(), 3);
    EXPECT_EQ(written->stringForKey("version"), "1.0");
}

TEST(UserDefaults, AFileThatExistsButCannotBeReadIsNeverWrittenOver)
{
    TemporaryHome home;
    auto path = home.path() / "prefs.plist";
    std::string_view original = "<?xml version=\"1.0\"?><plist><dict><key>kept</key><integer>1</integer></dict></plist>";
    ASSERT_TRUE(FileManager::writeAtomically(path, original));
    ASSERT_EQ(::chmod(path.c_str(), 0), 0);
    ASSERT_EQ(::chmod(home.path().c_str(), 0777), 0);

    // In a child process that cannot read the file (root reads everything, so it becomes nobody).
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::geteuid() == 0 && ::setuid(65534) != 0)
            ::_exit(10);
        LogCapture log;
        auto defaults = UserDefaults::createWithFile(path);
        defaults->setIntegerForKey(2, "count");
        bool synchronized = defaults->synchronize();
        defaults = nullptr;
        size_t lines = log.count("running on defaults in memory, the file is left as it is");
        ::_exit(synchronized ? 11 : lines != 1 ? 12 : 0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "10: no other user, 11: synchronize wrote, 12: not logged once";
    ::chmod(path.c_str(), 0600);
    auto contents = FileManager::contentsOfFile(path);
    ASSERT_TRUE(contents);
    EXPECT_EQ(contents->asStringView(), original);
}

TEST(UserDefaults, AnOversizedFileIsKeptAsideNotReadWhole)
{
    TemporaryHome home;
    auto path = home.path() / "prefs.plist";
    ASSERT_TRUE(FileManager::writeAtomically(path, std::string_view("<plist>")));
    std::filesystem::resize_file(path, UserDefaults::maximumFileLength + 1);
    LogCapture log;
    auto defaults = UserDefaults::createWithFile(path);
    EXPECT_TRUE(log.contains("is too large; kept aside as"));
    EXPECT_EQ(std::filesystem::file_size(home.path() / "prefs.plist.corrupt"), UserDefaults::maximumFileLength + 1);
    defaults->setIntegerForKey(1, "fresh");
    EXPECT_TRUE(defaults->synchronize());
}
