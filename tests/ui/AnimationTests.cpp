#include "UITest.h"

#include "platform/ui/Animator.h"

namespace brenzo::testing {

namespace {

using AnimationTest = UITest;

TEST_F(AnimationTest, NamedAnimationsApplyAtOnceAndStopOnTheNextTurn)
{
    auto view = ui::View::create({ 0, 0, 10, 10 });
    bool stopped = false;
    ui::View::beginAnimations("Fade In");
    ui::View::setAnimationDuration(0.2);
    ui::View::setAnimationDidStop([&] { stopped = true; });
    view->setAlpha(0.5);
    EXPECT_EQ(view->alpha(), 0.5);
    ui::View::commitAnimations();
    EXPECT_FALSE(stopped);
    runUntilIdle();
    EXPECT_TRUE(stopped);

    auto records = ui::Animator::shared().historyNamed("Fade In");
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].duration, 0.2);
    EXPECT_FALSE(records[0].isBlock);
}

TEST_F(AnimationTest, NestedAnimationsEachKeepTheirOwnSettings)
{
    ui::View::beginAnimations("outer");
    ui::View::setAnimationDuration(1);
    ui::View::beginAnimations("inner");
    ui::View::setAnimationDuration(0.3);
    ui::View::setAnimationBeginsFromCurrentState(true);
    ui::View::commitAnimations();
    ui::View::setAnimationDelay(0.5);
    ui::View::commitAnimations();
    // A commit without a begin changes nothing.
    ui::View::commitAnimations();

    auto& history = ui::Animator::shared().history();
    ASSERT_EQ(history.size(), 2u);
    EXPECT_EQ(history[0].name, "inner");
    EXPECT_EQ(history[0].duration, 0.3);
    EXPECT_TRUE(history[0].beginsFromCurrentState);
    EXPECT_EQ(history[1].name, "outer");
    EXPECT_EQ(history[1].duration, 1);
    EXPECT_EQ(history[1].delay, 0.5);
    EXPECT_FALSE(ui::Animator::shared().isInsideAnimation());
}

TEST_F(AnimationTest, BlockAnimationsCompleteOnTheNextTurn)
{
    auto view = ui::View::create({ 0, 0, 10, 10 });
    std::vector<std::string> order;
    ui::View::animateWithDuration(
        0.3, [&] {
            view->setCenter({ 100, 100 });
            order.push_back("animations");
        },
        [&](bool finished) { order.push_back(finished ? "finished" : "interrupted"); });
    order.push_back("returned");
    EXPECT_EQ(view->center(), (gfx::Point { 100, 100 }));
    runUntilIdle();
    EXPECT_EQ(order, (std::vector<std::string> { "animations", "returned", "finished" }));
    ASSERT_EQ(ui::Animator::shared().history().size(), 1u);
    EXPECT_TRUE(ui::Animator::shared().history()[0].isBlock);
    EXPECT_EQ(ui::Animator::shared().history()[0].duration, 0.3);
}

}

}
