#include "UITest.h"

#include "platform/ui/ActionSheet.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Button.h"
#include "platform/ui/Device.h"
#include "platform/ui/ModalPanelRegistry.h"
#include "platform/ui/TerminalDriver.h"
#include "platform/ui/Toolbar.h"
#include "platform/ui/TouchDriver.h"

#include <sstream>

namespace brenzo::testing {
namespace {

using Log = std::vector<std::string>;

class RecordingAlertDelegate : public ui::AlertViewDelegate {
public:
    void clickedButtonAtIndex(ui::AlertView&, int index) override { log.push_back("clicked " + std::to_string(index)); }
    void willPresentAlertView(ui::AlertView&) override { log.push_back("willPresent"); }
    void didPresentAlertView(ui::AlertView&) override { log.push_back("didPresent"); }
    void willDismissWithButtonIndex(ui::AlertView&, int index) override { log.push_back("willDismiss " + std::to_string(index)); }
    void didDismissWithButtonIndex(ui::AlertView&, int index) override { log.push_back("didDismiss " + std::to_string(index)); }
    Log log;
};

class RecordingSheetDelegate : public ui::ActionSheetDelegate {
public:
    void clickedButtonAtIndex(ui::ActionSheet&, int index) override { log.push_back("clicked " + std::to_string(index)); }
    void willPresentActionSheet(ui::ActionSheet&) override { log.push_back("willPresent"); }
    void didPresentActionSheet(ui::ActionSheet&) override { log.push_back("didPresent"); }
    void willDismissWithButtonIndex(ui::ActionSheet&, int index) override { log.push_back("willDismiss " + std::to_string(index)); }
    void didDismissWithButtonIndex(ui::ActionSheet&, int index) override { log.push_back("didDismiss " + std::to_string(index)); }
    Log log;
};

// A sheet that acts when it goes away, as the sharing sheet does.
class ActingSheet : public ui::ActionSheet {
public:
    explicit ActingSheet(Log& log)
        : m_log(log)
    {
    }
    void dismissWithClickedButtonIndex(int index, bool animated) override
    {
        m_log.push_back("acting on " + buttonTitleAtIndex(index));
        ActionSheet::dismissWithClickedButtonIndex(index, animated);
    }

private:
    Log& m_log;
};

using AlertViewTest = UITest;
using ActionSheetTest = UITest;

TEST_F(AlertViewTest, ButtonsAreNumberedWithTheCancelButtonFirst)
{
    auto alert = ui::AlertView::create("Offline", "You must be online", nullptr, "Close", { "Retry", "Later" });
    EXPECT_EQ(alert->numberOfButtons(), 3);
    EXPECT_EQ(alert->cancelButtonIndex(), 0);
    EXPECT_EQ(alert->firstOtherButtonIndex(), 1);
    EXPECT_EQ(alert->buttonTitleAtIndex(2), "Later");
    EXPECT_EQ(alert->buttonTitleAtIndex(3), "");
    EXPECT_EQ(alert->addButtonWithTitle("More"), 3);

    auto plain = ui::AlertView::create("Note", "", nullptr, "", { "OK" });
    EXPECT_EQ(plain->cancelButtonIndex(), -1);
    EXPECT_EQ(plain->firstOtherButtonIndex(), 0);
}

TEST_F(AlertViewTest, PressingByTitleFromTheTerminalTellsTheDelegateInOrder)
{
    makeKeyWindow();
    std::ostringstream output;
    ui::TerminalDriver terminal(output);
    auto delegate = std::make_shared<RecordingAlertDelegate>();
    {
        auto alert = ui::AlertView::create("Offline", "You must be online", delegate, "Close", { "Retry" });
        alert->show();
        EXPECT_EQ(delegate->log, Log { "willPresent" });
        EXPECT_TRUE(alert->isVisible());
    }
    runUntilIdle();
    EXPECT_EQ(delegate->log, (Log { "willPresent", "didPresent" }));
    // The alert lives on the panels although nobody else holds it.
    ASSERT_TRUE(ui::ModalPanelRegistry::shared().topmost());

    terminal.execute("press \"Retry\"", 1);
    EXPECT_EQ(delegate->log, (Log { "willPresent", "didPresent", "clicked 1", "willDismiss 1", "didDismiss 1" }));
    EXPECT_FALSE(ui::ModalPanelRegistry::shared().topmost());
    EXPECT_EQ(output.str(), "alert \"Offline\" \"You must be online\" [Close] [Retry]\n");

    terminal.execute("press \"Retry\"", 2);
    EXPECT_NE(output.str().find("error: line 2: nothing to press for \"Retry\""), std::string::npos);
}

TEST_F(AlertViewTest, ATapOnAButtonPressesIt)
{
    makeKeyWindow();
    auto delegate = std::make_shared<RecordingAlertDelegate>();
    auto alert = ui::AlertView::create("Rate Brenzo", "Would you rate it?", delegate, "No, Thanks", { "Rate", "Later" });
    alert->show();
    runUntilIdle();
    // Three buttons stack; the last one is the lowest.
    auto frame = alert->frame();
    EXPECT_EQ(frame.width(), ui::AlertView::width);
    ui::TouchDriver touches;
    touches.tap({ frame.midX(), frame.maxY() - 12 - 20 });
    EXPECT_EQ(delegate->log.at(2), "clicked 2");
    EXPECT_FALSE(alert->isVisible());
}

TEST_F(AlertViewTest, DismissingByProgramSkipsTheClick)
{
    makeKeyWindow();
    auto delegate = std::make_shared<RecordingAlertDelegate>();
    auto alert = ui::AlertView::create("Rate", "", delegate, "Cancel", { "OK" });
    alert->dismissWithClickedButtonIndex(-1, false);
    EXPECT_TRUE(delegate->log.empty());
    alert->show();
    alert->dismissWithClickedButtonIndex(-1, false);
    runUntilIdle();
    EXPECT_EQ(delegate->log, (Log { "willPresent", "willDismiss -1", "didDismiss -1" }));
}

TEST_F(AlertViewTest, PanelsArePressedBeforeTheScreenBelow)
{
    auto window = makeKeyWindow();
    auto button = ui::Button::create(ui::ButtonType::RoundedRect);
    button->setTitle("OK");
    button->setFrame({ 10, 100, 100, 40 });
    int buttonPresses = 0;
    button->addTargetActionForControlEvents(ui::Action("tapped", [&](const fnd::Id&) { ++buttonPresses; }), ui::ControlEvent::TouchUpInside);
    window->addSubview(button);
    auto delegate = std::make_shared<RecordingAlertDelegate>();
    auto alert = ui::AlertView::create("Sure?", "", delegate, "Cancel", { "OK" });
    alert->show();
    EXPECT_TRUE(alert->pressButtonWithTitle("OK"));
    EXPECT_EQ(buttonPresses, 0);
    EXPECT_EQ(delegate->log.at(1), "clicked 1");
    EXPECT_FALSE(alert->pressButtonWithTitle("Nope"));
}

TEST_F(ActionSheetTest, DestructiveButtonComesFirstAndCancelLast)
{
    auto sheet = ui::ActionSheet::create("Photo", nullptr, "Cancel", "Delete", { "Email", "Print" });
    EXPECT_EQ(sheet->destructiveButtonIndex(), 0);
    EXPECT_EQ(sheet->firstOtherButtonIndex(), 1);
    EXPECT_EQ(sheet->buttonTitleAtIndex(2), "Print");
    EXPECT_EQ(sheet->cancelButtonIndex(), 3);

    auto bare = ui::ActionSheet::create("Share");
    EXPECT_EQ(bare->numberOfButtons(), 0);
    EXPECT_EQ(bare->cancelButtonIndex(), -1);
    EXPECT_EQ(bare->destructiveButtonIndex(), -1);
}

TEST_F(ActionSheetTest, ShownFromAToolbarAndPressedByTitle)
{
    auto window = makeKeyWindow();
    auto toolbar = ui::Toolbar::create({ 0, 436, 320, 44 });
    window->addSubview(toolbar);
    std::ostringstream output;
    ui::TerminalDriver terminal(output);
    Log log;
    auto delegate = std::make_shared<RecordingSheetDelegate>();
    auto sheet = std::make_shared<ActingSheet>(log);
    sheet->setTitle("Share");
    sheet->setDelegate(delegate);
    sheet->addButtonWithTitle("Facebook");
    sheet->addButtonWithTitle("More...");
    sheet->setCancelButtonIndex(sheet->addButtonWithTitle("Cancel"));
    sheet->showFromToolbar(*toolbar);
    runUntilIdle();
    EXPECT_EQ(sheet->shownFrom(), "toolbar");
    EXPECT_FALSE(sheet->isInPopover());
    EXPECT_EQ(sheet->frame().maxY(), 480);
    EXPECT_EQ(output.str(), "action sheet \"Share\" [Facebook] [More...] [Cancel]\n");

    terminal.execute("press \"More...\"", 1);
    EXPECT_EQ(delegate->log, (Log { "willPresent", "didPresent", "clicked 1", "willDismiss 1", "didDismiss 1" }));
    EXPECT_EQ(log, Log { "acting on More..." });
    EXPECT_FALSE(sheet->isVisible());
}

TEST_F(ActionSheetTest, OnATabletASheetFromARectangleIsAPopover)
{
    ui::Device::current().setUserInterfaceIdiom(ui::UserInterfaceIdiom::Pad);
    auto window = makeKeyWindow();
    auto sheet = ui::ActionSheet::create("Print", nullptr, "Cancel", "", { "Print" });
    sheet->showFromRect({ 100, 100, 20, 20 }, *window, true);
    EXPECT_TRUE(sheet->isInPopover());
    EXPECT_EQ(sheet->anchorRect(), gfx::Rect(100, 100, 20, 20));
    EXPECT_EQ(sheet->frame().minY(), 120);
    EXPECT_TRUE(sheet->pressButtonAtIndex(0));
    EXPECT_FALSE(sheet->isVisible());
}

}
}
