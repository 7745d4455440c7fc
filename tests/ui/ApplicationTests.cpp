#include "UITest.h"

#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/Application.h"
#include "platform/ui/ApplicationDelegate.h"
#include "platform/ui/Device.h"
#include "platform/ui/EffectCapture.h"
#include "platform/ui/Screen.h"

namespace brenzo::testing {

namespace {

class RecordingDelegate final : public ui::ApplicationDelegate {
public:
    void applicationDidFinishLaunching(ui::Application&) override { events.push_back("launched"); }
    bool applicationHandleOpenURL(ui::Application&, const fnd::URL& url) override
    {
        events.push_back("url " + url.absoluteString());
        return url.scheme() == "fb123";
    }
    void applicationDidBecomeActive(ui::Application&) override { events.push_back("active"); }
    void applicationWillResignActive(ui::Application&) override { events.push_back("resign"); }

    std::vector<std::string> events;
};

// A view that takes the keyboard, and gives it up only when allowed.
class FocusView final : public ui::View {
public:
    using View::View;
    bool canBecomeFirstResponder() const override { return true; }
    bool resignFirstResponder() override
    {
        ++resignations;
        if (!mayResign)
            return false;
        return View::resignFirstResponder();
    }
    int resignations = 0;
    bool mayResign = true;
};

using ApplicationTest = UITest;

TEST_F(ApplicationTest, OpenedURLsAreRecordedAndReported)
{
    ui::EffectCapture effects;
    auto& application = ui::Application::shared();
    EXPECT_TRUE(application.openURL(*fnd::URL::create("tel:0612345678")));
    EXPECT_FALSE(application.openURL(*fnd::URL::create("fbauth://authorize?client_id=1")));
    application.setCanOpenScheme("fbauth", true);
    EXPECT_TRUE(application.canOpenURL(*fnd::URL::create("FBAUTH://authorize")));
    EXPECT_EQ(application.openedURLs(), (std::vector<std::string> { "tel:0612345678", "fbauth://authorize?client_id=1" }));
    EXPECT_EQ(effects.lines(), (std::vector<std::string> { "opened URL tel:0612345678", "refused URL fbauth://authorize?client_id=1" }));
}

TEST_F(ApplicationTest, TheLifeCycleReachesTheDelegateAndTheNotificationCentre)
{
    auto delegate = std::make_shared<RecordingDelegate>();
    auto& application = ui::Application::shared();
    application.setDelegate(delegate);
    int resignNotifications = 0;
    auto token = fnd::NotificationCenter::defaultCenter().addObserver(std::string(ui::Application::willResignActiveNotification), nullptr,
        [&](const fnd::Notification&) { ++resignNotifications; });

    application.finishLaunching();
    application.becomeActive();
    EXPECT_TRUE(application.handleIncomingURL(*fnd::URL::create("fb123://authorize#access_token=x"), "com.facebook"));
    EXPECT_FALSE(application.handleIncomingURL(*fnd::URL::create("http://example.com/")));
    application.resignActive();
    application.resignActive();
    EXPECT_EQ(delegate->events, (std::vector<std::string> { "launched", "active", "url fb123://authorize#access_token=x", "url http://example.com/", "resign" }));
    EXPECT_EQ(resignNotifications, 1);
}

TEST_F(ApplicationTest, WindowsAreOrderedByLevelAndTheKeyWindowIsTracked)
{
    auto& application = ui::Application::shared();
    auto alert = ui::Window::create();
    alert->setWindowLevel(ui::WindowLevel::Alert);
    alert->setHidden(false);
    auto main = makeKeyWindow();
    auto hidden = ui::Window::create();
    EXPECT_TRUE(hidden->isHidden());
    EXPECT_EQ(application.keyWindow(), main);
    EXPECT_TRUE(main->isKeyWindow());
    EXPECT_EQ(application.windows(), (std::vector<std::shared_ptr<ui::Window>> { alert, main }));
    EXPECT_EQ(application.windowsInDrawingOrder(), (std::vector<std::shared_ptr<ui::Window>> { main, alert }));
    alert.reset();
    EXPECT_EQ(application.windows().size(), 1u);
}

TEST_F(ApplicationTest, TheFirstResponderLeavesWithItsView)
{
    auto window = makeKeyWindow();
    auto container = ui::View::create({ 0, 0, 100, 100 });
    auto field = std::make_shared<FocusView>(gfx::Rect { 0, 0, 10, 10 });
    container->addSubview(field);
    EXPECT_FALSE(field->becomeFirstResponder());
    window->addSubview(container);
    EXPECT_TRUE(field->becomeFirstResponder());
    EXPECT_TRUE(field->isFirstResponder());
    EXPECT_EQ(ui::Application::shared().firstResponder(), field);
    EXPECT_FALSE(ui::View::create()->becomeFirstResponder());

    container->removeFromSuperview();
    EXPECT_EQ(field->resignations, 1);
    EXPECT_FALSE(field->isFirstResponder());
    EXPECT_EQ(window->firstResponder(), nullptr);
}

TEST_F(ApplicationTest, AFirstResponderThatHoldsOnKeepsTheKeyboard)
{
    auto window = makeKeyWindow();
    auto first = std::make_shared<FocusView>(gfx::Rect { 0, 0, 10, 10 });
    auto second = std::make_shared<FocusView>(gfx::Rect { 0, 20, 10, 10 });
    window->addSubview(first);
    window->addSubview(second);
    ASSERT_TRUE(first->becomeFirstResponder());
    first->mayResign = false;
    EXPECT_FALSE(second->becomeFirstResponder());
    EXPECT_TRUE(first->isFirstResponder());
    EXPECT_FALSE(window->endEditing(false));
    EXPECT_TRUE(first->isFirstResponder());
    // Forced, the keyboard goes whatever the view says.
    EXPECT_TRUE(window->endEditing(true));
    EXPECT_EQ(window->firstResponder(), nullptr);
    EXPECT_TRUE(second->becomeFirstResponder());
}

TEST_F(ApplicationTest, TheScreenAndTheDevice)
{
    auto& screen = ui::Screen::mainScreen();
    EXPECT_EQ(screen.bounds(), (gfx::Rect { 0, 0, 320, 480 }));
    EXPECT_EQ(screen.applicationFrame(), (gfx::Rect { 0, 20, 320, 460 }));
    ui::Application::shared().setStatusBarHidden(true);
    EXPECT_EQ(screen.applicationFrame(), (gfx::Rect { 0, 0, 320, 480 }));
    screen.setScale(3);
    EXPECT_EQ(screen.scale(), 1);
    screen.setScale(2);
    EXPECT_EQ(screen.scale(), 2);

    int changes = 0;
    auto token = fnd::NotificationCenter::defaultCenter().addObserver(std::string(ui::Device::orientationDidChangeNotification), nullptr,
        [&](const fnd::Notification&) { ++changes; });
    ui::Device::current().setOrientation(ui::DeviceOrientation::LandscapeLeft);
    ui::Device::current().setOrientation(ui::DeviceOrientation::LandscapeLeft);
    ui::Device::current().setOrientation(ui::DeviceOrientation::FaceUp);
    EXPECT_EQ(changes, 2);
}

}

}
