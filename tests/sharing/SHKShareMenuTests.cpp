#include "SharingScreenTest.h"
#include "ShareChoiceTestSupport.h"

#include "platform/foundation/String.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationItem.h"
#include "platform/ui/Switch.h"
#include "sharing/ui/SHKActionSheet.h"
#include "sharing/ui/SHKCustomShareMenu.h"
#include "sharing/ui/SHKCustomShareMenuCell.h"

namespace brenzo::testing {

namespace {

class PictureSharer : public RecordingSharer {
public:
    static constexpr std::string_view sharerClassName = "PictureSharer";
    static std::string sharerTitle() { return "Picture"; }
    static bool canShareURL() { return false; }
    static bool canShareImage() { return true; }
};

std::shared_ptr<SwitchableConfigurator> configuratorSortingMenu(bool alphabetical)
{
    auto configurator = std::make_shared<SwitchableConfigurator>();
    configurator->alphabeticalMenu = alphabetical;
    return configurator;
}

fnd::Ref<SHKItem> linkItem()
{
    return SHKItem::createWithURL(fnd::URL::create("https://example.org/brenzo"), std::string("Brenzo"));
}

std::vector<std::string> names(const SHKShareMenu::Section& section)
{
    std::vector<std::string> result;
    for (auto& row : section)
        result.push_back(row.name);
    return result;
}

std::vector<std::string> storedExclusions()
{
    std::vector<std::string> ids;
    if (auto stored = fnd::UserDefaults::standardUserDefaults()->arrayForKey(SHK::excludedSharersKey)) {
        for (auto& id : *stored)
            ids.push_back(fnd::as<fnd::String>(id)->utf8());
    }
    return ids;
}

}

class SHKShareMenuTest : public SharingScreenTest {
protected:
    explicit SHKShareMenuTest(bool alphabetical = false)
        : SharingScreenTest(configuratorSortingMenu(alphabetical))
    {
        startedShares().clear();
    }

    ~SHKShareMenuTest() override { startedShares().clear(); }

    // A menu for the item, on screen through the sharing helper.
    std::shared_ptr<SHKShareMenu> showMenu(fnd::Ref<SHKItem> item)
    {
        auto menu = SHKCustomShareMenu::create(ui::TableViewStyle::Grouped);
        menu->setItem(std::move(item));
        SHK::currentHelper().showViewController(menu);
        settle();
        return menu;
    }

    static std::shared_ptr<ui::Switch> switchOfRow(SHKShareMenu& menu, int row, int section = 0)
    {
        auto cell = menu.tableView()->cellForRowAtIndexPath(ui::IndexPath::forRow(row, section));
        return cell ? std::dynamic_pointer_cast<ui::Switch>(cell->editingAccessoryView()) : nullptr;
    }

    static void pressRightButton(SHKShareMenu& menu)
    {
        menu.navigationItem()->rightBarButtonItem()->press();
    }

    void select(SHKShareMenu& menu, int row, int section = 0)
    {
        menu.tableView()->selectRowByUser(ui::IndexPath::forRow(row, section));
        settle();
    }
};

class SHKAlphabeticalShareMenuTest : public SHKShareMenuTest {
protected:
    SHKAlphabeticalShareMenuTest()
        : SHKShareMenuTest(true)
    {
    }
};

TEST_F(SHKShareMenuTest, SectionsHoldTheOfferedSharersThatCanShareTheItem)
{
    OfferedServicesBundle offered({ "AlphaSharer", "UnusableSharer", "PictureSharer", "MissingSharer" }, { "PictureSharer" });
    ScopedSharerClass<AlphaSharer> alpha;
    ScopedSharerClass<UnusableSharer> unusable;
    ScopedSharerClass<PictureSharer> picture;

    auto menu = showMenu(linkItem());
    EXPECT_EQ(menu->title(), "Share");
    auto& table = *menu->tableView();
    EXPECT_EQ(table.numberOfSections(), 2);
    EXPECT_EQ(menu->tableData()[0], (SHKShareMenu::Section { { "AlphaSharer", "Alpha" } }));
    EXPECT_EQ(table.numberOfRowsInSection(1), 0);
    EXPECT_EQ(table.headerTitleForSection(0), "Actions");
    EXPECT_EQ(table.headerTitleForSection(1), std::nullopt);
    EXPECT_EQ(table.separatorStyle(), ui::TableViewCellSeparatorStyle::SingleLine);

    auto cell = table.cellForRowAtIndexPath(ui::IndexPath::forRow(0, 0));
    ASSERT_TRUE(std::dynamic_pointer_cast<SHKCustomShareMenuCell>(cell));
    EXPECT_EQ(cell->textLabel()->text(), "Alpha");
    EXPECT_EQ(cell->accessoryType(), ui::TableViewCellAccessoryType::DisclosureIndicator);

    menu->setItem(SHKItem::createWithImage(solidImage(4, 4, 1, 0, 0)));
    EXPECT_EQ(names(menu->tableData()[0]), std::vector<std::string> { "Picture" });
    EXPECT_EQ(names(menu->tableData()[1]), std::vector<std::string> { "Picture" });
    EXPECT_EQ(table.numberOfRowsInSection(1), 1);
    EXPECT_EQ(table.headerTitleForSection(1), "Services");
}

// The menu's titles for three offered sharers titled "charlie", "Bravo" and "alpha", in that order.
std::vector<std::string> titlesOfThreeSharers()
{
    OfferedServicesBundle offered({ "Third", "Second", "First" }, {});
    RegisteredTestSharer third("Third");
    third->setTitle("charlie");
    RegisteredTestSharer second("Second");
    second->setTitle("Bravo");
    RegisteredTestSharer first("First");
    first->setTitle("alpha");
    auto menu = SHKCustomShareMenu::create(ui::TableViewStyle::Grouped);
    menu->setItem(linkItem());
    return names(menu->tableData()[0]);
}

TEST_F(SHKShareMenuTest, RowsKeepTheOfferedOrderUnlessSortedByTitle)
{
    EXPECT_EQ(titlesOfThreeSharers(), (std::vector<std::string> { "charlie", "Bravo", "alpha" }));
}

TEST_F(SHKAlphabeticalShareMenuTest, RowsKeepTheOfferedOrderUnlessSortedByTitle)
{
    EXPECT_EQ(titlesOfThreeSharers(), (std::vector<std::string> { "alpha", "Bravo", "charlie" }));
}

TEST_F(SHKShareMenuTest, ASharerSwitchedOffIsHiddenUntilSwitchedOnAndSaved)
{
    OfferedServicesBundle offered({ "First", "Second", "Third" }, {});
    RegisteredTestSharer first("First");
    RegisteredTestSharer second("Second");
    RegisteredTestSharer third("Third");
    fnd::UserDefaults::standardUserDefaults()->setObjectForKey(fnd::Array::create({ fnd::String::create("Second") }), SHK::excludedSharersKey);

    auto menu = showMenu(linkItem());
    auto& table = *menu->tableView();
    EXPECT_EQ(names(menu->tableData()[0]), (std::vector<std::string> { "First", "Third" }));
    EXPECT_EQ(table.numberOfRowsInSection(0), 2);

    // Edit shows every sharer, the excluded one switched off.
    pressRightButton(*menu);
    settle();
    EXPECT_TRUE(table.isEditing());
    EXPECT_EQ(menu->navigationItem()->rightBarButtonItem()->systemItem(), ui::BarButtonSystemItem::Done);
    EXPECT_EQ(table.numberOfRowsInSection(0), 3);
    EXPECT_EQ(menu->editingStyleForRowAtIndexPath(table, ui::IndexPath::forRow(1, 0)), ui::TableViewCellEditingStyle::None);
    ASSERT_TRUE(switchOfRow(*menu, 1));
    EXPECT_FALSE(switchOfRow(*menu, 1)->isOn());
    EXPECT_TRUE(switchOfRow(*menu, 0)->isOn());

    // Switched on again and saved: browsing shows it.
    select(*menu, 1);
    EXPECT_TRUE(switchOfRow(*menu, 1)->isOn());
    EXPECT_FALSE(table.indexPathForSelectedRow());
    EXPECT_EQ(storedExclusions(), std::vector<std::string> { "Second" });
    pressRightButton(*menu);
    settle();
    EXPECT_FALSE(table.isEditing());
    EXPECT_EQ(menu->navigationItem()->rightBarButtonItem()->systemItem(), ui::BarButtonSystemItem::Edit);
    EXPECT_TRUE(storedExclusions().empty());
    EXPECT_EQ(names(menu->tableData()[0]), (std::vector<std::string> { "First", "Second", "Third" }));
    EXPECT_EQ(table.numberOfRowsInSection(0), 3);
    EXPECT_EQ(first->logoutCount() + second->logoutCount() + third->logoutCount(), 0);
}

TEST_F(SHKShareMenuTest, SwitchingOffLogsOutAtOnceAndSavingExcludesFromMenuAndSheetAcrossARelaunch)
{
    OfferedServicesBundle offered({ "First", "Second" }, {});
    RegisteredTestSharer first("First");
    RegisteredTestSharer second("Second");
    SHK::setFavoritesForType({ "First", "Second" }, SHKShareTypeURL);

    auto menu = showMenu(linkItem());
    pressRightButton(*menu);
    select(*menu, 0);
    EXPECT_EQ(first->logoutCount(), 1);
    EXPECT_FALSE(switchOfRow(*menu, 0)->isOn());
    EXPECT_EQ(menu->exclusions(), std::vector<std::string> { "First" });
    pressRightButton(*menu);
    settle();
    EXPECT_EQ(names(menu->tableData()[0]), std::vector<std::string> { "Second" });
    EXPECT_EQ(menu->tableView()->numberOfRowsInSection(0), 1);

    auto sheet = SHKActionSheet::actionSheetForItem(linkItem());
    EXPECT_EQ(sheet->sharers(), std::vector<std::string> { "Second" });

    // A relaunch reads the preferences file again.
    fnd::UserDefaults::setStandardUserDefaults(nullptr);
    SHK::resetForTesting();
    EXPECT_EQ(storedExclusions(), std::vector<std::string> { "First" });
    auto again = SHKCustomShareMenu::create(ui::TableViewStyle::Grouped);
    again->setItem(linkItem());
    EXPECT_EQ(names(again->tableData()[0]), std::vector<std::string> { "Second" });
    EXPECT_EQ(SHKActionSheet::actionSheetForItem(linkItem())->sharers(), std::vector<std::string> { "Second" });
}

TEST_F(SHKShareMenuTest, ASharerSwitchedOffAndOnAgainIsBackAmongTheFavouritesWhereItWas)
{
    OfferedServicesBundle offered({ "First", "Second", "Third" }, {});
    RegisteredTestSharer first("First");
    RegisteredTestSharer second("Second");
    RegisteredTestSharer third("Third");
    SHK::setFavoritesForType({ "First", "Second", "Third" }, SHKShareTypeURL);
    auto switchSecondAndSave = [&] {
        auto menu = showMenu(linkItem());
        pressRightButton(*menu);
        select(*menu, 1);
        pressRightButton(*menu);
        settle();
        SHK::currentHelper().hideCurrentViewController();
        settle();
    };

    switchSecondAndSave();
    EXPECT_EQ(storedExclusions(), std::vector<std::string> { "Second" });
    EXPECT_EQ(SHKActionSheet::actionSheetForItem(linkItem())->sharers(), (std::vector<std::string> { "First", "Third" }));

    switchSecondAndSave();
    EXPECT_TRUE(storedExclusions().empty());
    EXPECT_EQ(SHKActionSheet::actionSheetForItem(linkItem())->sharers(), (std::vector<std::string> { "First", "Second", "Third" }));
}

TEST_F(SHKShareMenuTest, CancelWhileEditingForgetsTheChangesButNotTheLogout)
{
    OfferedServicesBundle offered({ "First", "Second" }, {});
    RegisteredTestSharer first("First");
    RegisteredTestSharer second("Second");

    auto menu = showMenu(linkItem());
    pressRightButton(*menu);
    select(*menu, 1);
    EXPECT_EQ(second->logoutCount(), 1);
    menu->navigationItem()->leftBarButtonItem()->press();
    settle();
    EXPECT_FALSE(SHK::currentHelper().currentView());
    EXPECT_TRUE(storedExclusions().empty());

    auto again = showMenu(linkItem());
    EXPECT_EQ(names(again->tableData()[0]), (std::vector<std::string> { "First", "Second" }));
}

TEST_F(SHKShareMenuTest, AReusedCellShowsItsOwnRowsSwitch)
{
    std::vector<std::string> ids;
    std::vector<std::unique_ptr<RegisteredTestSharer>> sharers;
    auto excluded = fnd::MutableArray::create();
    for (int index = 0; index < 24; ++index) {
        ids.push_back("Sharer" + std::to_string(index));
        sharers.push_back(std::make_unique<RegisteredTestSharer>(ids.back()));
        if (index % 2)
            excluded->addObject(fnd::String::create(ids.back()));
    }
    OfferedServicesBundle offered(ids, {});
    fnd::UserDefaults::standardUserDefaults()->setObjectForKey(excluded, SHK::excludedSharersKey);

    auto menu = showMenu(linkItem());
    pressRightButton(*menu);
    settle();
    auto& table = *menu->tableView();
    ASSERT_EQ(table.numberOfRowsInSection(0), 24);
    size_t cellsMade = table.cellRequestCount();
    for (int row : { 23, 0, 12, 7 }) {
        table.scrollToRowAtIndexPath(ui::IndexPath::forRow(row, 0), ui::TableViewScrollPosition::Middle, false);
        table.layoutIfNeeded();
        for (auto& path : table.indexPathsForVisibleRows()) {
            auto toggle = switchOfRow(*menu, path.row);
            ASSERT_TRUE(toggle) << path.description();
            EXPECT_EQ(toggle->isOn(), path.row % 2 == 0) << path.description();
        }
    }
    EXPECT_GT(table.cellRequestCount(), cellsMade);
}

TEST_F(SHKShareMenuTest, ChoosingARowStartsTheShareAndClosesTheMenu)
{
    OfferedServicesBundle offered({ "AlphaSharer", "BravoSharer" }, {});
    ScopedSharerClass<AlphaSharer> alpha;
    ScopedSharerClass<BravoSharer> bravo;
    auto item = linkItem();

    auto menu = showMenu(item);
    select(*menu, 1);
    ASSERT_EQ(startedShares().size(), 1u);
    EXPECT_EQ(startedShares()[0].sharerClass, "BravoSharer");
    EXPECT_EQ(startedShares()[0].item, item);
    EXPECT_FALSE(SHK::currentHelper().currentView());

    auto gate = std::make_shared<RecordingGate>(false);
    auto gated = showMenu(item);
    gated->setShareDelegate(gate);
    select(*gated, 0);
    EXPECT_EQ(gate->askedSharer, "AlphaSharer");
    EXPECT_EQ(startedShares().size(), 1u);
    EXPECT_FALSE(SHK::currentHelper().currentView());
}

}
