#include "SharingTestEnvironment.h"

#include "platform/foundation/Assertion.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/RunLoop.h"
#include "platform/ui/Application.h"
#include "platform/ui/NavigationBar.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Toolbar.h"
#include "platform/ui/View.h"
#include "platform/ui/Window.h"
#include "sharing/core/SHK.h"
#include "sharing/core/SHKMailComposeViewController.h"
#include "sharing/core/SHKMessageComposeViewController.h"
#include "support/VirtualTime.h"

#include <gtest/gtest.h>

using brenzo::testing::SharingEnvironment;

namespace {

// A sharing screen: like every one, it tells the helper when it has disappeared.
class TestScreen : public ui::ViewController {
public:
    std::string_view className() const override { return "TestScreen"; }
    void viewDidDisappear(bool animated) override
    {
        ViewController::viewDidDisappear(animated);
        ++disappearances;
        SHK::currentHelper().viewWasDismissed();
    }

    int disappearances = 0;
};

class StyledConfigurator : public DefaultSHKConfigurator {
public:
    std::string barStyle() const override { return "UIBarStyleBlackTranslucent"; }
    std::string modalPresentationStyle() const override { return "UIModalPresentationPageSheet"; }
    std::string modalTransitionStyle() const override { return "UIModalTransitionStyleCrossDissolve"; }
    std::optional<gfx::Color> barTintForView(const std::shared_ptr<ui::ViewController>& view) const override
    {
        askedWith.push_back(view.get());
        return gfx::Color(1, 0, 0);
    }

    mutable std::vector<const ui::ViewController*> askedWith;
};

class StyleNamesConfigurator : public DefaultSHKConfigurator {
public:
    std::string barStyle() const override { return bar; }
    std::string modalPresentationStyle() const override { return presentation; }
    std::string modalTransitionStyle() const override { return transition; }

    std::string bar;
    std::string presentation;
    std::string transition;
};

class SHKPresentationTests : public ::testing::Test {
protected:
    explicit SHKPresentationTests(std::shared_ptr<const DefaultSHKConfigurator> configurator = nullptr)
        : m_environment(std::move(configurator))
    {
        ui::Application::shared().resetForTesting();
        m_window = ui::Window::create();
        m_root = ui::ViewController::create();
        m_window->setRootViewController(m_root);
        m_window->makeKeyAndVisible();
        m_hideFinished = fnd::NotificationCenter::defaultCenter().addObserver(std::string(SHK::hideCurrentViewFinishedNotification), nullptr, [this](const fnd::Notification&) {
            ++m_hideFinishedCount;
        });
    }

    ~SHKPresentationTests() override
    {
        fnd::NotificationCenter::defaultCenter().removeObserver(m_hideFinished);
        SHK::resetForTesting();
        ui::Application::shared().resetForTesting();
    }

    SHK& helper() { return SHK::currentHelper(); }

    // The screen as the root controller sees it: what it presents, unwrapped.
    std::shared_ptr<ui::ViewController> presentedScreen() const
    {
        auto presented = m_root->presentedViewController();
        auto navigation = std::dynamic_pointer_cast<ui::NavigationController>(presented);
        return navigation && !navigation->viewControllers().empty() ? navigation->viewControllers().front() : presented;
    }

    brenzo::testing::VirtualTime m_time;
    SharingEnvironment m_environment;
    std::shared_ptr<ui::Window> m_window;
    std::shared_ptr<ui::ViewController> m_root;
    fnd::ObserverToken m_hideFinished;
    int m_hideFinishedCount = 0;
};

class SHKStyledPresentationTests : public SHKPresentationTests {
protected:
    SHKStyledPresentationTests()
        : SHKPresentationTests(configurator)
    {
        configurator->askedWith.clear();
    }

    static inline std::shared_ptr<StyledConfigurator> configurator;
    static void SetUpTestSuite() { configurator = std::make_shared<StyledConfigurator>(); }
    static void TearDownTestSuite() { configurator = nullptr; }
};

}

TEST_F(SHKStyledPresentationTests, AControllerIsWrappedWithTheConfiguredStyles)
{
    auto screen = std::make_shared<TestScreen>();
    helper().showViewController(screen);

    auto wrapper = std::dynamic_pointer_cast<ui::NavigationController>(helper().currentView());
    ASSERT_TRUE(wrapper);
    EXPECT_EQ(wrapper->topViewController(), screen);
    EXPECT_EQ(m_root->presentedViewController(), wrapper);
    EXPECT_EQ(helper().currentRootViewController(), m_root);
    EXPECT_FALSE(helper().pendingView());
    EXPECT_EQ(wrapper->modalPresentationStyle(), ui::ModalPresentationStyle::PageSheet);
    EXPECT_EQ(wrapper->modalTransitionStyle(), ui::ModalTransitionStyle::CrossDissolve);
    EXPECT_EQ(wrapper->navigationBar()->barStyle(), ui::BarStyle::BlackTranslucent);
    EXPECT_EQ(wrapper->toolbar()->barStyle(), ui::BarStyle::BlackTranslucent);
    EXPECT_EQ(wrapper->navigationBar()->tintColor(), gfx::Color(1, 0, 0));
    // The tint is asked with the screen being shown, not with its wrapper.
    EXPECT_EQ(configurator->askedWith, (std::vector<const ui::ViewController*> { screen.get() }));
}

TEST_F(SHKStyledPresentationTests, ANavigationControllerIsShownAsItIs)
{
    auto screen = std::make_shared<TestScreen>();
    auto navigation = ui::NavigationController::createWithRootViewController(screen);
    helper().showViewController(navigation);

    EXPECT_EQ(helper().currentView(), navigation);
    EXPECT_EQ(m_root->presentedViewController(), navigation);
    EXPECT_EQ(navigation->modalPresentationStyle(), ui::ModalPresentationStyle::PageSheet);
    EXPECT_EQ(navigation->navigationBar()->barStyle(), ui::BarStyle::BlackTranslucent);
    EXPECT_EQ(navigation->navigationBar()->tintColor(), gfx::Color(1, 0, 0));
    EXPECT_EQ(configurator->askedWith, (std::vector<const ui::ViewController*> { navigation.get() }));
}

TEST_F(SHKPresentationTests, ASecondScreenWaitsUntilTheFirstHasGone)
{
    auto first = std::make_shared<TestScreen>();
    auto second = std::make_shared<TestScreen>();
    helper().showViewController(first);
    m_time.runUntilIdle();

    helper().showViewController(second);
    EXPECT_EQ(helper().pendingView(), second);
    EXPECT_TRUE(helper().isDismissingView());
    EXPECT_EQ(presentedScreen(), first);

    m_time.runUntilIdle();
    EXPECT_EQ(first->disappearances, 1);
    EXPECT_FALSE(helper().currentView());
    EXPECT_FALSE(helper().isDismissingView());
    EXPECT_FALSE(m_root->presentedViewController());
    EXPECT_EQ(m_hideFinishedCount, 1);

    m_time.advance(0.019);
    EXPECT_FALSE(m_root->presentedViewController());
    m_time.advance(0.001);
    EXPECT_EQ(presentedScreen(), second);
    EXPECT_EQ(helper().currentView(), m_root->presentedViewController());
    EXPECT_FALSE(helper().pendingView());
}

TEST_F(SHKPresentationTests, HidingDuringADismissalDoesNothing)
{
    auto screen = std::make_shared<TestScreen>();
    helper().showViewController(screen);
    m_time.runUntilIdle();

    helper().hideCurrentViewController();
    EXPECT_TRUE(helper().isDismissingView());
    helper().hideCurrentViewControllerAnimated(false);
    m_time.runUntilIdle();
    EXPECT_EQ(screen->disappearances, 1);
    EXPECT_EQ(m_hideFinishedCount, 1);
    EXPECT_FALSE(helper().currentView());
    EXPECT_FALSE(helper().isDismissingView());

    // Nothing shown: nothing to hide.
    helper().hideCurrentViewController();
    m_time.runUntilIdle();
    EXPECT_FALSE(helper().isDismissingView());
    EXPECT_EQ(m_hideFinishedCount, 1);
}

TEST_F(SHKPresentationTests, AWaitingScreenAppearsEvenWhenTheFirstWentAwayUnnoticed)
{
    // A screen that does not report its disappearance, dismissed behind the helper's back.
    auto silent = ui::ViewController::create();
    helper().showViewController(silent);
    m_time.runUntilIdle();
    m_root->dismissViewController(false);
    m_time.runUntilIdle();
    ASSERT_TRUE(helper().currentView());

    auto next = std::make_shared<TestScreen>();
    helper().showViewController(next);
    m_time.advance(0.02);
    EXPECT_EQ(presentedScreen(), next);
}

TEST_F(SHKPresentationTests, ScreensShowOverTheTopOfTheRoot)
{
    auto cover = ui::ViewController::create();
    m_root->presentViewController(cover, false);
    m_time.runUntilIdle();

    auto screen = std::make_shared<TestScreen>();
    helper().showViewController(screen);
    EXPECT_EQ(cover->presentedViewController(), helper().currentView());
    EXPECT_EQ(helper().rootViewForCustomUIDisplay(), helper().currentView());
    EXPECT_EQ(SHK::getTopViewController(m_root), helper().currentView());
    EXPECT_EQ(SHK::getTopViewController(nullptr), nullptr);
}

TEST_F(SHKPresentationTests, RootViewControllerResolution)
{
    // The key window's controller.
    EXPECT_EQ(helper().getCurrentRootViewController(), m_root);

    // A stored root wins, and is not kept alive by the helper.
    auto stored = ui::ViewController::create();
    SHK::setRootViewController(stored);
    EXPECT_EQ(helper().getCurrentRootViewController(), stored);
    EXPECT_EQ(helper().rootViewController(), stored);
    stored = nullptr;
    EXPECT_FALSE(helper().rootViewController());
    EXPECT_EQ(helper().getCurrentRootViewController(), m_root);

    // A key window above the normal level gives way to the first normal window.
    auto alertWindow = ui::Window::create();
    alertWindow->setWindowLevel(ui::WindowLevel::Alert);
    alertWindow->setRootViewController(ui::ViewController::create());
    alertWindow->makeKeyAndVisible();
    EXPECT_EQ(helper().getCurrentRootViewController(), m_root);

    // A window whose first view belongs to no controller answers its root view controller.
    auto window = ui::Window::create();
    window->addSubview(std::make_shared<ui::View>(gfx::Rect(0, 0, 10, 10)));
    auto root = ui::ViewController::create();
    window->setRootViewController(root);
    window->makeKeyAndVisible();
    EXPECT_EQ(helper().getCurrentRootViewController(), root);
}

TEST_F(SHKPresentationTests, WithoutARootNothingIsShown)
{
    ui::Application::shared().resetForTesting();
    std::vector<fnd::AssertionInfo> failures;
    fnd::ScopedAssertionHandler handler([&](const fnd::AssertionInfo& info) { failures.push_back(info); });

    helper().showViewController(std::make_shared<TestScreen>());
    EXPECT_FALSE(helper().currentView());
    ASSERT_EQ(failures.size(), 2u);
    EXPECT_EQ(failures[0].message, "Sharing: Could not find a root view controller.  You can assign one manually by calling [[SHK currentHelper] setRootViewController:YOURROOTVIEWCONTROLLER].");
    EXPECT_EQ(failures[0].file, "Classes/Sharing/Classes/Sharing/Core/SHK");
    EXPECT_EQ(failures[0].line, 200);
    EXPECT_EQ(failures[1].message, "Sharing: There is no view controller to display from");
    EXPECT_EQ(failures[1].line, 119);
}

TEST_F(SHKPresentationTests, ComposersReportTheirDisappearanceWhenNothingIsOverThem)
{
    auto composer = SHKMailComposeViewController::create();
    ASSERT_TRUE(composer);
    helper().showViewController(composer);
    m_time.runUntilIdle();
    EXPECT_EQ(helper().currentView(), composer);

    // Covered by a screen of its own, the composer has not gone.
    composer->presentViewController(ui::ViewController::create(), false);
    m_time.runUntilIdle();
    EXPECT_EQ(composer->appearanceState(), ui::AppearanceState::Disappeared);
    EXPECT_EQ(helper().currentView(), composer);
    composer->dismissViewController(false);
    m_time.runUntilIdle();

    composer->finishWithResult(msg::MailComposeResult::Cancelled);
    m_time.runUntilIdle();
    EXPECT_FALSE(helper().currentView());
    EXPECT_FALSE(m_root->presentedViewController());

    // A text-message composer that goes makes way for the screen waiting behind it.
    auto messageComposer = SHKMessageComposeViewController::create();
    ASSERT_TRUE(messageComposer);
    helper().showViewController(messageComposer);
    m_time.runUntilIdle();
    auto next = std::make_shared<TestScreen>();
    helper().showViewController(next);
    m_time.runUntilIdle();
    m_time.advance(SHK::pendingViewDelay);
    EXPECT_EQ(presentedScreen(), next);
}

TEST(SHKStyleTests, StylesFromConfigurationTexts)
{
    auto configurator = std::make_shared<StyleNamesConfigurator>();
    SharingEnvironment environment(configurator);
    auto barStyleFor = [&](const char* text) {
        configurator->bar = text;
        return SHK::barStyle();
    };
    EXPECT_EQ(barStyleFor("UIBarStyleBlack"), ui::BarStyle::Black);
    EXPECT_EQ(barStyleFor("UIBarStyleBlackOpaque"), ui::BarStyle::Black);
    EXPECT_EQ(barStyleFor("UIBarStyleBlackTranslucent"), ui::BarStyle::BlackTranslucent);
    EXPECT_EQ(barStyleFor("black"), ui::BarStyle::Default);

    auto presentationFor = [&](const char* text) {
        configurator->presentation = text;
        return SHK::modalPresentationStyle();
    };
    EXPECT_EQ(presentationFor("UIModalPresentationFullScreen"), ui::ModalPresentationStyle::FullScreen);
    EXPECT_EQ(presentationFor("UIModalPresentationPageSheet"), ui::ModalPresentationStyle::PageSheet);
    EXPECT_EQ(presentationFor("UIModalPresentationFormSheet"), ui::ModalPresentationStyle::FormSheet);
    EXPECT_EQ(presentationFor(""), ui::ModalPresentationStyle::CurrentContext);

    auto transitionFor = [&](const char* text) {
        configurator->transition = text;
        return SHK::modalTransitionStyle();
    };
    EXPECT_EQ(transitionFor("UIModalTransitionStyleFlipHorizontal"), ui::ModalTransitionStyle::FlipHorizontal);
    EXPECT_EQ(transitionFor("UIModalTransitionStyleCrossDissolve"), ui::ModalTransitionStyle::CrossDissolve);
    EXPECT_EQ(transitionFor("UIModalTransitionStylePartialCurl"), ui::ModalTransitionStyle::PartialCurl);
    EXPECT_EQ(transitionFor("sideways"), ui::ModalTransitionStyle::CoverVertical);
}
