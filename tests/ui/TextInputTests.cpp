#include "UITest.h"

#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/Application.h"
#include "platform/ui/Keyboard.h"
#include "platform/ui/Switch.h"
#include "platform/ui/TerminalDriver.h"
#include "platform/ui/TextField.h"
#include "platform/ui/TextView.h"
#include "platform/ui/TouchDriver.h"

#include <sstream>

namespace brenzo::testing {
namespace {

using Log = std::vector<std::string>;

class RecordingFieldDelegate : public ui::TextFieldDelegate {
public:
    bool shouldBeginEditing(ui::TextField&) override { log.push_back("shouldBegin"); return allowBegin; }
    void didBeginEditing(ui::TextField&) override { log.push_back("didBegin"); }
    bool shouldEndEditing(ui::TextField&) override { log.push_back("shouldEnd"); return allowEnd; }
    void didEndEditing(ui::TextField&) override { log.push_back("didEnd"); }
    bool shouldChangeCharactersInRange(ui::TextField&, size_t location, size_t length, std::string_view replacement) override
    {
        log.push_back("change " + std::to_string(location) + "," + std::to_string(length) + " \"" + std::string(replacement) + "\"");
        return replacement != "!";
    }
    bool shouldReturn(ui::TextField&) override { log.push_back("shouldReturn"); return true; }
    Log log;
    bool allowBegin = true;
    bool allowEnd = true;
};

class TextInputTest : public UITest {
protected:
    TextInputTest() { ui::Keyboard::shared().resetForTesting(); }
    ~TextInputTest() override { ui::Keyboard::shared().resetForTesting(); }

    std::shared_ptr<ui::TextField> addField(const std::shared_ptr<ui::Window>& window, double y)
    {
        auto field = ui::TextField::create({ 10, y, 300, 31 });
        field->setBorderStyle(ui::TextBorderStyle::RoundedRect);
        window->addSubview(field);
        return field;
    }
};

TEST_F(TextInputTest, FieldDelegateHearsEditingInOrder)
{
    auto window = makeKeyWindow();
    auto field = addField(window, 100);
    auto delegate = std::make_shared<RecordingFieldDelegate>();
    field->setDelegate(delegate);
    int returns = 0;
    field->addTargetActionForControlEvents(ui::Action("done", [&](const fnd::Id&) { ++returns; }), ui::ControlEvent::EditingDidEndOnExit);

    ui::TouchDriver touches;
    touches.tap({ 50, 110 });
    EXPECT_TRUE(field->isFirstResponder());
    EXPECT_TRUE(field->isEditing());
    EXPECT_EQ(delegate->log, (Log { "shouldBegin", "didBegin" }));

    std::ostringstream output;
    ui::TerminalDriver terminal(output);
    terminal.execute("type \"h\u00e9!\\n\"", 1);
    EXPECT_EQ(output.str(), "");
    // The change check saw each piece; the refused "!" is not in the text, the return key inserted nothing.
    EXPECT_EQ(field->text(), "h\u00e9!");
    EXPECT_EQ(delegate->log, (Log { "shouldBegin", "didBegin", "change 0,0 \"h\u00e9!\"", "shouldReturn" }));
    EXPECT_EQ(returns, 1);

    field->setText("ab");
    field->deleteBackward();
    field->insertText("!");
    EXPECT_EQ(field->text(), "a");
    EXPECT_EQ(delegate->log.at(4), "change 1,1 \"\"");

    EXPECT_TRUE(field->resignFirstResponder());
    EXPECT_EQ(delegate->log.back(), "didEnd");
    EXPECT_FALSE(field->isEditing());
    field->insertText("x");
    EXPECT_EQ(field->text(), "a");
}

TEST_F(TextInputTest, DelegateCanRefuseToBeginOrEnd)
{
    auto window = makeKeyWindow();
    auto field = addField(window, 100);
    auto delegate = std::make_shared<RecordingFieldDelegate>();
    field->setDelegate(delegate);
    delegate->allowBegin = false;
    EXPECT_FALSE(field->becomeFirstResponder());
    EXPECT_FALSE(field->isEditing());

    delegate->allowBegin = true;
    ASSERT_TRUE(field->becomeFirstResponder());
    delegate->allowEnd = false;
    auto other = addField(window, 200);
    // The first field holds on to the keyboard, so the second cannot take it.
    EXPECT_FALSE(other->becomeFirstResponder());
    EXPECT_TRUE(field->isFirstResponder());
    delegate->allowEnd = true;
    EXPECT_TRUE(other->becomeFirstResponder());
    EXPECT_FALSE(field->isEditing());
    EXPECT_EQ(ui::Application::shared().firstResponder(), other);
}

TEST_F(TextInputTest, SecureFieldsShowBulletsOnly)
{
    auto window = makeKeyWindow();
    auto field = addField(window, 100);
    field->setSecureTextEntry(true);
    field->setPlaceholder("Password");
    field->setText("s\u00e9cret");
    EXPECT_EQ(field->displayedText(), "\u2022\u2022\u2022\u2022\u2022\u2022");
    EXPECT_EQ(field->treeAttributes().find("cret"), std::string::npos);
    EXPECT_NE(field->treeAttributes().find("secure"), std::string::npos);
    EXPECT_EQ(field->text(), "s\u00e9cret");

    // The terminal reaches a field by its placeholder.
    std::ostringstream output;
    ui::TerminalDriver terminal(output);
    field->setText("");
    terminal.execute("press \"Password\"", 1);
    terminal.execute("type \"pw\"", 2);
    EXPECT_EQ(field->text(), "pw");
    EXPECT_EQ(output.str(), "");
}

TEST_F(TextInputTest, KeyboardComesUpOnceAndGoesDownWhenNothingEdits)
{
    auto window = makeKeyWindow();
    auto first = addField(window, 100);
    auto second = addField(window, 200);
    Log notifications;
    std::optional<gfx::Rect> shownFrame;
    auto& center = fnd::NotificationCenter::defaultCenter();
    auto token = center.addObserver("", nullptr, [&](const fnd::Notification& notification) {
        if (notification.name().rfind("Keyboard", 0) != 0)
            return;
        notifications.push_back(notification.name());
        if (notification.name() == ui::Keyboard::willShowNotification)
            shownFrame = ui::Keyboard::frameFromUserInfo(notification.userInfo());
    });
    first->becomeFirstResponder();
    second->becomeFirstResponder();
    runUntilIdle();
    EXPECT_EQ(notifications, (Log { "KeyboardWillShow", "KeyboardDidShow" }));
    EXPECT_EQ(shownFrame, gfx::Rect(0, 264, 320, 216));
    second->resignFirstResponder();
    runUntilIdle();
    EXPECT_EQ(notifications, (Log { "KeyboardWillShow", "KeyboardDidShow", "KeyboardWillHide", "KeyboardDidHide" }));
    EXPECT_FALSE(ui::Keyboard::shared().isVisible());
    center.removeObserver(token);
}

class CountingTextViewDelegate : public ui::TextViewDelegate {
public:
    void didChange(ui::TextView& view) override { texts.push_back(view.text()); }
    bool shouldChangeTextInRange(ui::TextView&, size_t, size_t, std::string_view replacement) override { return replacement != "x"; }
    Log texts;
};

TEST_F(TextInputTest, TextViewTakesLineBreaksAndReportsChanges)
{
    auto window = makeKeyWindow();
    auto view = ui::TextView::create({ 0, 20, 320, 200 });
    window->addSubview(view);
    auto delegate = std::make_shared<CountingTextViewDelegate>();
    view->setDelegate(delegate);
    view->setText("Hello");
    EXPECT_TRUE(delegate->texts.empty());
    ASSERT_TRUE(view->becomeFirstResponder());
    view->insertText("\n");
    view->insertText("x");
    view->insertText("\U0001F600");
    view->deleteBackward();
    EXPECT_EQ(view->text(), "Hello\n");
    EXPECT_EQ(delegate->texts, (Log { "Hello\n", "Hello\n\U0001F600", "Hello\n" }));

    view->setEditable(false);
    view->resignFirstResponder();
    EXPECT_FALSE(view->becomeFirstResponder());
}

TEST_F(TextInputTest, SwitchFlipsOnATapOnly)
{
    auto window = makeKeyWindow();
    auto control = ui::Switch::create({ 200, 100, 10, 10 });
    EXPECT_EQ(control->frame().size, ui::Switch::size);
    window->addSubview(control);
    int changes = 0;
    control->addTargetActionForControlEvents(ui::Action("changed", [&](const fnd::Id&) { ++changes; }), ui::ControlEvent::ValueChanged);
    control->setOn(true);
    EXPECT_EQ(changes, 0);
    ui::TouchDriver touches;
    touches.tap({ 240, 110 });
    EXPECT_FALSE(control->isOn());
    EXPECT_EQ(changes, 1);
    control->setEnabled(false);
    touches.tap({ 240, 110 });
    EXPECT_FALSE(control->isOn());
    EXPECT_EQ(changes, 1);
}

}
}
