#include "platform/network/HostResolver.h"
#include "platform/network/Reachability.h"
#include "support/VirtualTime.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <netinet/in.h>

namespace {

using net::HostResolver;
using net::IPAddress;
using net::Reachability;
using net::ReachabilityFlag;
using net::ReachabilityFlags;

std::shared_ptr<Reachability> internetReachability()
{
    sockaddr_in zeroAddress {};
    zeroAddress.sin_family = AF_INET;
    return Reachability::createWithAddress(reinterpret_cast<const sockaddr*>(&zeroAddress), sizeof(zeroAddress));
}

// Every test leaves the override, the name lookup and its time-out as it found them.
class ReachabilityTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        Reachability::clearOverride();
        HostResolver::setLookup(nullptr);
        HostResolver::setTimeout(1.0);
    }

    void useNames(std::map<std::string, std::vector<std::string>> names)
    {
        HostResolver::setLookup([names = std::move(names)](const std::string& hostName) {
            std::vector<IPAddress> addresses;
            if (auto found = names.find(hostName); found != names.end()) {
                for (auto& text : found->second)
                    addresses.push_back(*IPAddress::fromText(text));
            }
            return addresses;
        });
    }
};

TEST_F(ReachabilityTest, RefusesAddressesAndNamesItCannotUse)
{
    sockaddr unixAddress {};
    unixAddress.sa_family = AF_UNIX;
    EXPECT_FALSE(Reachability::createWithAddress(&unixAddress, sizeof(unixAddress)));
    EXPECT_FALSE(Reachability::createWithHostName(""));
    auto internet = internetReachability();
    ASSERT_TRUE(internet);
    EXPECT_TRUE(internet->address()->isUnspecified());
}

TEST_F(ReachabilityTest, EveryReferenceAnswersTheOverride)
{
    auto internet = internetReachability();
    auto host = Reachability::createWithHostName("api.example.invalid");
    auto flags = ReachabilityFlag::Reachable | ReachabilityFlag::IsWWAN;
    Reachability::setOverride(flags);
    EXPECT_EQ(internet->flags(), flags);
    EXPECT_EQ(host->flags(), flags);

    Reachability::setOverride(ReachabilityFlags());
    EXPECT_EQ(internet->flags(), ReachabilityFlags());

    Reachability::setOverrideUnreadable();
    EXPECT_FALSE(internet->flags());
    EXPECT_FALSE(host->flags());
}

TEST_F(ReachabilityTest, WithoutAnOverrideReadsThisMachine)
{
    Reachability::setOverride(ReachabilityFlags());
    Reachability::clearOverride();
    auto loopback = Reachability::createWithAddress(*IPAddress::fromText("127.0.0.1"));
    auto flags = loopback->flags();
    ASSERT_TRUE(flags);
    EXPECT_TRUE(flags->contains(ReachabilityFlag::Reachable));
    EXPECT_TRUE(flags->contains(ReachabilityFlag::IsLocalAddress));
    // Whatever this machine's network, the internet's flags can be read.
    EXPECT_TRUE(internetReachability()->flags());
}

TEST_F(ReachabilityTest, HostNamesAreReachableThroughTheirAddresses)
{
    useNames({ { "home.test", { "127.0.0.1" } }, { "nowhere.test", {} } });
    auto home = Reachability::createWithHostName("home.test");
    auto flags = home->flags();
    ASSERT_TRUE(flags);
    EXPECT_TRUE(flags->contains(ReachabilityFlag::IsLocalAddress));

    auto nowhere = Reachability::createWithHostName("nowhere.test");
    EXPECT_EQ(nowhere->flags(), ReachabilityFlags());
    // Numeric names need no lookup.
    EXPECT_TRUE(Reachability::createWithHostName("127.0.0.1")->flags()->contains(ReachabilityFlag::IsDirect));
}

TEST_F(ReachabilityTest, ASlowLookupDoesNotHoldTheCallerBeyondTheTimeout)
{
    // Shared with the lookup threads, which outlive this test.
    struct Latch {
        std::mutex lock;
        std::condition_variable released;
        bool isReleased = false;
    };
    auto latch = std::make_shared<Latch>();
    HostResolver::setLookup([latch](const std::string&) {
        std::unique_lock guard(latch->lock);
        latch->released.wait(guard, [&] { return latch->isReleased; });
        return std::vector<IPAddress> { *IPAddress::fromText("127.0.0.1") };
    });
    HostResolver::setTimeout(0.05);

    auto start = std::chrono::steady_clock::now();
    auto flags = Reachability::createWithHostName("slow.test")->flags();
    auto waited = std::chrono::steady_clock::now() - start;

    ASSERT_TRUE(flags);
    EXPECT_EQ(*flags, ReachabilityFlags());
    EXPECT_LT(waited, std::chrono::seconds(1));
    EXPECT_FALSE(HostResolver::resolve("slow.test"));
    {
        std::lock_guard guard(latch->lock);
        latch->isReleased = true;
    }
    latch->released.notify_all();
}

TEST_F(ReachabilityTest, TheSystemLookupAnswersNumericNamesWithoutTheNetwork)
{
    auto addresses = HostResolver::systemLookup("127.0.0.1");
    ASSERT_FALSE(addresses.empty());
    EXPECT_TRUE(addresses[0].isLoopback());
    EXPECT_EQ(HostResolver::resolve("::1").value().at(0).toString(), "::1");
}

class ReachabilityNotifier : public ReachabilityTest {
protected:
    void watch(Reachability& reachability)
    {
        reachability.setCallback([this](Reachability&, ReachabilityFlags flags) { m_seen.push_back(flags); });
        ASSERT_TRUE(reachability.scheduleOnMainRunLoop());
    }

    brenzo::testing::VirtualTime m_time;
    std::vector<ReachabilityFlags> m_seen;
};

TEST_F(ReachabilityNotifier, CallsBackOnTheMainLoopWhenTheFlagsChange)
{
    Reachability::setOverride(ReachabilityFlag::Reachable);
    auto internet = internetReachability();
    watch(*internet);
    EXPECT_TRUE(internet->isScheduled());

    Reachability::setOverride(ReachabilityFlags());
    EXPECT_TRUE(m_seen.empty());
    m_time.runUntilIdle();
    EXPECT_EQ(m_seen, (std::vector<ReachabilityFlags> { ReachabilityFlags() }));

    // The same flags again, or flags that cannot be read, are no news.
    Reachability::setOverride(ReachabilityFlags());
    Reachability::setOverrideUnreadable();
    m_time.runUntilIdle();
    m_time.advance(Reachability::pollInterval * 3);
    EXPECT_EQ(m_seen.size(), 1u);

    Reachability::setOverride(ReachabilityFlag::Reachable | ReachabilityFlag::IsWWAN);
    m_time.runUntilIdle();
    ASSERT_EQ(m_seen.size(), 2u);
    EXPECT_EQ(m_seen[1], ReachabilityFlag::Reachable | ReachabilityFlag::IsWWAN);

    internet->unscheduleFromMainRunLoop();
    EXPECT_FALSE(internet->isScheduled());
    Reachability::setOverride(ReachabilityFlags());
    m_time.runUntilIdle();
    m_time.advance(Reachability::pollInterval * 2);
    EXPECT_EQ(m_seen.size(), 2u);
}

TEST_F(ReachabilityNotifier, NoticesChangesOfTheNetworkAtTheNextLook)
{
    useNames({ { "server.test", { "127.0.0.1" } } });
    auto server = Reachability::createWithHostName("server.test");
    watch(*server);

    // The name stops resolving: nothing tells the reference, its next look finds out.
    useNames({});
    m_time.advance(Reachability::pollInterval - 0.1);
    EXPECT_TRUE(m_seen.empty());
    m_time.advance(0.1);
    EXPECT_EQ(m_seen, (std::vector<ReachabilityFlags> { ReachabilityFlags() }));
}

TEST_F(ReachabilityNotifier, AReferenceThatGoesAwayStopsWatching)
{
    Reachability::setOverride(ReachabilityFlag::Reachable);
    auto internet = internetReachability();
    watch(*internet);
    internet.reset();
    Reachability::setOverride(ReachabilityFlags());
    m_time.runUntilIdle();
    m_time.advance(Reachability::pollInterval * 2);
    EXPECT_TRUE(m_seen.empty());
}

}
