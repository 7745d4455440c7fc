#include "platform/foundation/Assertion.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/String.h"
#include "platform/network/Reachability.h"
#include "sharing/core/SHK.h"
#include "sharing/reachability/Reachability.h"
#include "support/VirtualTime.h"

#include <gtest/gtest.h>

#include <netinet/in.h>

namespace {

using net::ReachabilityFlag;
using net::ReachabilityFlags;

class ReachabilityTests : public ::testing::Test {
protected:
    void TearDown() override { net::Reachability::clearOverride(); }
};

struct FlagsCase {
    ReachabilityFlags flags;
    NetworkStatus expected;
};

}

TEST_F(ReachabilityTests, NetworkStatusFromFlags)
{
    auto reachability = Reachability::reachabilityForInternetConnection();
    ASSERT_TRUE(reachability);
    const FlagsCase cases[] = {
        { ReachabilityFlag::Reachable, ReachableViaWiFi },
        { ReachabilityFlag::Reachable | ReachabilityFlag::IsWWAN, ReachableViaWWAN },
        { ReachabilityFlag::Reachable | ReachabilityFlag::TransientConnection, ReachableViaWiFi },
        { ReachabilityFlag::Reachable | ReachabilityFlag::ConnectionRequired, NotReachable },
        { ReachabilityFlag::Reachable | ReachabilityFlag::ConnectionRequired | ReachabilityFlag::ConnectionOnTraffic, ReachableViaWiFi },
        { ReachabilityFlag::Reachable | ReachabilityFlag::ConnectionRequired | ReachabilityFlag::ConnectionOnDemand, ReachableViaWiFi },
        { ReachabilityFlag::Reachable | ReachabilityFlag::ConnectionRequired | ReachabilityFlag::ConnectionOnTraffic | ReachabilityFlag::InterventionRequired, NotReachable },
        { ReachabilityFlag::Reachable | ReachabilityFlag::ConnectionRequired | ReachabilityFlag::IsWWAN, ReachableViaWWAN },
        { ReachabilityFlags(), NotReachable },
        { ReachabilityFlag::IsWWAN | ReachabilityFlag::IsDirect | ReachabilityFlag::ConnectionOnTraffic, NotReachable },
    };
    for (auto& testCase : cases)
        EXPECT_EQ(reachability->networkStatusForFlags(testCase.flags), testCase.expected) << testCase.flags.description();
}

TEST_F(ReachabilityTests, LocalWiFiStatusNeedsADirectRoute)
{
    auto reachability = Reachability::reachabilityForLocalWiFi();
    ASSERT_TRUE(reachability);
    EXPECT_TRUE(reachability->isLocalWiFi());
    EXPECT_EQ(reachability->localWiFiStatusForFlags(ReachabilityFlag::Reachable | ReachabilityFlag::IsDirect), ReachableViaWiFi);
    EXPECT_EQ(reachability->localWiFiStatusForFlags(ReachabilityFlag::Reachable), NotReachable);
    EXPECT_EQ(reachability->localWiFiStatusForFlags(ReachabilityFlag::IsDirect), NotReachable);

    net::Reachability::setOverride(ReachabilityFlag::Reachable | ReachabilityFlag::IsDirect);
    EXPECT_EQ(reachability->currentReachabilityStatus(), ReachableViaWiFi);
    net::Reachability::setOverride(ReachabilityFlag::Reachable | ReachabilityFlag::IsWWAN);
    EXPECT_EQ(reachability->currentReachabilityStatus(), NotReachable);
}

TEST_F(ReachabilityTests, CurrentStatusFollowsTheInjectedFlags)
{
    auto reachability = Reachability::reachabilityForInternetConnection();
    ASSERT_TRUE(reachability);
    EXPECT_FALSE(reachability->isLocalWiFi());

    net::Reachability::setOverride(ReachabilityFlag::Reachable);
    EXPECT_EQ(reachability->currentReachabilityStatus(), ReachableViaWiFi);
    EXPECT_FALSE(reachability->connectionRequired());

    net::Reachability::setOverride(ReachabilityFlag::Reachable | ReachabilityFlag::IsWWAN);
    EXPECT_EQ(reachability->currentReachabilityStatus(), ReachableViaWWAN);

    net::Reachability::setOverride(ReachabilityFlag::Reachable | ReachabilityFlag::ConnectionRequired);
    EXPECT_EQ(reachability->currentReachabilityStatus(), NotReachable);
    EXPECT_TRUE(reachability->connectionRequired());

    net::Reachability::setOverrideUnreadable();
    EXPECT_EQ(reachability->currentReachabilityStatus(), NotReachable);
    EXPECT_FALSE(reachability->connectionRequired());
}

TEST_F(ReachabilityTests, ConnectedForBothReachableStates)
{
    net::Reachability::setOverride(ReachabilityFlag::Reachable);
    EXPECT_TRUE(SHK::connected());
    net::Reachability::setOverride(ReachabilityFlag::Reachable | ReachabilityFlag::IsWWAN);
    EXPECT_TRUE(SHK::connected());
    net::Reachability::setOverride(ReachabilityFlags());
    EXPECT_FALSE(SHK::connected());
    net::Reachability::setOverrideUnreadable();
    EXPECT_FALSE(SHK::connected());
}

TEST_F(ReachabilityTests, FactoriesRefuseWhatThePlatformRefuses)
{
    sockaddr unknownFamily {};
    unknownFamily.sa_family = AF_UNIX;
    EXPECT_FALSE(Reachability::reachabilityWithAddress(&unknownFamily, sizeof(unknownFamily)));
    EXPECT_FALSE(Reachability::reachabilityWithHostName(""));

    sockaddr_in loopback {};
    loopback.sin_family = AF_INET;
    loopback.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    auto reachability = Reachability::reachabilityWithAddress(reinterpret_cast<sockaddr*>(&loopback), sizeof(loopback));
    ASSERT_TRUE(reachability);
    net::Reachability::setOverride(ReachabilityFlag::Reachable | ReachabilityFlag::IsLocalAddress);
    EXPECT_EQ(reachability->currentReachabilityStatus(), ReachableViaWiFi);
}

TEST_F(ReachabilityTests, StartedNotifierPostsEachChange)
{
    brenzo::testing::VirtualTime time;
    net::Reachability::setOverride(ReachabilityFlag::Reachable);
    auto reachability = Reachability::reachabilityForInternetConnection();
    ASSERT_TRUE(reachability);

    std::vector<NetworkStatus> seen;
    auto token = fnd::NotificationCenter::defaultCenter().addObserver(std::string(Reachability::changedNotification), reachability.get(), [&](const fnd::Notification& notification) {
        seen.push_back(static_cast<const Reachability*>(notification.object())->currentReachabilityStatus());
    });

    EXPECT_TRUE(reachability->startNotifier());
    net::Reachability::setOverride(ReachabilityFlags());
    time.runUntilIdle();
    net::Reachability::setOverride(ReachabilityFlag::Reachable | ReachabilityFlag::IsWWAN);
    time.runUntilIdle();
    EXPECT_EQ(seen, (std::vector<NetworkStatus> { NotReachable, ReachableViaWWAN }));

    reachability->stopNotifier();
    net::Reachability::setOverride(ReachabilityFlag::Reachable);
    time.advance(10);
    EXPECT_EQ(seen.size(), 2u);
    fnd::NotificationCenter::defaultCenter().removeObserver(token);
}

TEST_F(ReachabilityTests, CallbackChecksItsInformation)
{
    std::vector<fnd::AssertionInfo> failures;
    fnd::ScopedAssertionHandler handler([&](const fnd::AssertionInfo& info) { failures.push_back(info); });
    int posted = 0;
    auto token = fnd::NotificationCenter::defaultCenter().addObserver(std::string(Reachability::changedNotification), nullptr, [&](const fnd::Notification&) {
        ++posted;
    });

    auto target = net::Reachability::createWithHostName("localhost");
    ASSERT_TRUE(target);
    ReachabilityCallback(*target, ReachabilityFlag::Reachable, nullptr);
    ReachabilityCallback(*target, ReachabilityFlag::Reachable, fnd::String::create("not a reachability"));
    ASSERT_EQ(failures.size(), 2u);
    EXPECT_EQ(failures[0].message, "info was NULL in ReachabilityCallback");
    EXPECT_EQ(failures[0].file, "Classes/Sharing/Classes/Sharing/Reachability/Reachability");
    EXPECT_EQ(failures[0].line, 86);
    EXPECT_EQ(failures[1].message, "info was wrong class in ReachabilityCallback");
    EXPECT_EQ(failures[1].line, 87);
    EXPECT_EQ(posted, 0);

    ReachabilityCallback(*target, ReachabilityFlag::Reachable, Reachability::reachabilityForInternetConnection());
    EXPECT_EQ(posted, 1);
    fnd::NotificationCenter::defaultCenter().removeObserver(token);
}
