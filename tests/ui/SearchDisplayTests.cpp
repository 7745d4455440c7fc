#include "UITest.h"

#include "platform/foundation/Unicode.h"
#include "platform/ui/Label.h"
#include "platform/ui/PressFinder.h"
#include "platform/ui/SearchBar.h"
#include "platform/ui/SearchDisplayController.h"
#include "platform/ui/TableViewController.h"
#include "platform/ui/TerminalDriver.h"

#include <sstream>

namespace brenzo::testing {
namespace {

// A list of names with a search bar as its header; the search keeps the names that contain the text.
class NamesController : public ui::TableViewController, public ui::SearchDisplayDelegate {
public:
    NamesController()
        : TableViewController(ui::TableViewStyle::Plain)
    {
    }

    void viewDidLoad() override
    {
        auto self = std::static_pointer_cast<NamesController>(sharedAs<ui::TableViewController>());
        bar = ui::SearchBar::create({ 0, 0, 320, 44 });
        bar->setPlaceholder("Search");
        tableView()->setTableHeaderView(bar);
        search = ui::SearchDisplayController::create(bar, self);
        search->setDelegate(self);
        search->setSearchResultsDataSource(self);
        search->setSearchResultsDelegate(self);
    }

    const std::vector<std::string>& shown(ui::TableView& table) { return &table == search->searchResultsTableView().get() ? filtered : names; }

    int numberOfRowsInSection(ui::TableView& table, int) override { return static_cast<int>(shown(table).size()); }
    std::shared_ptr<ui::TableViewCell> cellForRowAtIndexPath(ui::TableView& table, const ui::IndexPath& indexPath) override
    {
        auto cell = table.dequeueReusableCellWithIdentifier("Name");
        if (!cell)
            cell = ui::TableViewCell::create(ui::TableViewCellStyle::Default, "Name");
        cell->textLabel()->setText(shown(table)[indexPath.row]);
        return cell;
    }
    void didSelectRowAtIndexPath(ui::TableView& table, const ui::IndexPath& indexPath) override { picked.push_back(shown(table)[indexPath.row]); }

    void searchDisplayControllerDidBeginSearch(ui::SearchDisplayController&) override { log.push_back("began"); }
    void searchDisplayControllerDidEndSearch(ui::SearchDisplayController&) override { log.push_back("ended"); }
    bool shouldReloadTableForSearchString(ui::SearchDisplayController&, const std::string& text) override
    {
        log.push_back("filter \"" + text + "\"");
        filtered.clear();
        for (auto& name : names) {
            if (!text.empty() && fnd::unicode::containsIgnoringCaseAndDiacritics(name, text))
                filtered.push_back(name);
        }
        return reloads;
    }

    bool shouldReloadTableForSearchScope(ui::SearchDisplayController&, int scope) override
    {
        log.push_back("scope " + std::to_string(scope));
        return true;
    }

    std::vector<std::string> names { "Martin Jo\u00ebl", "Smith John", "Ann Lee", "Bob Jones" };
    std::vector<std::string> filtered;
    std::vector<std::string> log;
    std::vector<std::string> picked;
    bool reloads = true;
    std::shared_ptr<ui::SearchBar> bar;
    std::shared_ptr<ui::SearchDisplayController> search;
};

std::vector<std::string> rowTexts(ui::TableView& table)
{
    std::vector<std::string> texts;
    for (auto& cell : table.visibleCells())
        texts.push_back(cell->textLabel()->text());
    return texts;
}

using SearchDisplayTest = UITest;

TEST_F(SearchDisplayTest, FiltersThroughTheDelegateAndCancelRestoresTheTable)
{
    auto window = makeKeyWindow();
    auto controller = std::make_shared<NamesController>();
    window->setRootViewController(controller);
    runUntilIdle();
    auto results = controller->search->searchResultsTableView();
    EXPECT_FALSE(controller->search->isActive());

    std::ostringstream output;
    ui::TerminalDriver terminal(output);
    terminal.execute("press \"Search\"", 1);
    EXPECT_TRUE(controller->search->isActive());
    EXPECT_TRUE(controller->bar->showsCancelButton());
    EXPECT_FALSE(controller->search->isShowingResults());

    terminal.execute("type \"jo\"", 2);
    EXPECT_TRUE(controller->search->isShowingResults());
    EXPECT_EQ(rowTexts(*results), (std::vector<std::string> { "Martin Jo\u00ebl", "Smith John", "Bob Jones" }));
    // The results lie over the list below the bar.
    EXPECT_EQ(results->frame(), gfx::Rect(0, 20 + 44, 320, 460 - 44));

    // A pick in the results reaches the delegate with the filtered row.
    terminal.execute("press \"Bob Jones\"", 3);
    EXPECT_EQ(controller->picked, std::vector<std::string> { "Bob Jones" });

    // A delegate that answers no leaves the results as they were.
    controller->reloads = false;
    terminal.execute("type \"h\"", 4);
    EXPECT_EQ(rowTexts(*results).size(), 3u);

    terminal.execute("press \"Cancel\"", 5);
    EXPECT_EQ(output.str(), "");
    EXPECT_FALSE(controller->search->isActive());
    EXPECT_FALSE(controller->search->isShowingResults());
    EXPECT_EQ(controller->bar->text(), "");
    EXPECT_FALSE(controller->bar->isFirstResponder());
    EXPECT_EQ(controller->log, (std::vector<std::string> { "began", "filter \"jo\"", "filter \"joh\"", "ended" }));
    EXPECT_EQ(rowTexts(*controller->tableView()), controller->names);
    EXPECT_EQ(ui::PressFinder::press("Ann Lee").status, ui::PressFinder::Result::Status::Pressed);
    EXPECT_EQ(controller->picked.back(), "Ann Lee");
}

TEST_F(SearchDisplayTest, ScopeChangesAskToo)
{
    auto bar = ui::SearchBar::create({ 0, 0, 320, 44 });
    bar->setScopeButtonTitles({ "All", "Mobile" });
    auto controller = std::make_shared<NamesController>();
    auto search = ui::SearchDisplayController::create(bar, controller);
    search->setDelegate(controller);
    bar->selectScopeButtonIndex(1);
    bar->selectScopeButtonIndex(5);
    EXPECT_EQ(bar->selectedScopeButtonIndex(), 1);
    EXPECT_EQ(controller->log, std::vector<std::string> { "scope 1" });
}

}
}
