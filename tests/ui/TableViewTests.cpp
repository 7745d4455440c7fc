#include "UITest.h"

#include "platform/foundation/Exception.h"
#include "platform/graphics/ImageContext.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/PressFinder.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TableViewController.h"
#include "platform/ui/TouchDriver.h"

#include <set>

namespace brenzo::testing {
namespace {

// Sections of numbered rows; counts that tests change to exercise batch updates.
class RowsController : public ui::TableViewController {
public:
    explicit RowsController(std::vector<int> counts, ui::TableViewStyle style = ui::TableViewStyle::Plain)
        : TableViewController(style)
        , counts(std::move(counts))
    {
    }

    int numberOfSectionsInTableView(ui::TableView&) override { return static_cast<int>(counts.size()); }
    int numberOfRowsInSection(ui::TableView&, int section) override { return counts[section]; }
    std::optional<std::string> titleForHeaderInSection(ui::TableView&, int section) override
    {
        if (!headers)
            return std::nullopt;
        return std::string(1, char('A' + section));
    }
    std::vector<std::string> sectionIndexTitlesForTableView(ui::TableView&) override
    {
        if (!headers)
            return {};
        std::vector<std::string> titles;
        for (size_t section = 0; section < counts.size(); ++section)
            titles.push_back(std::string(1, char('A' + section)));
        return titles;
    }
    std::shared_ptr<ui::TableViewCell> cellForRowAtIndexPath(ui::TableView& table, const ui::IndexPath& indexPath) override
    {
        ++requests;
        auto cell = table.dequeueReusableCellWithIdentifier("Row");
        if (!cell) {
            cell = ui::TableViewCell::create(ui::TableViewCellStyle::Default, "Row");
            madeCells.insert(cell.get());
        }
        cell->textLabel()->setText("Row " + std::to_string(indexPath.section) + "." + std::to_string(indexPath.row));
        return cell;
    }
    std::optional<ui::IndexPath> willSelectRowAtIndexPath(ui::TableView&, const ui::IndexPath& indexPath) override
    {
        if (refuseSelection)
            return std::nullopt;
        return indexPath;
    }
    std::optional<std::string> titleForFooterInSection(ui::TableView&, int section) override
    {
        if (!headers || section != 0)
            return std::nullopt;
        return std::string("Footer");
    }
    std::optional<double> heightForRowAtIndexPath(ui::TableView&, const ui::IndexPath& indexPath) override
    {
        if (tallFirstRow && indexPath.row == 0)
            return 100;
        return std::nullopt;
    }
    void didSelectRowAtIndexPath(ui::TableView&, const ui::IndexPath& indexPath) override { selections.push_back(indexPath); }
    void didDeselectRowAtIndexPath(ui::TableView&, const ui::IndexPath& indexPath) override { deselections.push_back(indexPath); }

    std::vector<int> counts;
    bool headers = false;
    bool refuseSelection = false;
    bool tallFirstRow = false;
    size_t requests = 0;
    std::set<const ui::TableViewCell*> madeCells;
    std::vector<ui::IndexPath> selections;
    std::vector<ui::IndexPath> deselections;
};

class TableViewTest : public UITest {
protected:
    std::shared_ptr<RowsController> show(std::vector<int> counts, ui::TableViewStyle style = ui::TableViewStyle::Plain, bool headers = false)
    {
        m_window = makeKeyWindow();
        auto controller = std::make_shared<RowsController>(std::move(counts), style);
        controller->headers = headers;
        m_window->setRootViewController(controller);
        runUntilIdle();
        m_window->layoutIfNeeded();
        return controller;
    }

    std::shared_ptr<ui::Window> m_window;
};

std::string textOf(const std::shared_ptr<ui::TableViewCell>& cell)
{
    return cell ? cell->textLabel()->text() : "(none)";
}

TEST_F(TableViewTest, LargeTableAsksOnlyForVisibleRowsAndReusesCellsWhileScrolling)
{
    auto controller = show({ 10000 });
    auto table = controller->tableView();
    // 460 points of 44-point rows: eleven rows, the last one partly.
    EXPECT_EQ(controller->requests, 11u);
    EXPECT_EQ(table->visibleCells().size(), 11u);
    EXPECT_EQ(table->contentSize().height, 440000);

    for (int step = 1; step <= 200; ++step) {
        table->setContentOffset({ 0, step * 37.0 });
        table->layoutIfNeeded();
        EXPECT_LE(table->visibleCells().size(), 12u);
    }
    auto visible = table->indexPathsForVisibleRows();
    ASSERT_FALSE(visible.empty());
    EXPECT_EQ(visible.front(), ui::IndexPath::forRow(7400 / 44, 0));
    EXPECT_EQ(textOf(table->cellForRowAtIndexPath(visible.front())), "Row 0." + std::to_string(7400 / 44));
    // Rows that left the screen handed their cells back: only a screenful was ever made.
    EXPECT_LE(controller->madeCells.size(), 13u);
    EXPECT_LT(controller->requests, 200u);
    EXPECT_EQ(table->cellForRowAtIndexPath(ui::IndexPath::forRow(0, 0)), nullptr);

    // A jump to the end shows the last rows.
    table->scrollToRowAtIndexPath(ui::IndexPath::forRow(9999, 0), ui::TableViewScrollPosition::Bottom, false);
    EXPECT_EQ(textOf(table->cellForRowAtIndexPath(ui::IndexPath::forRow(9999, 0))), "Row 0.9999");
    EXPECT_LE(controller->madeCells.size(), 13u);
}

TEST_F(TableViewTest, SectionsTitlesAndIndex)
{
    auto controller = show({ 3, 0, 20 }, ui::TableViewStyle::Plain, true);
    auto table = controller->tableView();
    EXPECT_EQ(table->numberOfSections(), 3);
    EXPECT_EQ(table->numberOfRowsInSection(2), 20);
    EXPECT_EQ(table->headerTitleForSection(1), "B");
    EXPECT_EQ(table->sectionIndexTitles(), (std::vector<std::string> { "A", "B", "C" }));

    // Header bands of 22 points come before their rows.
    EXPECT_EQ(table->rectForHeaderInSection(0), gfx::Rect(0, 0, 320, 22));
    EXPECT_EQ(table->rectForRowAtIndexPath(ui::IndexPath::forRow(0, 0)).minY(), 22);
    EXPECT_EQ(table->footerTitleForSection(0), "Footer");
    EXPECT_EQ(table->rectForFooterInSection(0), gfx::Rect(0, 22 + 3 * 44, 320, 22));
    EXPECT_EQ(table->rectForRowAtIndexPath(ui::IndexPath::forRow(0, 2)).minY(), 22 + 3 * 44 + 22 + 22 + 22);
    // The index takes the right edge, so rows stop short of it.
    EXPECT_EQ(table->rectForRowAtIndexPath(ui::IndexPath::forRow(0, 0)).width(), 300);
    EXPECT_TRUE(table->rectForRowAtIndexPath(ui::IndexPath::forRow(5, 1)).isEmpty());

    // A touch on the index's last letter shows section C at the top.
    table->selectSectionIndexTitle(2);
    EXPECT_EQ(table->contentOffset().y, table->rectForSection(2).minY());
    EXPECT_EQ(textOf(table->visibleCells().front()), "Row 2.0");
}

TEST_F(TableViewTest, RowHeightsComeFromTheDelegateOrTheTable)
{
    m_window = makeKeyWindow();
    auto controller = std::make_shared<RowsController>(std::vector<int> { 20 });
    controller->tallFirstRow = true;
    m_window->setRootViewController(controller);
    runUntilIdle();
    auto table = controller->tableView();
    table->setRowHeight(40);
    EXPECT_EQ(table->rectForRowAtIndexPath(ui::IndexPath::forRow(0, 0)).height(), 100);
    EXPECT_EQ(table->rectForRowAtIndexPath(ui::IndexPath::forRow(1, 0)), gfx::Rect(0, 100, 320, 40));
    EXPECT_EQ(table->indexPathForRowAtPoint({ 10, 139 }), ui::IndexPath::forRow(1, 0));
    EXPECT_EQ(table->contentSize().height, 100 + 19 * 40);
    // 460 points: the tall row and nine more, the last of them partly.
    EXPECT_EQ(table->visibleCells().size(), 10u);
}

TEST_F(TableViewTest, GroupedRowsAreInsetBetweenGaps)
{
    auto controller = show({ 1, 2 }, ui::TableViewStyle::Grouped, true);
    auto table = controller->tableView();
    // 10-point gap, 36-point header, the row, inset and clear of the 20-point section index.
    EXPECT_EQ(table->rectForRowAtIndexPath(ui::IndexPath::forRow(0, 0)), gfx::Rect(10, 46, 280, 44));
    // The first section has a 30-point footer title.
    EXPECT_EQ(table->rectForSection(1).minY(), 10 + 36 + 44 + 30 + 10);
    EXPECT_EQ(table->visibleCells().front()->frame(), gfx::Rect(10, 46, 280, 44));
}

TEST_F(TableViewTest, TapsAndPressesSelectThroughTheDelegate)
{
    auto controller = show({ 5 });
    auto table = controller->tableView();
    ui::TouchDriver touches;
    // Row 2 lies at 88..132 in the table, which starts at y 20 on screen.
    touches.tap({ 100, 20 + 100 });
    ASSERT_EQ(controller->selections.size(), 1u);
    EXPECT_EQ(controller->selections[0], ui::IndexPath::forRow(2, 0));
    EXPECT_EQ(table->indexPathForSelectedRow(), ui::IndexPath::forRow(2, 0));
    EXPECT_TRUE(table->cellForRowAtIndexPath(ui::IndexPath::forRow(2, 0))->isSelected());

    // Pressing another row by its text moves the selection, telling the delegate of both.
    EXPECT_EQ(ui::PressFinder::press("Row 0.4").status, ui::PressFinder::Result::Status::Pressed);
    EXPECT_EQ(controller->deselections, std::vector<ui::IndexPath> { ui::IndexPath::forRow(2, 0) });
    EXPECT_EQ(controller->selections.back(), ui::IndexPath::forRow(4, 0));
    EXPECT_FALSE(table->cellForRowAtIndexPath(ui::IndexPath::forRow(2, 0))->isSelected());

    // The program's deselection tells nobody.
    table->deselectRowAtIndexPath(ui::IndexPath::forRow(4, 0), true);
    EXPECT_FALSE(table->indexPathForSelectedRow());
    EXPECT_EQ(controller->deselections.size(), 1u);

    // A delegate that refuses keeps the row unselected.
    controller->refuseSelection = true;
    touches.tap({ 100, 20 + 10 });
    EXPECT_EQ(controller->selections.size(), 2u);
    EXPECT_FALSE(table->indexPathForSelectedRow());
}

TEST_F(TableViewTest, DraggingScrollsWithoutSelecting)
{
    auto controller = show({ 100 });
    auto table = controller->tableView();
    ui::TouchDriver touches;
    touches.drag({ 100, 400 }, { 100, 200 }, 10);
    EXPECT_TRUE(controller->selections.empty());
    EXPECT_GT(table->contentOffset().y, 150);
    EXPECT_FALSE(table->cellForRowAtIndexPath(ui::IndexPath::forRow(0, 0)));
}

TEST_F(TableViewTest, EditingBlocksSelectionUnlessAllowed)
{
    auto controller = show({ 3 });
    auto table = controller->tableView();
    controller->setEditing(true);
    EXPECT_TRUE(table->cellForRowAtIndexPath(ui::IndexPath::forRow(0, 0))->isEditing());
    table->layoutIfNeeded();
    // Editing indents the content past the delete control.
    EXPECT_EQ(table->cellForRowAtIndexPath(ui::IndexPath::forRow(0, 0))->contentView()->frame().minX(), 32);
    table->selectRowByUser(ui::IndexPath::forRow(1, 0));
    EXPECT_TRUE(controller->selections.empty());
    table->setAllowsSelectionDuringEditing(true);
    table->selectRowByUser(ui::IndexPath::forRow(1, 0));
    EXPECT_EQ(controller->selections.size(), 1u);
}

TEST_F(TableViewTest, BatchUpdatesMustMatchTheDataSource)
{
    auto controller = show({ 4, 2 });
    auto table = controller->tableView();
    auto secondRow = table->cellForRowAtIndexPath(ui::IndexPath::forRow(2, 0));
    table->selectRowAtIndexPath(ui::IndexPath::forRow(3, 0), false, ui::TableViewScrollPosition::None);

    // Deleting a row the data source still counts is refused, and the table stays as it was.
    try {
        table->deleteRowsAtIndexPaths({ ui::IndexPath::forRow(0, 0) }, ui::TableViewRowAnimation::Fade);
        FAIL() << "an inconsistent update was accepted";
    } catch (const fnd::Exception& exception) {
        EXPECT_EQ(exception.name(), ui::TableView::inconsistencyException);
        EXPECT_NE(std::string(exception.reason()).find("section 0 has 4 rows after the update, but had 4 before, with 0 inserted and 1 deleted"),
            std::string::npos)
            << exception.reason();
    }
    EXPECT_EQ(table->numberOfRowsInSection(0), 4);

    // Rows outside the old or new ranges are refused too.
    controller->counts = { 5, 2 };
    EXPECT_THROW(table->insertRowsAtIndexPaths({ ui::IndexPath::forRow(5, 0) }, ui::TableViewRowAnimation::Fade), fnd::Exception);
    EXPECT_THROW(table->deleteSections({ 7 }, ui::TableViewRowAnimation::Fade), fnd::Exception);

    // A consistent batch: row 0 deleted, two rows inserted at the top; the rows that stay keep their
    // cells and the selection follows its row.
    controller->counts = { 5, 2 };
    table->beginUpdates();
    table->deleteRowsAtIndexPaths({ ui::IndexPath::forRow(0, 0) }, ui::TableViewRowAnimation::Fade);
    table->insertRowsAtIndexPaths({ ui::IndexPath::forRow(0, 0), ui::IndexPath::forRow(1, 0) }, ui::TableViewRowAnimation::Fade);
    table->endUpdates();
    EXPECT_EQ(table->numberOfRowsInSection(0), 5);
    EXPECT_EQ(table->cellForRowAtIndexPath(ui::IndexPath::forRow(3, 0)), secondRow);
    EXPECT_EQ(table->indexPathForSelectedRow(), ui::IndexPath::forRow(4, 0));

    // Sections: deleting the first moves the second up.
    controller->counts = { 2 };
    table->deleteSections({ 0 }, ui::TableViewRowAnimation::Fade);
    EXPECT_EQ(table->numberOfSections(), 1);
    EXPECT_FALSE(table->indexPathForSelectedRow());
    EXPECT_EQ(textOf(table->cellForRowAtIndexPath(ui::IndexPath::forRow(1, 0))), "Row 1.1");
}

TEST_F(TableViewTest, ReloadAsksAgainAndClearsTheSelection)
{
    auto controller = show({ 2 });
    auto table = controller->tableView();
    table->selectRowAtIndexPath(ui::IndexPath::forRow(1, 0), false, ui::TableViewScrollPosition::None);
    controller->counts = { 1 };
    table->reloadData();
    EXPECT_EQ(table->numberOfRowsInSection(0), 1);
    EXPECT_EQ(table->visibleCells().size(), 1u);
    EXPECT_FALSE(table->indexPathForSelectedRow());
}

TEST(TableViewCellTest, LayoutLeavesRoomForTheAccessoryImageAndEditing)
{
    gfx::ScopedTextMeasurer measurer(std::make_shared<gfx::FixedAdvanceTextMeasurer>());
    auto cell = ui::TableViewCell::create(ui::TableViewCellStyle::Subtitle, "Cell");
    cell->setFrame({ 0, 0, 320, 44 });
    cell->textLabel()->setText("Title");
    cell->detailTextLabel()->setText("Detail");
    cell->layoutIfNeeded();
    EXPECT_EQ(cell->contentView()->frame(), gfx::Rect(0, 0, 320, 44));
    EXPECT_EQ(cell->textLabel()->frame().minX(), 10);
    EXPECT_EQ(cell->textLabel()->frame().width(), 300);
    EXPECT_LT(cell->textLabel()->frame().maxY(), cell->detailTextLabel()->frame().maxY());

    cell->setAccessoryType(ui::TableViewCellAccessoryType::DisclosureIndicator);
    cell->layoutIfNeeded();
    EXPECT_EQ(cell->contentView()->frame().width(), 290);

    auto accessory = ui::View::create({ 0, 0, 94, 27 });
    cell->setAccessoryView(accessory);
    cell->layoutIfNeeded();
    EXPECT_EQ(accessory->frame(), gfx::Rect(320 - 10 - 94, 9, 94, 27));
    EXPECT_EQ(cell->contentView()->frame().width(), 320 - 94 - 20);

    cell->imageView()->setImage(gfx::ImageContext::create({ 80, 80 }, false, 1)->image());
    cell->setNeedsLayout();
    cell->layoutIfNeeded();
    EXPECT_EQ(cell->imageView()->frame(), gfx::Rect(0, 0, 44, 44));
    EXPECT_EQ(cell->textLabel()->frame().minX(), 54);

    // A selected cell shows its labels highlighted unless it has no selection style.
    cell->setSelected(true);
    EXPECT_TRUE(cell->textLabel()->isHighlighted());
    cell->setSelectionStyle(ui::TableViewCellSelectionStyle::None);
    cell->setHighlighted(true);
    EXPECT_FALSE(cell->textLabel()->isHighlighted());
}

TEST(TableViewCellTest, PressTextsJoinLabelsLaidSideBySide)
{
    auto cell = ui::TableViewCell::create(ui::TableViewCellStyle::Default, "Cell");
    cell->textLabel()->setText("plain");
    auto parts = ui::View::create({ 0, 0, 200, 20 });
    for (auto [text, x] : { std::pair { "Jean", 0.0 }, { " ", 50.0 }, { "Dupont", 60.0 } }) {
        auto label = ui::Label::create({ x, 0, 40, 20 });
        label->setText(text);
        parts->addSubview(label);
    }
    cell->textLabel()->addSubview(parts);
    auto texts = cell->pressTexts();
    EXPECT_NE(std::find(texts.begin(), texts.end(), "Jean Dupont"), texts.end());
    EXPECT_NE(std::find(texts.begin(), texts.end(), "plain"), texts.end());
}

}
}
