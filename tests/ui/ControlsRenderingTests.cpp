#include "UITest.h"

#include "platform/graphics/TextLayout.h"
#include "platform/ui/BarButtonItem.h"

#include "platform/ui/AlertView.h"
#include "platform/ui/Label.h"
#include "platform/ui/PickerView.h"
#include "platform/ui/PressFinder.h"
#include "platform/ui/Renderer.h"
#include "platform/ui/Switch.h"
#include "platform/ui/TableViewController.h"
#include "platform/ui/Toolbar.h"
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

// A form whose one section ends in a footer far longer than a line.
class FooterForm : public TwoRows {
public:
    static constexpr const char* footer = "Your name and your picture are shown to everybody who opens the board, so choose what you share with care.";
    std::optional<std::string> titleForFooterInSection(ui::TableView&, int) override { return std::string(footer); }
};

TEST_F(PickerViewTest, ALongSectionFooterWrapsOntoAsManyLinesAsItNeeds)
{
    auto window = makeKeyWindow();
    auto controller = std::make_shared<FooterForm>();
    window->setRootViewController(controller);
    runUntilIdle();
    auto table = controller->tableView();
    auto band = table->rectForFooterInSection(0);
    gfx::TextLayout layout(FooterForm::footer, gfx::Font::systemFont(15), { 280, 1e6 }, gfx::LineBreakMode::WordWrap);
    ASSERT_GE(layout.lines().size(), 3u);
    EXPECT_GE(band.height(), layout.lines().size() * layout.lineHeight());

    // Every line of the footer has ink on screen, the last one included.
    auto screen = ui::Renderer::renderScreen(1);
    ASSERT_TRUE(screen);
    auto background = pixelAtPoint(*screen, 4, band.minY() + 20 + 2);
    auto inkOnLine = [&](size_t line) {
        double top = 20 + band.minY() + 5 + double(line) * layout.lineHeight();
        for (double y = top; y < top + layout.lineHeight(); ++y) {
            for (double x = 20; x < 300; ++x) {
                if (pixelAtPoint(*screen, x, y) != background)
                    return true;
            }
        }
        return false;
    };
    for (size_t line = 0; line < layout.lines().size(); ++line)
        EXPECT_TRUE(inkOnLine(line)) << "line " << line;
}

TEST_F(PickerViewTest, ADisabledBarButtonIsDrawnFadedFaceAndTitle)
{
    auto window = makeKeyWindow();
    auto toolbar = ui::Toolbar::create({ 0, 436, 320, 44 });
    auto enabled = ui::BarButtonItem::createWithTitle("Send", ui::BarButtonItemStyle::Done);
    auto disabled = ui::BarButtonItem::createWithTitle("Send", ui::BarButtonItemStyle::Done);
    disabled->setEnabled(false);
    toolbar->setItems({ enabled, ui::BarButtonItem::createWithBarButtonSystemItem(ui::BarButtonSystemItem::FlexibleSpace), disabled });
    window->addSubview(toolbar);
    auto screen = ui::Renderer::renderScreen(1);
    ASSERT_TRUE(screen);
    auto enabledFrame = toolbar->viewForItem(*enabled)->frame();
    auto disabledFrame = toolbar->viewForItem(*disabled)->frame();
    // The blue face, just inside the left edge of each button.
    auto enabledFace = pixelAtPoint(*screen, enabledFrame.minX() + 3, 436 + enabledFrame.midY());
    auto disabledFace = pixelAtPoint(*screen, disabledFrame.minX() + 3, 436 + disabledFrame.midY());
    EXPECT_GT(enabledFace.blue - enabledFace.red, 120);
    EXPECT_LT(disabledFace.blue - disabledFace.red, (enabledFace.blue - enabledFace.red) * 0.6);
    // The title is drawn faded too: the brightest point of the disabled button is not white.
    int brightest = 0;
    for (double x = disabledFrame.minX() + 4; x < disabledFrame.maxX() - 4; ++x) {
        for (double y = 436 + disabledFrame.minY() + 4; y < 436 + disabledFrame.maxY() - 4; ++y)
            brightest = std::max<int>(brightest, pixelAtPoint(*screen, x, y).red);
    }
    EXPECT_LT(brightest, 230);
}

TEST_F(PickerViewTest, ControlCharactersAndNoncharactersAreLeftOutAndTheRestIsDrawn)
{
    auto window = makeKeyWindow();
    auto plain = ui::Label::create();
    plain->setFrame({ 10, 40, 300, 30 });
    plain->setText("Anne Smith");
    window->addSubview(plain);
    auto before = ui::Renderer::renderScreen(1);
    plain->setText("An\x01ne\tSmi\xEF\xBF\xBEth\xEF\xB7\x90\x7F");
    auto after = ui::Renderer::renderScreen(1);
    ASSERT_TRUE(before && after);
    bool inked = false;
    for (double y = 60; y < 90; ++y) {
        for (double x = 10; x < 310; ++x) {
            ASSERT_EQ(pixelAtPoint(*after, x, y), pixelAtPoint(*before, x, y)) << x << "," << y;
            inked = inked || pixelAtPoint(*after, x, y).red < 128;
        }
    }
    EXPECT_TRUE(inked);
}

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
