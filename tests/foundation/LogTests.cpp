#include "platform/foundation/Log.h"
#include "platform/foundation/LogSecrets.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <thread>

namespace fnd {

TEST(LogSecrets, MasksTokensAndPasswordsInAddressesFormsJSONAndHeaders)
{
    EXPECT_EQ(LogSecrets::masked("open fb123://authorize#access_token=AAAB12&expires_in=0"),
        "open fb123://authorize#access_token=********&expires_in=0");
    EXPECT_EQ(LogSecrets::masked("body oauth_token=abc&oauth_token_secret=def&user_id=7"),
        "body oauth_token=********&oauth_token_secret=********&user_id=7");
    EXPECT_EQ(LogSecrets::masked("reply {\"Access_Token\": \"xyz\", \"name\":\"Zoë\",\"password\":\"p@ss w\"}"),
        "reply {\"Access_Token\": \"********\", \"name\":\"Zoë\",\"password\":\"********\"}");
    EXPECT_EQ(LogSecrets::masked("Authorization: Bearer abc.def"), "Authorization: ********");
    EXPECT_EQ(LogSecrets::masked("header Authorization: OAuth oauth_token=\"t1\", oauth_signature=\"s%3D\"\nnext"),
        "header Authorization: ********\nnext");
    EXPECT_EQ(LogSecrets::masked("login?user=me&password=hunter2"), "login?user=me&password=********");
}

TEST(LogSecrets, LeavesOrdinaryTextAlone)
{
    for (std::string line : { "the password was refused", "tokens=3", "mytoken=abc", "secret", "token=", "effacer Zoë Ångström" })
        EXPECT_EQ(LogSecrets::masked(line), line);
}

TEST(Log, EverySinkSeesMaskedLines)
{
    LogCapture log;
    Log::write("GET https://example.com/me?access_token=SECRET1");
    EXPECT_FALSE(log.contains("SECRET1"));
    EXPECT_TRUE(log.contains("access_token=********"));
}

TEST(Log, RemovingASinkWaitsForAWriteThatIsCallingIt)
{
    std::mutex lock;
    std::condition_variable changed;
    bool entered = false;
    bool released = false;
    std::atomic<bool> callFinished = false;
    size_t token = Log::addSink([&](const std::string&) {
        std::unique_lock guard(lock);
        entered = true;
        changed.notify_all();
        changed.wait(guard, [&] { return released; });
        callFinished = true;
    });

    std::thread writer([] { Log::write("a line in flight"); });
    {
        std::unique_lock guard(lock);
        changed.wait(guard, [&] { return entered; });
    }
    std::atomic<bool> removed = false;
    bool finishedWhenRemoved = false;
    std::thread remover([&] {
        Log::removeSink(token);
        finishedWhenRemoved = callFinished;
        removed = true;
    });
    // Give a wrong removal the chance to return early; a right one waits whatever the delay.
    for (int tries = 0; tries < 50 && !removed; ++tries)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    {
        std::lock_guard guard(lock);
        released = true;
    }
    changed.notify_all();
    writer.join();
    remover.join();
    EXPECT_TRUE(finishedWhenRemoved);

    // The sink is gone: later lines do not reach it.
    entered = false;
    Log::write("after removal");
    EXPECT_FALSE(entered);
}

TEST(Log, ASinkMayRemoveItself)
{
    size_t token = 0;
    int calls = 0;
    token = Log::addSink([&](const std::string&) {
        ++calls;
        Log::removeSink(token);
    });
    Log::write("first");
    Log::write("second");
    EXPECT_EQ(calls, 1);
}

}
