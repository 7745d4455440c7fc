#include "board/BoardFile.h"
#include "platform/foundation/Dictionary.h"
#include "platform/foundation/FileManager.h"
#include "platform/foundation/Number.h"
#include "platform/foundation/PropertyList.h"
#include "platform/foundation/String.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/security/Keychain.h"
#include "sharing/core/KeychainStore.h"
#include "sharing/core/SHK.h"
#include "support/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <fstream>
#include <csignal>
#include <cstdlib>
#include <random>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

namespace brenzo::testing {

namespace {

// Set in the environment of the worker process that the test kills.
constexpr const char* workerHomeVariable = "BRENZO_SAVE_WORKER_HOME";
constexpr std::string_view keychainService = "CrashSafeSave";
constexpr size_t queueLength = 40;

std::string boardText(int64_t version)
{
    // Long enough that a kill often lands inside the write.
    return "<floor>\n  <title>version " + std::to_string(version) + "</title>\n" + std::string(64 * 1024, ' ') + "\n</floor>\n";
}

std::string filler(int64_t version)
{
    return std::string(16 * 1024, char('a' + version % 26));
}

fnd::Ref<fnd::Array> queueList(int64_t version)
{
    auto list = fnd::MutableArray::create();
    for (size_t index = 0; index < queueLength; ++index) {
        list->addObject(fnd::Dictionary::create({ { fnd::String::create("uid"), fnd::String::create("entry-" + std::to_string(index)) },
            { fnd::String::create("version"), fnd::Number::withInteger(version) } }));
    }
    return list;
}

std::filesystem::path defaultsPath(const std::filesystem::path& home)
{
    return home / "Library" / "Preferences" / "saves.plist";
}

// Each check answers the version the file holds, or fails the test when the file is torn.
int64_t boardVersion(const std::filesystem::path& home)
{
    auto text = fnd::FileManager::contentsOfFile(home / "Documents" / "main.xml");
    if (!text) {
        ADD_FAILURE() << "no board file";
        return -1;
    }
    std::string content(text->asStringView());
    auto start = content.find("version ");
    int64_t version = start == std::string::npos ? -1 : std::atoll(content.c_str() + start + 8);
    EXPECT_EQ(content, boardText(version)) << "torn board file of " << content.size() << " bytes";
    return version;
}

int64_t defaultsVersion(const std::filesystem::path& home)
{
    auto values = fnd::as<fnd::Dictionary>(fnd::PropertyList::readFile(defaultsPath(home)));
    if (!values) {
        ADD_FAILURE() << "torn or missing defaults";
        return -1;
    }
    auto save = fnd::as<fnd::Dictionary>(values->objectForKey(fnd::String::create("save")));
    auto version = save ? fnd::as<fnd::Number>(save->objectForKey(fnd::String::create("version"))) : nullptr;
    auto text = save ? fnd::as<fnd::String>(save->objectForKey(fnd::String::create("filler"))) : nullptr;
    if (!version || !text) {
        ADD_FAILURE() << "defaults without their values";
        return -1;
    }
    EXPECT_EQ(text->utf8(), filler(version->longLongValue()));
    return version->longLongValue();
}

int64_t keychainVersion(const std::filesystem::path& home)
{
    auto keychain = sec::Keychain::openFile(sec::Keychain::fileInHomeFolder(home));
    if (!keychain) {
        ADD_FAILURE() << "keychain not opened";
        return -1;
    }
    fnd::Ref<fnd::Data> data;
    keychain->copyData(KeychainStore::queryForServiceAccount(keychainService, "user"), &data);
    if (!data) {
        ADD_FAILURE() << "password lost";
        return -1;
    }
    auto text = std::string(data->asStringView());
    EXPECT_TRUE(text.starts_with("password-")) << text;
    return std::atoll(text.c_str() + 9);
}

int64_t queueVersion(const std::filesystem::path& home)
{
    fnd::FileManager::setHomeDirectory(home);
    auto list = fnd::as<fnd::Array>(fnd::PropertyList::readFile(SHK::offlineQueueListPath()));
    if (!list || list->count() != queueLength) {
        ADD_FAILURE() << "torn or missing offline queue";
        return -1;
    }
    auto first = fnd::as<fnd::Dictionary>(list->objectAtIndex(0));
    auto version = first ? fnd::as<fnd::Number>(first->objectForKey(fnd::String::create("version"))) : nullptr;
    if (!version) {
        ADD_FAILURE() << "offline queue entry without its version";
        return -1;
    }
    EXPECT_TRUE(list->isEqual(*queueList(version->longLongValue())));
    return version->longLongValue();
}

// Saves all four files at the given version.
void saveEverything(const std::filesystem::path& home, int64_t version)
{
    ASSERT_TRUE(BoardFile::write(boardText(version)));
    auto defaults = fnd::UserDefaults::createWithFile(defaultsPath(home));
    // One value: the background writer may take its snapshot between two changes.
    defaults->setObjectForKey(fnd::Dictionary::create({ { fnd::String::create("version"), fnd::Number::withInteger(version) },
                                  { fnd::String::create("filler"), fnd::String::create(filler(version)) } }),
        "save");
    ASSERT_TRUE(defaults->synchronize());
    ASSERT_TRUE(KeychainStore::setPasswordForServiceAccount("password-" + std::to_string(version), keychainService, "user"));
    ASSERT_TRUE(SHK::saveOfflineQueueList(queueList(version)));
}

pid_t startWorker(const std::filesystem::path& home, int round)
{
    std::vector<std::string> environment;
    for (char** entry = environ; *entry; ++entry)
        environment.emplace_back(*entry);
    environment.push_back(std::string(workerHomeVariable) + "=" + home.string());
    environment.push_back("BRENZO_SAVE_WORKER_ROUND=" + std::to_string(round));
    std::vector<char*> environmentPointers;
    for (auto& entry : environment)
        environmentPointers.push_back(entry.data());
    environmentPointers.push_back(nullptr);

    std::string program = std::filesystem::read_symlink("/proc/self/exe").string();
    std::string filter = "--gtest_filter=CrashSafeSaveWorker.SavesUntilKilled";
    char* arguments[] = { program.data(), filter.data(), nullptr };
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    int result = posix_spawn(&pid, program.c_str(), &actions, nullptr, arguments, environmentPointers.data());
    posix_spawn_file_actions_destroy(&actions);
    return result == 0 ? pid : -1;
}

bool waitForFile(const std::filesystem::path& path, std::chrono::seconds cap)
{
    auto deadline = std::chrono::steady_clock::now() + cap;
    while (!std::filesystem::exists(path)) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

}

// Not a test of its own: the process that the next test starts and kills again and again.
TEST(CrashSafeSaveWorker, SavesUntilKilled)
{
    const char* home = std::getenv(workerHomeVariable);
    if (!home)
        GTEST_SKIP() << "run by CrashSafeSave";
    int64_t round = std::atoll(std::getenv("BRENZO_SAVE_WORKER_ROUND"));
    fnd::FileManager::setHomeDirectory(home);
    sec::Keychain::setShared(nullptr);
    for (int64_t save = 0; save < 100000; ++save) {
        saveEverything(home, round * 100000 + save);
        if (save == 0)
            std::ofstream(std::filesystem::path(home) / ("saving." + std::to_string(round)));
    }
}

TEST(CrashSafeSave, EveryFileIsTheOldOrTheNewOneAfterAKillAtAnyInstant)
{
    TemporaryDirectory folder;
    auto home = folder.path() / "home";
    fnd::FileManager::setHomeDirectory(home);
    sec::Keychain::setShared(nullptr);
    saveEverything(home, 0);
    sec::Keychain::setShared(nullptr);

    std::mt19937 random(20261209);
    constexpr int rounds = 20;
    for (int round = 1; round <= rounds; ++round) {
        pid_t worker = startWorker(home, round);
        ASSERT_GT(worker, 0);
        // Once the worker is saving, kill it at a random instant of its next saves.
        bool saving = waitForFile(home / ("saving." + std::to_string(round)), std::chrono::seconds(120));
        std::this_thread::sleep_for(std::chrono::microseconds(std::uniform_int_distribution<int>(0, 40000)(random)));
        ::kill(worker, SIGKILL);
        int status = 0;
        ::waitpid(worker, &status, 0);
        ASSERT_TRUE(saving) << "the worker never started saving";

        int64_t oldest = round * 100000;
        EXPECT_GE(boardVersion(home), oldest);
        EXPECT_GE(defaultsVersion(home), oldest);
        EXPECT_GE(keychainVersion(home), oldest);
        EXPECT_GE(queueVersion(home), oldest);
        if (HasFailure())
            return;

        // What the kill left half-written is the temporary file beside it, removed at start.
        for (auto folderPath : { home / "Documents", defaultsPath(home).parent_path(), SHK::offlineQueuePath() }) {
            fnd::FileManager::removeTemporaryFiles(folderPath);
            for (auto& name : fnd::FileManager::contentsOfDirectory(folderPath).value_or(std::vector<std::string> {}))
                EXPECT_FALSE(fnd::FileManager::isTemporaryFileName(name)) << name;
        }
    }
}

}
