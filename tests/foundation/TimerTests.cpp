#include "platform/foundation/RunLoop.h"
#include "platform/foundation/Timer.h"
#include "support/VirtualTime.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace fnd;
using brenzo::testing::VirtualTime;

namespace {

class TimerTest : public ::testing::Test {
protected:
    RunLoop& loop = RunLoop::main();
    VirtualTime time;
};

}

TEST_F(TimerTest, RepeatingTimerKeepsItsSchedule)
{
    std::vector<double> firedAt;
    auto timer = loop.scheduleTimer(0.3, true, [&](Timer&) { firedAt.push_back(time.uptime()); });
    time.advance(1.0);
    ASSERT_EQ(firedAt.size(), 3u);
    EXPECT_DOUBLE_EQ(firedAt[0], 0.3);
    EXPECT_DOUBLE_EQ(firedAt[1], 0.6);
    EXPECT_DOUBLE_EQ(firedAt[2], 0.9);

    // A loop that was held up fires once and keeps the original phase.
    time.clock().advanceBy(1.0);
    loop.runUntilIdle();
    EXPECT_EQ(firedAt.size(), 4u);
    time.advance(0.1);
    ASSERT_EQ(firedAt.size(), 5u);
    EXPECT_DOUBLE_EQ(firedAt[4], 2.1);
    EXPECT_TRUE(timer->isValid());
    timer->invalidate();
    time.advance(1.0);
    EXPECT_EQ(firedAt.size(), 5u);
}

TEST_F(TimerTest, InvalidatingFromItsOwnCallbackStopsIt)
{
    int fires = 0;
    std::weak_ptr<Timer> timer = loop.scheduleTimer(0.1, true, [&](Timer& self) {
        if (++fires == 2)
            self.invalidate();
    });
    // Only the loop holds the timer, until it is invalidated.
    EXPECT_FALSE(timer.expired());
    time.advance(1.0);
    EXPECT_EQ(fires, 2);
    EXPECT_TRUE(timer.expired());
}

TEST_F(TimerTest, OneShotTimerFiresOnceAndBecomesInvalid)
{
    int fires = 0;
    auto timer = loop.scheduleTimer(0.5, false, [&](Timer& self) {
        ++fires;
        EXPECT_TRUE(self.isValid());
    });
    time.advance(0.49);
    EXPECT_EQ(fires, 0);
    time.advance(2);
    EXPECT_EQ(fires, 1);
    EXPECT_FALSE(timer->isValid());
}

TEST_F(TimerTest, FireRunsNowWithoutChangingTheSchedule)
{
    std::vector<double> firedAt;
    auto repeating = loop.scheduleTimer(0.5, true, [&](Timer&) { firedAt.push_back(time.uptime()); });
    time.advance(0.2);
    repeating->fire();
    time.advance(0.3);
    EXPECT_EQ(firedAt, (std::vector<double> { 0.2, 0.5 }));

    int oneShotFires = 0;
    auto oneShot = loop.scheduleTimer(0.5, false, [&](Timer&) { ++oneShotFires; });
    oneShot->fire();
    EXPECT_FALSE(oneShot->isValid());
    time.advance(1);
    oneShot->fire();
    EXPECT_EQ(oneShotFires, 1);
}

TEST_F(TimerTest, InvalidateReleasesTheCallbackSoCyclesBreak)
{
    auto owner = std::make_shared<int>(7);
    std::weak_ptr<int> weakOwner = owner;
    auto timer = loop.scheduleTimer(1, true, [owner](Timer&) { });
    owner.reset();
    EXPECT_FALSE(weakOwner.expired());
    timer->invalidate();
    EXPECT_TRUE(weakOwner.expired());
}
