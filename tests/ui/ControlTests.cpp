#include "UITest.h"

#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/LaunchOptions.h"
#include "platform/ui/PressFinder.h"
#include "platform/ui/TouchDriver.h"

namespace brenzo::testing {

namespace {

// A target that counts what it is sent, with and without the sender.
class Target final : public ui::ViewController {
public:
    void withSender(const fnd::Id& sender)
    {
        senders.push_back(sender);
    }
    void withoutSender() { ++plainCalls; }

    std::vector<fnd::Id> senders;
    int plainCalls = 0;
};

class ControlTest : public UITest {
protected:
    ControlTest()
    {
        window = makeKeyWindow();
        button = ui::Button::create(ui::ButtonType::Custom);
        button->setFrame({ 100, 100, 100, 50 });
        window->addSubview(button);
    }

    ui::Action logging(std::string name)
    {
        return ui::Action(name, [this, name](const fnd::Id&) { events.push_back(name); });
    }

    std::shared_ptr<ui::Window> window;
    std::shared_ptr<ui::Button> button;
    std::vector<std::string> events;
    ui::TouchDriver driver;
};

TEST_F(ControlTest, ActionsKeepTheirTargetWeaklyAndTheirName)
{
    auto target = std::make_shared<Target>();
    auto withSender = ui::Action::to(target, "rateAction:", &Target::withSender);
    auto withoutSender = ui::Action::to(target.get(), "dismissSettingsView", &Target::withoutSender);
    EXPECT_EQ(withSender.name(), "rateAction:");
    EXPECT_EQ(withSender.targetAddress(), target.get());
    EXPECT_TRUE(withSender.send(button));
    EXPECT_TRUE(withoutSender.send());
    ASSERT_EQ(target->senders.size(), 1u);
    EXPECT_EQ(target->senders[0], button);
    EXPECT_EQ(target->plainCalls, 1);

    // The target is not kept alive by its actions; a message to a target that has gone is dropped.
    std::weak_ptr<Target> weakTarget = target;
    target.reset();
    EXPECT_TRUE(weakTarget.expired());
    EXPECT_FALSE(withSender.send());
    EXPECT_FALSE(ui::Action().send());
}

TEST_F(ControlTest, RegistrationsMergeAndComeOffByTargetAndName)
{
    auto target = std::make_shared<Target>();
    button->addTargetActionForControlEvents(ui::Action::to(target, "tap", &Target::withSender), ui::ControlEvent::TouchUpInside);
    button->addTargetActionForControlEvents(ui::Action::to(target, "tap", &Target::withSender), ui::ControlEvent::TouchDown);
    button->addTargetActionForControlEvents(ui::Action::to(target, "other", &Target::withoutSender), ui::ControlEvent::TouchUpInside);
    EXPECT_EQ(button->actionsForTargetForControlEvent(target.get(), ui::ControlEvent::TouchDown), (std::vector<std::string> { "tap" }));
    EXPECT_EQ(button->actionsForTargetForControlEvent(target.get(), ui::ControlEvent::TouchUpInside), (std::vector<std::string> { "tap", "other" }));

    driver.tap({ 150, 125 });
    EXPECT_EQ(target->senders.size(), 2u);
    EXPECT_EQ(target->plainCalls, 1);

    button->removeTargetActionForControlEvents(target.get(), "tap", ui::ControlEvent::TouchDown);
    EXPECT_EQ(button->allControlEvents(), ui::ControlEvent::TouchUpInside);
    button->removeTargetActionForControlEvents(nullptr, {}, ui::ControlEvent::AllEvents);
    EXPECT_EQ(button->allControlEvents(), 0u);
    driver.tap({ 150, 125 });
    EXPECT_EQ(target->senders.size(), 2u);
}

TEST_F(ControlTest, TouchesHighlightAndReportDragsAcrossTheEdge)
{
    button->addTargetActionForControlEvents(logging("down"), ui::ControlEvent::TouchDown);
    button->addTargetActionForControlEvents(logging("repeat"), ui::ControlEvent::TouchDownRepeat);
    button->addTargetActionForControlEvents(logging("exit"), ui::ControlEvent::TouchDragExit);
    button->addTargetActionForControlEvents(logging("enter"), ui::ControlEvent::TouchDragEnter);
    button->addTargetActionForControlEvents(logging("inside"), ui::ControlEvent::TouchUpInside);
    button->addTargetActionForControlEvents(logging("cancel"), ui::ControlEvent::TouchCancel);

    auto touch = driver.touchDown(gfx::Point { 150, 125 });
    EXPECT_TRUE(button->isHighlighted());
    EXPECT_EQ(button->state(), ui::ControlState::Highlighted);
    driver.touchMove({ touch }, { { 300, 300 } });
    EXPECT_FALSE(button->isHighlighted());
    driver.touchMove({ touch }, { { 150, 125 } });
    driver.touchUp({ touch });
    EXPECT_FALSE(button->isHighlighted());
    driver.tap({ 150, 125 });
    touch = driver.touchDown(gfx::Point { 150, 125 });
    driver.touchCancel({ touch });
    // The third touch in a row counts as a triple tap.
    EXPECT_EQ(events, (std::vector<std::string> { "down", "exit", "enter", "inside", "down", "repeat", "inside", "down", "repeat", "cancel" }));
}

TEST_F(ControlTest, ADisabledControlLetsTouchesThroughToTheViewBeneath)
{
    auto beneath = std::make_shared<RecordingView>(gfx::Rect { 0, 0, 320, 480 });
    window->insertSubviewAtIndex(beneath, 0);
    button->setEnabled(false);
    EXPECT_EQ(button->state(), ui::ControlState::Disabled);
    driver.tap({ 150, 125 });
    EXPECT_EQ(beneath->received.size(), 2u);
}

TEST_F(ControlTest, ButtonsChooseTitlesAndImagesByState)
{
    button->setTitle("Call");
    button->setTitle("Calling", ui::ControlState::Highlighted);
    button->setTitleColor(gfx::Color(1, 0, 0), ui::ControlState::Disabled);
    EXPECT_EQ(button->currentTitle(), "Call");
    EXPECT_EQ(button->titleForState(ui::ControlState::Highlighted), "Calling");
    EXPECT_EQ(button->titleForState(ui::ControlState::Selected), "Call");
    EXPECT_EQ(button->titleForState(ui::ControlState::Disabled | ui::ControlState::Selected), "Call");
    EXPECT_EQ(button->titleColorForState(ui::ControlState::Disabled), gfx::Color(1, 0, 0));
    EXPECT_EQ(button->titleColorForState(ui::ControlState::Normal), gfx::Color::white());
    EXPECT_EQ(button->imageForState(ui::ControlState::Normal), nullptr);

    auto touch = driver.touchDown(gfx::Point { 150, 125 });
    EXPECT_EQ(button->currentTitle(), "Calling");
    EXPECT_EQ(button->titleLabel()->text(), "Calling");
    driver.touchUp({ touch });
    EXPECT_EQ(button->titleLabel()->text(), "Call");

    // Pressed by its title, as the terminal does; not while disabled.
    button->addTargetActionForControlEvents(logging("call"), ui::ControlEvent::TouchUpInside);
    EXPECT_EQ(ui::PressFinder::press("Call").status, ui::PressFinder::Result::Status::Pressed);
    button->setEnabled(false);
    EXPECT_EQ(ui::PressFinder::press("Call").status, ui::PressFinder::Result::Status::Disabled);
    EXPECT_FALSE(button->press());
    EXPECT_EQ(events, (std::vector<std::string> { "call" }));
    EXPECT_EQ(button->treeAttributes(), "title=\"Call\" disabled");
}

TEST_F(ControlTest, TouchesNobodyTakesTravelUpTheResponderChain)
{
    auto controller = ui::ViewController::create();
    auto parent = std::make_shared<RecordingView>(gfx::Rect { 0, 200, 320, 200 });
    window->addSubview(parent);
    auto view = controller->view();
    view->setFrame({ 0, 0, 320, 100 });
    parent->addSubview(view);
    auto plain = ui::View::create({ 0, 0, 50, 50 });
    view->addSubview(plain);

    // plain -> the controller's view -> the controller -> the view's superview.
    EXPECT_EQ(plain->nextResponder(), view);
    EXPECT_EQ(view->nextResponder(), controller);
    EXPECT_EQ(controller->nextResponder(), parent);
    driver.tap({ 10, 210 });
    ASSERT_EQ(parent->received.size(), 2u);
    gfx::Point expected { 10, 10 };
    EXPECT_EQ(parent->received[0].location, expected);
    EXPECT_EQ(window->nextResponder(), ui::Application::sharedPointer());
}

TEST_F(ControlTest, AViewRemovedDuringATouchNoLongerHearsOfIt)
{
    auto view = std::make_shared<RecordingView>(gfx::Rect { 0, 300, 100, 100 });
    window->addSubview(view);
    auto touch = driver.touchDown(gfx::Point { 50, 350 });
    std::weak_ptr<RecordingView> weakView = view;
    view->removeFromSuperview();
    view.reset();
    EXPECT_TRUE(weakView.expired());
    driver.touchMove({ touch }, { { 60, 360 } });
    driver.touchUp({ touch });
    EXPECT_TRUE(driver.activeTouches().empty());
}

TEST(LaunchOptionsParsing, OptionsAndMistakes)
{
    std::string error;
    auto options = ui::LaunchOptions::parse({ "--home", "/tmp/h", "--contacts", "people.vcf", "--script", "s.txt", "--scale", "2" }, error);
    ASSERT_TRUE(options);
    EXPECT_EQ(options->home, std::filesystem::path("/tmp/h"));
    EXPECT_EQ(options->contacts, std::filesystem::path("people.vcf"));
    EXPECT_EQ(options->script, std::filesystem::path("s.txt"));
    EXPECT_EQ(options->scale, 2);
    EXPECT_TRUE(ui::LaunchOptions::parse({}, error));

    EXPECT_FALSE(ui::LaunchOptions::parse({ "--scale", "3" }, error));
    EXPECT_EQ(error, "--scale takes 1 or 2, not \"3\"");
    EXPECT_FALSE(ui::LaunchOptions::parse({ "--home" }, error));
    EXPECT_EQ(error, "option --home needs a value");
    EXPECT_FALSE(ui::LaunchOptions::parse({ "--fast" }, error));
    EXPECT_EQ(error, "unknown option \"--fast\"");
}

TEST(LaunchOptionsParsing, AStartDateIsAUTCDayOrInstantForAScript)
{
    std::string error;
    auto options = ui::LaunchOptions::parse({ "--date", "2027-01-15T10:00:00Z", "--script", "s.txt" }, error);
    ASSERT_TRUE(options) << error;
    EXPECT_EQ(options->date, 1800007200.0);
    EXPECT_EQ(ui::LaunchOptions::parseDate("2024-02-29"), 1709164800.0);
    EXPECT_EQ(ui::LaunchOptions::parseDate("1970-01-01T00:00:00Z"), 0.0);
    for (auto wrong : { "2023-02-29", "2027-13-01", "2027-01-15T24:00:00Z", "2027-01-15T10:00:00", "2027-1-15", "+027-01-15", "1969-12-31", "tomorrow", "" })
        EXPECT_FALSE(ui::LaunchOptions::parseDate(wrong)) << wrong;

    EXPECT_FALSE(ui::LaunchOptions::parse({ "--date", "2027-01-15" }, error));
    EXPECT_EQ(error, "--date needs --script: only a scripted session runs on the virtual clock");
    EXPECT_FALSE(ui::LaunchOptions::parse({ "--script", "s.txt", "--date", "soon" }, error));
    EXPECT_EQ(error, "--date takes a UTC date like 2027-01-15T10:00:00Z, not \"soon\"");
}

}

}
