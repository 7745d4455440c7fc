#include "UITest.h"

#include "platform/ui/AlertView.h"
#include "platform/ui/Label.h"
#include "platform/ui/PickerView.h"
#include "platform/ui/PressFinder.h"
#include "platform/ui/Renderer.h"
#include "platform/ui/Switch.h"
#include "platform/ui/TableViewController.h"
#include "platform/ui/TouchDriver.h"

namespace brenzo::testing {
namespace {

class ColoursSource : public ui::PickerViewDataSource {
public:
    int numberOfComponentsInPickerView(ui::PickerView&) override { return 2; }
    int numberOfRowsInComponent(ui::PickerView&, int component) override { return component == 0 ? 3 : 1; }
    std::optional<std::string> titleForRow(ui::PickerView&, int row, int component) override
    {
        static const char* names[] = { "Red", "Green", "Blue" };
        return component == 0 ? names[row] : "Only";
    }
    void didSelectRow(ui::PickerView&, int row, int component) override { picks.push_back({ row, component }); }
    std::vector<std::pair<int, int>> picks;
};

using PickerViewTest = UITest;

TEST_F(PickerViewTest, WheelsTurnByTapsAndPresses)
{
    auto window = makeKeyWindow();
    auto picker = ui::PickerView::create({ 0, 264, 320, 0 });
    EXPECT_EQ(picker->frame().height(), ui::PickerView::height);
    auto source = std::make_shared<ColoursSource>();
    picker->setDataSource(source);
    window->addSubview(picker);
    EXPECT_EQ(picker->numberOfComponents(), 2);
    EXPECT_EQ(picker->selectedRowInComponent(0), 0);
    picker->selectRow(2, 0);
    picker->selectRow(7, 0);
    EXPECT_EQ(picker->selectedRowInComponent(0), 2);
    EXPECT_TRUE(source->picks.empty());

    // A tap one row above the middle of the left wheel turns it back by one.
    ui::TouchDriver touches;
    touches.tap({ 80, 264 + 108 - 44 });
    EXPECT_EQ(picker->selectedRowInComponent(0), 1);
    EXPECT_EQ(source->picks, (std::vector<std::pair<int, int>> { { 1, 0 } }));

    EXPECT_EQ(ui::PressFinder::press("Red").status, ui::PressFinder::Result::Status::Pressed);
    EXPECT_EQ(picker->selectedRowInComponent(0), 0);
    EXPECT_EQ(picker->selectedRowInComponent(5), -1);
}

class TwoRows : public ui::TableViewController {
public:
    TwoRows()
        : TableViewController(ui::TableViewStyle::Grouped)
    {
    }
    int numberOfRowsInSection(ui::TableView&, int) override { return 2; }
    std::shared_ptr<ui::TableViewCell> cellForRowAtIndexPath(ui::TableView&, const ui::IndexPath& indexPath) override
    {
        auto cell = ui::TableViewCell::create(ui::TableViewCellStyle::Value1, "Row");
        cell->textLabel()->setText("Row");
        if (indexPath.row == 1)
            cell->setAccessoryView(ui::Switch::create());
        return cell;
    }
};

TEST_F(PickerViewTest, TablesAndAlertsAreDrawn)
{
    auto window = makeKeyWindow();
    auto controller = std::make_shared<TwoRows>();
    window->setRootViewController(controller);
    runUntilIdle();
    auto table = controller->tableView();
    table->selectRowAtIndexPath(ui::IndexPath::forRow(0, 0), false, ui::TableViewScrollPosition::None);

    auto screen = ui::Renderer::renderScreen(1);
    ASSERT_TRUE(screen);
    // The grouped background at the left edge, the selected first row in blue (at y 20 + 10 + 22).
    auto background = pixelAtPoint(*screen, 4, 300);
    EXPECT_LT(background.red, background.blue);
    auto selected = pixelAtPoint(*screen, 300, 20 + 10 + 22);
    EXPECT_GT(selected.blue, 200);
    EXPECT_LT(selected.red, 40);
    // The second row is white beside its switch.
    auto plain = pixelAtPoint(*screen, 150, 20 + 10 + 44 + 40);
    EXPECT_EQ(plain.red, 255);

    auto alert = ui::AlertView::create("Hello", "", nullptr, "OK");
    alert->show();
    auto withAlert = ui::Renderer::renderScreen(1);
    auto frame = alert->frame();
    auto box = pixelAtPoint(*withAlert, frame.minX() + 6, frame.midY());
    EXPECT_LT(box.red, 60);
    EXPECT_GT(box.blue, box.red);
    // The screen beneath is dimmed.
    EXPECT_LT(pixelAtPoint(*withAlert, 150, 20 + 10 + 44 + 40).red, 200);
}

}
}
