#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/Animator.h"
#include "platform/ui/Application.h"
#include "platform/ui/Device.h"
#include "platform/ui/Window.h"
#include "sharing/ui/SHKActivityIndicator.h"
#include "support/VirtualTime.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

class SHKActivityIndicatorTest : public ::testing::Test {
protected:
    SHKActivityIndicatorTest()
    {
        ui::Application::shared().resetForTesting();
        m_window = ui::Window::create({ 0, 0, 320, 480 });
        m_window->makeKeyAndVisible();
        indicator().resetForTesting();
        ui::Animator::shared().clearHistory();
    }

    ~SHKActivityIndicatorTest() override
    {
        indicator().resetForTesting();
        ui::Application::shared().resetForTesting();
    }

    static SHKActivityIndicator& indicator() { return SHKActivityIndicator::currentIndicator(); }
    bool isOnScreen() const { return indicator().superviewPointer() == m_window.get(); }
    static std::vector<ui::AnimationRecord> animations(std::string_view name) { return ui::Animator::shared().historyNamed(name); }

    brenzo::testing::VirtualTime m_time;
    std::shared_ptr<ui::Window> m_window;
};

TEST_F(SHKActivityIndicatorTest, ACompletionShowsACheckMarkAndHidesItselfSixTenthsOfASecondLater)
{
    indicator().displayCompleted("Saved!");
    EXPECT_TRUE(isOnScreen());
    EXPECT_EQ(indicator().alpha(), 1);
    ASSERT_TRUE(indicator().centerMessageLabel());
    EXPECT_EQ(indicator().centerMessageLabel()->text(), "\u2713");
    EXPECT_EQ(indicator().subMessageLabel()->text(), "Saved!");
    EXPECT_FALSE(indicator().spinner());
    ASSERT_EQ(animations("show").size(), 1u);
    EXPECT_EQ(animations("show")[0].duration, 0.3);

    m_time.advance(0.59);
    EXPECT_TRUE(isOnScreen());
    EXPECT_EQ(indicator().alpha(), 1);
    EXPECT_TRUE(animations("hide").empty());

    m_time.advance(0.01);
    EXPECT_EQ(indicator().alpha(), 0);
    ASSERT_EQ(animations("hide").size(), 1u);
    EXPECT_EQ(animations("hide")[0].duration, 0.4);
    m_time.runUntilIdle();
    EXPECT_FALSE(indicator().superview());
}

TEST_F(SHKActivityIndicatorTest, ANewActivityCancelsThePendingHide)
{
    indicator().displayCompleted("Saved!");
    m_time.advance(0.5);
    indicator().displayActivity("Saving to Service");

    m_time.advance(5);
    EXPECT_TRUE(isOnScreen());
    EXPECT_EQ(indicator().alpha(), 1);
    EXPECT_TRUE(animations("hide").empty());
    EXPECT_FALSE(indicator().centerMessageLabel());
    EXPECT_EQ(indicator().subMessageLabel()->text(), "Saving to Service");
    ASSERT_TRUE(indicator().spinner());
    EXPECT_TRUE(indicator().spinner()->isAnimating());
    EXPECT_EQ(indicator().spinner()->superviewPointer(), &indicator());
    // Already on screen: kept there with a short fade from where it stands.
    auto persisted = animations("persist");
    ASSERT_EQ(persisted.size(), 1u);
    EXPECT_EQ(persisted[0].duration, 0.1);
    EXPECT_TRUE(persisted[0].beginsFromCurrentState);

    indicator().displayCompleted("Saved!");
    EXPECT_FALSE(indicator().spinner());
    m_time.advance(0.6);
    m_time.runUntilIdle();
    EXPECT_FALSE(indicator().superview());
}

TEST_F(SHKActivityIndicatorTest, AnActivityAfterTheFadeComesBackIntoTheKeyWindow)
{
    indicator().displayCompleted("Done");
    m_time.advance(0.6);
    m_time.runUntilIdle();
    ASSERT_FALSE(indicator().superview());
    ui::Animator::shared().clearHistory();

    indicator().displayActivity("Logging In...");
    EXPECT_TRUE(isOnScreen());
    EXPECT_EQ(indicator().alpha(), 1);
    ASSERT_EQ(animations("show").size(), 1u);
    EXPECT_EQ(animations("show")[0].duration, 0.3);
    EXPECT_TRUE(animations("persist").empty());
}

TEST_F(SHKActivityIndicatorTest, AShowDuringTheFadeKeepsTheOverlay)
{
    indicator().displayActivity("Working");
    indicator().hide();
    EXPECT_EQ(indicator().alpha(), 0);
    indicator().show();
    m_time.runUntilIdle();
    EXPECT_TRUE(isOnScreen());
    EXPECT_EQ(indicator().alpha(), 1);
}

TEST_F(SHKActivityIndicatorTest, TheOverlaySitsInTheMiddleAndTakesNoTouches)
{
    indicator().displayCompleted("Copied!");
    EXPECT_EQ(indicator().frame(), gfx::Rect(80, 160, 160, 160));
    EXPECT_EQ(indicator().centerMessageLabel()->frame(), gfx::Rect(12, 55, 136, 50));
    EXPECT_EQ(indicator().subMessageLabel()->frame(), gfx::Rect(12, 115, 136, 30));
    EXPECT_EQ(indicator().autoresizingMask(), 45u);
    EXPECT_EQ(m_window->hitTest({ 160, 240 }, nullptr), m_window);
}

TEST_F(SHKActivityIndicatorTest, WithoutAKeyWindowTheOverlayIsCentredOnTheOrigin)
{
    ui::Application::shared().resetForTesting();
    EXPECT_EQ(SHKActivityIndicator::frameInKeyWindow(), gfx::Rect(-80, -80, 160, 160));
    indicator().resetForTesting();
    EXPECT_EQ(indicator().frame(), gfx::Rect(-80, -80, 160, 160));

    // Once a window is there, showing puts the overlay in its middle.
    auto window = ui::Window::create({ 0, 0, 320, 480 });
    window->makeKeyAndVisible();
    indicator().displayActivity("Loading...");
    EXPECT_EQ(indicator().superviewPointer(), window.get());
    EXPECT_EQ(indicator().frame(), gfx::Rect(80, 160, 160, 160));
}

TEST_F(SHKActivityIndicatorTest, TheOverlayTurnsWithTheStatusBar)
{
    auto& application = ui::Application::shared();
    auto angleOf = [](const gfx::AffineTransform& transform) { return std::atan2(transform.b, transform.a); };

    application.setStatusBarOrientation(ui::InterfaceOrientation::LandscapeRight);
    ui::Device::current().setOrientation(ui::DeviceOrientation::LandscapeLeft);
    EXPECT_NEAR(angleOf(indicator().transform()), M_PI / 2, 1e-9);
    auto rotations = animations("setProperRotation");
    ASSERT_FALSE(rotations.empty());
    EXPECT_EQ(rotations.back().duration, 0.3);

    application.setStatusBarOrientation(ui::InterfaceOrientation::LandscapeLeft);
    indicator().setProperRotation(false);
    EXPECT_NEAR(angleOf(indicator().transform()), -M_PI / 2, 1e-9);
    application.setStatusBarOrientation(ui::InterfaceOrientation::PortraitUpsideDown);
    indicator().setProperRotation(false);
    EXPECT_NEAR(std::abs(angleOf(indicator().transform())), M_PI, 1e-9);

    // Face up, face down and undetermined orientations leave the rotation as it is.
    application.setStatusBarOrientation(static_cast<ui::InterfaceOrientation>(5));
    indicator().setProperRotation(false);
    EXPECT_NEAR(std::abs(angleOf(indicator().transform())), M_PI, 1e-9);

    application.setStatusBarOrientation(ui::InterfaceOrientation::Portrait);
    indicator().setProperRotation(false);
    EXPECT_EQ(indicator().transform(), gfx::AffineTransform::identity());
    ui::Device::current().resetForTesting();
}

}
