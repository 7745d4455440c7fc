#include "BoardTest.h"

#include "board/ChoiceCell.h"
#include "board/KTextFieldCell.h"
#include "board/SelectionListViewController.h"
#include "board/SwitchCell.h"
#include "platform/foundation/String.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Switch.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TextField.h"

namespace brenzo::testing {

namespace {

class RecordingListDelegate final : public SelectionListViewControllerDelegate {
public:
    void selectionListViewControllerSelectedIndexWithReference(SelectionListViewController&, int32_t selectedIndex, const fnd::Id& reference) override
    {
        choices.push_back(selectedIndex);
        lastReference = reference;
    }

    std::vector<int32_t> choices;
    fnd::Id lastReference;
};

class RecordingFieldDelegate final : public KTextFieldCellDelegate {
public:
    void textFieldCellWillReturn(KTextFieldCell& cell) override { returnedCells.push_back(&cell); }

    std::vector<KTextFieldCell*> returnedCells;
};

constexpr gfx::Color listRed { 0.243, 0.306, 0.435, 1 };

}

using SettingsRowsTest = BoardTest;

TEST_F(SettingsRowsTest, AChoiceRowShowsItsLabelAndChoiceAndIgnoresIndexesOutOfRange)
{
    auto cell = ChoiceCell::createWithLabel("Type", { "None", "Webrequest", "Phone Call" }, 1);
    EXPECT_EQ(cell->style(), ui::TableViewCellStyle::Default);
    EXPECT_EQ(cell->reuseIdentifier(), "");
    EXPECT_EQ(cell->accessoryType(), ui::TableViewCellAccessoryType::DisclosureIndicator);
    EXPECT_EQ(cell->textLabel()->text(), "Type: Webrequest");

    cell->setSelectedIndex(2);
    EXPECT_EQ(cell->textLabel()->text(), "Type: Phone Call");
    cell->setSelectedIndex(3);
    cell->setSelectedIndex(-1);
    EXPECT_EQ(cell->selectedIndex(), 2);
    EXPECT_EQ(cell->textLabel()->text(), "Type: Phone Call");

    auto outOfRange = ChoiceCell::createWithLabel("Type", { "None" }, 4);
    EXPECT_EQ(outOfRange->selectedIndex(), -1);
    EXPECT_EQ(outOfRange->textLabel()->text(), "Type: ");
}

TEST_F(SettingsRowsTest, ATextFieldRowPlacesItsFieldBesideTheLabel)
{
    auto cell = KTextFieldCell::createWithStyle(ui::TableViewCellStyle::Default);
    auto field = cell->textField();
    EXPECT_EQ(field->superview(), cell);
    EXPECT_EQ(field->delegate(), cell);
    EXPECT_EQ(field->returnKeyType(), ui::ReturnKeyType::Next);
    EXPECT_EQ(field->contentVerticalAlignment(), ui::ControlContentVerticalAlignment::Center);
    EXPECT_EQ(cell->selectionStyle(), ui::TableViewCellSelectionStyle::None);

    cell->setFrame({ 0, 0, 300, 44 });
    cell->layoutIfNeeded();
    auto content = cell->contentView()->frame();
    EXPECT_EQ(field->frame(), (gfx::Rect { content.minX() + 110, content.minY(), content.width() - 120, content.height() }));
}

TEST_F(SettingsRowsTest, ReturnInATextFieldRowGoesToItsDelegateAndTypesNothing)
{
    m_window = ui::Window::create();
    m_window->makeKeyAndVisible();
    auto cell = KTextFieldCell::createWithStyle(ui::TableViewCellStyle::Default, "Field");
    m_window->addSubview(cell);
    auto delegate = std::make_shared<RecordingFieldDelegate>();
    cell->setTextFieldCellDelegate(delegate);
    auto field = cell->textField();
    ASSERT_TRUE(field->becomeFirstResponder());
    field->insertText("abc");

    field->insertText("\n");
    EXPECT_EQ(delegate->returnedCells, std::vector<KTextFieldCell*> { cell.get() });
    EXPECT_EQ(field->text(), "abc");

    // A delegate that has gone is not called, and nothing is typed either.
    delegate.reset();
    field->insertText("\n");
    EXPECT_EQ(field->text(), "abc");
}

TEST_F(SettingsRowsTest, ASwitchRowKeepsItsSwitchAtTheRightCentredAndAtItsOwnSize)
{
    auto cell = SwitchCell::createWithLabel("Shorten links", "Switch");
    EXPECT_EQ(cell->reuseIdentifier(), "Switch");
    EXPECT_EQ(cell->textLabel()->text(), "Shorten links");
    EXPECT_EQ(cell->selectionStyle(), ui::TableViewCellSelectionStyle::None);
    auto control = cell->switchControl();
    EXPECT_EQ(control->superview(), cell);

    cell->setFrame({ 0, 0, 300, 50 });
    cell->layoutIfNeeded();
    auto content = cell->contentView()->frame();
    EXPECT_EQ(control->frame().size, ui::Switch::size);
    EXPECT_EQ(control->frame().maxX(), content.maxX() - 10);
    EXPECT_EQ(control->frame().midY(), content.midY());

}

TEST_F(SettingsRowsTest, DisabledRowsTakeNoInputAndReadAsInactive)
{
    auto choice = ChoiceCell::createWithLabel("Type", { "None" }, 0);
    choice->setEnabled(false);
    EXPECT_EQ(choice->selectionStyle(), ui::TableViewCellSelectionStyle::None);
    EXPECT_FALSE(choice->textLabel()->isEnabled());
    choice->setEnabled(true);
    EXPECT_EQ(choice->selectionStyle(), ui::TableViewCellSelectionStyle::Blue);

    auto field = KTextFieldCell::createWithStyle(ui::TableViewCellStyle::Default);
    field->setEnabled(false);
    EXPECT_FALSE(field->textField()->isEnabled());
    EXPECT_FALSE(field->textLabel()->isEnabled());
    EXPECT_EQ(field->textField()->textColor(), (gfx::Color { 0.6, 0.6, 0.6, 1 }));
    field->setEnabled(true);
    EXPECT_TRUE(field->textField()->isEnabled());

    auto switchRow = SwitchCell::createWithLabel("Shorten links");
    switchRow->setEnabled(false);
    EXPECT_FALSE(switchRow->switchControl()->isEnabled());
    EXPECT_FALSE(switchRow->textLabel()->isEnabled());
}

class SelectionListTest : public BoardTest {
protected:
    void SetUp() override
    {
        m_window = ui::Window::create();
        list = std::make_shared<SelectionListViewController>(ui::TableViewStyle::Grouped);
        list->setSubtitle("Type");
        list->setItems({ "None", "Webrequest", "Phone Call" });
        list->setSelectedIndex(0);
        list->setDelegate(delegate);
        list->setReference(fnd::String::create("row"));
        m_window->setRootViewController(ui::NavigationController::createWithRootViewController(list));
        m_window->makeKeyAndVisible();
        runUntilIdle();
        table = list->tableView();
        m_window->layoutIfNeeded();
    }

    std::shared_ptr<ui::TableViewCell> row(int index) { return table->cellForRowAtIndexPath({ 0, index }); }

    std::shared_ptr<RecordingListDelegate> delegate = std::make_shared<RecordingListDelegate>();
    std::shared_ptr<SelectionListViewController> list;
    std::shared_ptr<ui::TableView> table;
};

TEST_F(SelectionListTest, OneSectionUnderTheSubtitleWithTheChosenRowChecked)
{
    ASSERT_EQ(table->numberOfSections(), 1);
    EXPECT_EQ(table->headerTitleForSection(0), "Type");
    ASSERT_EQ(table->numberOfRowsInSection(0), 3);
    EXPECT_EQ(row(0)->reuseIdentifier(), "Cell");
    EXPECT_EQ(row(2)->textLabel()->text(), "Phone Call");
    EXPECT_EQ(row(0)->accessoryType(), ui::TableViewCellAccessoryType::Checkmark);
    EXPECT_EQ(row(0)->textLabel()->textColor(), listRed);
    EXPECT_EQ(row(1)->accessoryType(), ui::TableViewCellAccessoryType::None);
    EXPECT_EQ(row(1)->textLabel()->textColor(), gfx::Color::black());
}

TEST_F(SelectionListTest, ATapOnAnotherRowMovesTheCheckAndTellsTheDelegate)
{
    table->selectRowByUser({ 0, 2 });

    EXPECT_EQ(list->selectedIndex(), 2);
    EXPECT_EQ(delegate->choices, std::vector<int32_t> { 2 });
    ASSERT_TRUE(fnd::as<fnd::String>(delegate->lastReference));
    EXPECT_EQ(fnd::as<fnd::String>(delegate->lastReference)->view(), "row");
    EXPECT_EQ(row(0)->accessoryType(), ui::TableViewCellAccessoryType::None);
    EXPECT_EQ(row(0)->textLabel()->textColor(), gfx::Color::black());
    EXPECT_EQ(row(2)->accessoryType(), ui::TableViewCellAccessoryType::Checkmark);
    EXPECT_EQ(row(2)->textLabel()->textColor(), listRed);
    EXPECT_FALSE(table->indexPathForSelectedRow());
}

TEST_F(SelectionListTest, ATapOnTheCheckedRowOnlyDeselectsIt)
{
    table->selectRowByUser({ 0, 0 });

    EXPECT_TRUE(delegate->choices.empty());
    EXPECT_EQ(list->selectedIndex(), 0);
    EXPECT_EQ(row(0)->accessoryType(), ui::TableViewCellAccessoryType::Checkmark);
    EXPECT_FALSE(table->indexPathForSelectedRow());
}

TEST_F(SelectionListTest, ReloadedRowsDoNotKeepAnOldCheck)
{
    table->selectRowByUser({ 0, 1 });
    list->setSelectedIndex(2);
    table->reloadData();
    m_window->layoutIfNeeded();

    EXPECT_EQ(row(1)->accessoryType(), ui::TableViewCellAccessoryType::None);
    EXPECT_EQ(row(1)->textLabel()->textColor(), gfx::Color::black());
    EXPECT_EQ(row(2)->accessoryType(), ui::TableViewCellAccessoryType::Checkmark);
}

}
