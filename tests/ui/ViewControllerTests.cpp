#include "UITest.h"

#include "platform/foundation/Log.h"
#include "platform/ui/NavigationBar.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/NavigationItem.h"
#include "platform/ui/PressFinder.h"
#include "platform/ui/TabBar.h"
#include "platform/ui/TabBarItem.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TabBarController.h"
#include "platform/ui/Toolbar.h"

namespace brenzo::testing {

namespace {

using Log = std::vector<std::string>;

class ViewControllerTest : public UITest {
protected:
    ViewControllerTest()
        : log(std::make_shared<Log>())
        , root(make("Root"))
    {
        window = makeKeyWindow();
        window->setRootViewController(root);
        runUntilIdle();
        log->clear();
    }

    std::shared_ptr<LoggingViewController> make(std::string name) { return std::make_shared<LoggingViewController>(std::move(name), log); }

    // Everything logged so far, then forgotten.
    Log take()
    {
        auto entries = *log;
        log->clear();
        return entries;
    }

    std::shared_ptr<Log> log;
    std::shared_ptr<LoggingViewController> root;
    std::shared_ptr<ui::Window> window;
};

TEST_F(ViewControllerTest, TheViewLoadsOnFirstUseOnly)
{
    auto controller = make("A");
    EXPECT_FALSE(controller->isViewLoaded());
    auto view = controller->view();
    EXPECT_TRUE(controller->isViewLoaded());
    EXPECT_EQ(controller->view(), view);
    EXPECT_EQ(take(), (Log { "A: viewDidLoad" }));
    EXPECT_EQ(view->frame(), ui::Screen::mainScreen().applicationFrame());
    EXPECT_EQ(view->nextResponder(), controller);
}

TEST_F(ViewControllerTest, TheRootAppearsWhenItsWindowShows)
{
    auto otherLog = std::make_shared<Log>();
    auto controller = std::make_shared<LoggingViewController>("R", otherLog);
    auto other = ui::Window::create();
    other->setRootViewController(controller);
    EXPECT_EQ(*otherLog, (Log { "R: viewDidLoad" }));
    other->makeKeyAndVisible();
    EXPECT_EQ(otherLog->back(), "R: viewWillAppear");
    runUntilIdle();
    EXPECT_EQ(otherLog->back(), "R: viewDidAppear");
    EXPECT_EQ(controller->view()->superview(), other);
}

TEST_F(ViewControllerTest, PresentingAndDismissingFollowThePlatformOrder)
{
    auto presented = make("P");
    bool presentedDone = false;
    root->presentViewController(presented, true, [&] { presentedDone = true; });
    EXPECT_EQ(take(), (Log { "P: viewDidLoad", "Root: viewWillDisappear", "P: viewWillAppear" }));
    EXPECT_FALSE(presentedDone);
    EXPECT_EQ(root->presentedViewController(), presented);
    EXPECT_EQ(presented->presentingViewController(), root);
    EXPECT_EQ(presented->parentViewController(), nullptr);
    EXPECT_EQ(presented->view()->window(), window);

    runUntilIdle();
    EXPECT_EQ(take(), (Log { "Root: viewDidDisappear", "P: viewDidAppear" }));
    EXPECT_TRUE(presentedDone);
    // The covered screen leaves the window while the presented one shows.
    EXPECT_EQ(root->view()->window(), nullptr);

    bool dismissedDone = false;
    presented->dismissViewController(true, [&] { dismissedDone = true; });
    EXPECT_EQ(take(), (Log { "P: viewWillDisappear", "Root: viewWillAppear" }));
    // Disappearance comes after the dismissal completes, on a later turn.
    EXPECT_EQ(root->presentedViewController(), presented);
    EXPECT_FALSE(dismissedDone);
    runUntilIdle();
    EXPECT_EQ(take(), (Log { "P: viewDidDisappear", "Root: viewDidAppear" }));
    EXPECT_TRUE(dismissedDone);
    EXPECT_EQ(root->presentedViewController(), nullptr);
    EXPECT_EQ(presented->presentingViewController(), nullptr);
    EXPECT_EQ(presented->view()->window(), nullptr);
    EXPECT_EQ(root->view()->window(), window);
}

TEST_F(ViewControllerTest, ASecondPresentationIsRefusedAndLogged)
{
    fnd::LogCapture capture;
    auto first = make("First");
    auto second = make("Second");
    root->presentViewController(first, false);
    bool secondDone = false;
    root->presentViewController(second, false, [&] { secondDone = true; });
    runUntilIdle();
    EXPECT_EQ(root->presentedViewController(), first);
    EXPECT_EQ(second->presentingViewController(), nullptr);
    EXPECT_FALSE(second->isViewLoaded());
    EXPECT_FALSE(secondDone);
    EXPECT_TRUE(capture.contains("Refusing to present"));

    // Still refused while the first one is going away, accepted once it has gone.
    root->dismissViewController(false);
    root->presentViewController(second, false);
    EXPECT_EQ(second->presentingViewController(), nullptr);
    runUntilIdle();
    root->presentViewController(second, false);
    EXPECT_EQ(root->presentedViewController(), second);
}

TEST_F(ViewControllerTest, ASecondDismissalIsIgnored)
{
    auto presented = make("P");
    root->presentViewController(presented, false);
    runUntilIdle();
    take();
    int completions = 0;
    root->dismissViewController(true, [&] { ++completions; });
    root->dismissViewController(true, [&] { ++completions; });
    presented->dismissViewController(true, [&] { ++completions; });
    runUntilIdle();
    EXPECT_EQ(completions, 1);
    EXPECT_EQ(take(), (Log { "P: viewWillDisappear", "Root: viewWillAppear", "P: viewDidDisappear", "Root: viewDidAppear" }));
}

TEST_F(ViewControllerTest, ChildrenPresentThroughTheirContainerAndLinkToIt)
{
    auto first = make("First");
    auto navigation = ui::NavigationController::createWithRootViewController(first);
    EXPECT_EQ(first->parentViewController(), navigation);
    EXPECT_EQ(first->navigationController(), navigation);

    root->presentViewController(navigation, false);
    runUntilIdle();
    EXPECT_EQ(navigation->presentingViewController(), root);
    EXPECT_EQ(navigation->parentViewController(), nullptr);
    // A child sees its container's presenter.
    EXPECT_EQ(first->presentingViewController(), root);
    EXPECT_EQ(take(), (Log { "First: viewDidLoad", "Root: viewWillDisappear", "First: viewWillAppear", "Root: viewDidDisappear", "First: viewDidAppear" }));

    // Presenting from the child is done by the container; dismissing from the child dismisses it.
    auto sheet = make("Sheet");
    first->presentViewController(sheet, false);
    EXPECT_EQ(navigation->presentedViewController(), sheet);
    EXPECT_EQ(sheet->presentingViewController(), navigation);
    runUntilIdle();
    first->dismissViewController(false);
    runUntilIdle();
    EXPECT_EQ(navigation->presentedViewController(), nullptr);
    EXPECT_EQ(root->presentedViewController(), navigation);

    // With nothing above, dismissing from the child takes the whole container away.
    take();
    first->dismissViewController(false);
    runUntilIdle();
    EXPECT_EQ(root->presentedViewController(), nullptr);
    EXPECT_EQ(take(), (Log { "First: viewWillDisappear", "Root: viewWillAppear", "First: viewDidDisappear", "Root: viewDidAppear" }));
}

TEST_F(ViewControllerTest, DismissingTakesEverythingPresentedAbove)
{
    auto middle = make("Middle");
    auto top = make("Top");
    root->presentViewController(middle, false);
    runUntilIdle();
    middle->presentViewController(top, false);
    runUntilIdle();
    take();
    root->dismissViewController(false);
    runUntilIdle();
    EXPECT_EQ(take(), (Log { "Top: viewWillDisappear", "Root: viewWillAppear", "Top: viewDidDisappear", "Root: viewDidAppear" }));
    EXPECT_EQ(middle->presentedViewController(), nullptr);
    EXPECT_EQ(middle->presentingViewController(), nullptr);
    EXPECT_EQ(window->subviews().size(), 1u);
    EXPECT_EQ(window->subviews().front(), root->view());
}

TEST_F(ViewControllerTest, PushingAndPoppingFollowThePlatformOrder)
{
    auto first = make("First");
    auto navigation = ui::NavigationController::createWithRootViewController(first);
    first->setTitle("Contacts");
    window->setRootViewController(navigation);
    runUntilIdle();
    take();

    auto second = make("Second");
    second->setTitle("Details");
    navigation->pushViewController(second, true);
    EXPECT_EQ(take(), (Log { "Second: viewDidLoad", "First: viewWillDisappear", "Second: viewWillAppear" }));
    EXPECT_EQ(navigation->topViewController(), second);
    EXPECT_EQ(second->navigationController(), navigation);
    runUntilIdle();
    EXPECT_EQ(take(), (Log { "First: viewDidDisappear", "Second: viewDidAppear" }));

    // The pushed view fills the space under the bar; the bar offers the way back.
    navigation->view()->layoutIfNeeded();
    EXPECT_EQ(second->view()->frame(), (gfx::Rect { 0, 44, 320, 416 }));
    EXPECT_EQ(first->view()->superview(), nullptr);
    EXPECT_EQ(navigation->navigationBar()->topItem(), second->navigationItem());
    EXPECT_EQ(navigation->navigationBar()->backButtonTitle(), "Contacts");
    ASSERT_TRUE(navigation->navigationBar()->shownLeftItem());
    navigation->navigationBar()->shownLeftItem()->press();
    EXPECT_EQ(take(), (Log { "Second: viewWillDisappear", "First: viewWillAppear" }));
    runUntilIdle();
    EXPECT_EQ(take(), (Log { "Second: viewDidDisappear", "First: viewDidAppear" }));
    EXPECT_EQ(navigation->topViewController(), first);
    EXPECT_EQ(second->parentViewController(), nullptr);
    EXPECT_EQ(navigation->popViewControllerAnimated(true), nullptr);
}

TEST_F(ViewControllerTest, PopToRootTellsOnlyTheVisibleControllers)
{
    auto first = make("First");
    auto navigation = ui::NavigationController::createWithRootViewController(first);
    window->setRootViewController(navigation);
    navigation->pushViewController(make("Second"), false);
    navigation->pushViewController(make("Third"), false);
    runUntilIdle();
    take();
    auto popped = navigation->popToRootViewControllerAnimated(false);
    EXPECT_EQ(popped.size(), 2u);
    runUntilIdle();
    EXPECT_EQ(take(), (Log { "Third: viewWillDisappear", "First: viewWillAppear", "Third: viewDidDisappear", "First: viewDidAppear" }));
    EXPECT_EQ(navigation->viewControllers().size(), 1u);
    EXPECT_EQ(navigation->navigationBar()->items().size(), 1u);
}

TEST_F(ViewControllerTest, AControllerCannotBePushedTwice)
{
    fnd::LogCapture capture;
    auto first = make("First");
    auto navigation = ui::NavigationController::createWithRootViewController(first);
    navigation->pushViewController(first, false);
    EXPECT_EQ(navigation->viewControllers().size(), 1u);
    EXPECT_TRUE(capture.contains("Refusing to push"));
}

TEST_F(ViewControllerTest, NavigationBarsKeepStyleAndTint)
{
    auto navigation = ui::NavigationController::createWithRootViewController(make("First"));
    auto bar = navigation->navigationBar();
    bar->setBarStyle(ui::BarStyle::Black);
    bar->setTintColor(gfx::Color(0.25, 0.25, 0.63));
    navigation->toolbar()->setBarStyle(ui::BarStyle::BlackTranslucent);
    navigation->view();
    EXPECT_EQ(navigation->navigationBar()->barStyle(), ui::BarStyle::Black);
    EXPECT_EQ(navigation->navigationBar()->tintColor(), gfx::Color(0.25, 0.25, 0.63));
    EXPECT_EQ(navigation->toolbar()->barStyle(), ui::BarStyle::BlackTranslucent);
    EXPECT_TRUE(navigation->toolbar()->isHidden());
}

TEST_F(ViewControllerTest, TabBarControllersShowTheSelectedChild)
{
    auto first = make("First");
    auto second = make("Second");
    auto tabs = ui::TabBarController::create();
    tabs->setViewControllers({ first, second });
    EXPECT_EQ(first->tabBarController(), tabs);
    root->presentViewController(tabs, false);
    runUntilIdle();
    EXPECT_EQ(take(), (Log { "First: viewDidLoad", "Root: viewWillDisappear", "First: viewWillAppear", "Root: viewDidDisappear", "First: viewDidAppear" }));

    tabs->setSelectedIndex(1);
    runUntilIdle();
    EXPECT_EQ(take(), (Log { "Second: viewDidLoad", "First: viewWillDisappear", "Second: viewWillAppear", "First: viewDidDisappear", "Second: viewDidAppear" }));
    EXPECT_EQ(tabs->selectedViewController(), second);
    tabs->view()->layoutIfNeeded();
    EXPECT_EQ(second->view()->frame(), (gfx::Rect { 0, 0, 320, 411 }));
    EXPECT_EQ(first->view()->superview(), nullptr);
}

TEST_F(ViewControllerTest, APresentationDismissedBeforeItEndedLeavesThePresenterInPlace)
{
    auto presented = make("P");
    root->presentViewController(presented, false);
    root->dismissViewController(false);
    runUntilIdle();
    EXPECT_EQ(root->presentedViewController(), nullptr);
    EXPECT_EQ(root->view()->window(), window);
    EXPECT_EQ(presented->view()->window(), nullptr);
    EXPECT_EQ(root->appearanceState(), ui::AppearanceState::Appeared);
    EXPECT_EQ(presented->appearanceState(), ui::AppearanceState::Disappeared);
}

}

TEST_F(ViewControllerTest, NavigationBarsAndToolbarsFollowTheTopController)
{
    auto first = make("First");
    auto second = make("Second");
    auto compose = ui::BarButtonItem::createWithBarButtonSystemItem(ui::BarButtonSystemItem::Compose);
    second->setToolbarItems({ compose });
    auto navigation = ui::NavigationController::createWithRootViewController(first);
    window->setRootViewController(navigation);
    navigation->setToolbarHidden(false);
    navigation->setViewControllers({ first, second });
    runUntilIdle();
    EXPECT_EQ(navigation->topViewController(), second);
    EXPECT_EQ(second->parentViewController(), navigation);
    EXPECT_EQ(navigation->toolbar()->items(), (std::vector<std::shared_ptr<ui::BarButtonItem>> { compose }));
    navigation->view()->layoutIfNeeded();
    EXPECT_EQ(second->view()->frame(), (gfx::Rect { 0, 44, 320, 372 }));

    navigation->setNavigationBarHidden(true);
    EXPECT_EQ(second->view()->frame(), (gfx::Rect { 0, 0, 320, 416 }));
    EXPECT_TRUE(navigation->navigationBar()->isHidden());

    auto sheet = make("Sheet");
    EXPECT_EQ(navigation->visibleViewController(), second);
    second->presentViewController(sheet, false);
    EXPECT_EQ(navigation->visibleViewController(), sheet);

    // A root set on a shown window replaces the old one, which disappears.
    runUntilIdle();
    take();
    auto replacement = make("Replacement");
    window->setRootViewController(replacement);
    runUntilIdle();
    EXPECT_EQ(take(), (Log { "Replacement: viewDidLoad", "Replacement: viewWillAppear", "Replacement: viewDidAppear" }));
    EXPECT_EQ(navigation->view()->window(), nullptr);
    EXPECT_EQ(replacement->view()->window(), window);
}

TEST_F(ViewControllerTest, TabsArePressedByTheirTitles)
{
    auto first = make("First");
    first->setTitle("Settings");
    auto second = make("Second");
    second->setTabBarItem(ui::TabBarItem::createWithTitle("More", nullptr, 2));
    auto tabs = ui::TabBarController::create();
    tabs->setViewControllers({ first, second });
    EXPECT_EQ(first->tabBarItem()->title(), "Settings");
    window->setRootViewController(tabs);
    runUntilIdle();
    EXPECT_EQ(ui::PressFinder::press("More").status, ui::PressFinder::Result::Status::Pressed);
    EXPECT_EQ(tabs->selectedIndex(), 1u);
    EXPECT_EQ(tabs->tabBar()->selectedItem(), second->tabBarItem());
    second->tabBarItem()->setEnabled(false);
    tabs->setSelectedIndex(0);
    EXPECT_EQ(ui::PressFinder::press("More").status, ui::PressFinder::Result::Status::Disabled);
    EXPECT_EQ(tabs->selectedViewController(), first);
}

}
