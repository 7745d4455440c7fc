#include "SharingScreenTest.h"
#include "ShareChoiceTestSupport.h"

#include "platform/ui/ModalPanelRegistry.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Toolbar.h"
#include "sharing/ui/SHKActionSheet.h"
#include "sharing/ui/SHKCustomShareMenu.h"

namespace brenzo::testing {

namespace {

std::shared_ptr<SwitchableConfigurator> configuratorShowingMore(bool showsMore)
{
    auto configurator = std::make_shared<SwitchableConfigurator>();
    configurator->showsMoreButton = showsMore;
    return configurator;
}

fnd::Ref<SHKItem> linkItem()
{
    return SHKItem::createWithURL(fnd::URL::create("https://example.org/brenzo"), std::string("Brenzo"));
}

std::vector<std::string> buttonTitles(const ui::ActionSheet& sheet)
{
    std::vector<std::string> titles;
    for (int index = 0; index < sheet.numberOfButtons(); ++index)
        titles.push_back(sheet.buttonTitleAtIndex(index));
    return titles;
}

}

class SHKActionSheetTest : public SharingScreenTest {
protected:
    explicit SHKActionSheetTest(bool showsMore = true)
        : SharingScreenTest(configuratorShowingMore(showsMore))
    {
        startedShares().clear();
    }

    ~SHKActionSheetTest() override { startedShares().clear(); }

    // Shows the sheet as the board does and taps the button.
    void showAndTap(const std::shared_ptr<SHKActionSheet>& sheet, int index)
    {
        auto toolbar = ui::Toolbar::create({ 0, 436, 320, 44 });
        sheet->showFromToolbar(*toolbar);
        ASSERT_TRUE(sheet->isVisible());
        ASSERT_TRUE(sheet->pressButtonAtIndex(index));
        settle();
    }

    OfferedServicesBundle m_offered { { "AlphaSharer", "MissingSharer", "UnusableSharer", "BravoSharer" }, {} };
    ScopedSharerClass<AlphaSharer> m_alpha;
    ScopedSharerClass<BravoSharer> m_bravo;
    ScopedSharerClass<UnusableSharer> m_unusable;
};

class SHKActionSheetWithoutMoreTest : public SHKActionSheetTest {
protected:
    SHKActionSheetWithoutMoreTest()
        : SHKActionSheetTest(false)
    {
    }
};

TEST_F(SHKActionSheetTest, FavouritesWithoutAClassOrThatCannotShareGetNoButtonAndTheRestStayAligned)
{
    SHK::setFavoritesForType({ "MissingSharer", "AlphaSharer", "UnusableSharer", "BravoSharer" }, SHKShareTypeURL);

    auto sheet = SHKActionSheet::actionSheetForType(SHKShareTypeURL);
    EXPECT_EQ(sheet->className(), "SHKCustomActionSheet");
    EXPECT_EQ(sheet->title(), "Share");
    EXPECT_EQ(buttonTitles(*sheet), (std::vector<std::string> { "Alpha", "Bravo", "More...", "Cancel" }));
    EXPECT_EQ(sheet->sharers(), (std::vector<std::string> { "AlphaSharer", "BravoSharer" }));
    EXPECT_EQ(sheet->cancelButtonIndex(), 3);
    ASSERT_TRUE(sheet->item());
    EXPECT_EQ(sheet->item()->shareType(), SHKShareTypeURL);

    showAndTap(sheet, 1);
    ASSERT_EQ(startedShares().size(), 1u);
    EXPECT_EQ(startedShares()[0].sharerClass, "BravoSharer");
    EXPECT_FALSE(sheet->isVisible());
}

TEST_F(SHKActionSheetTest, TheSharerGetsTheCallersItem)
{
    SHK::setFavoritesForType({ "AlphaSharer" }, SHKShareTypeURL);
    auto item = linkItem();
    auto sheet = SHKActionSheet::actionSheetForItem(item);
    EXPECT_EQ(sheet->item(), item);

    showAndTap(sheet, 0);
    ASSERT_EQ(startedShares().size(), 1u);
    EXPECT_EQ(startedShares()[0].sharerClass, "AlphaSharer");
    EXPECT_EQ(startedShares()[0].item, item);
}

TEST_F(SHKActionSheetTest, MoreOpensTheShareMenuAndCancelDoesNothingElse)
{
    SHK::setFavoritesForType({ "AlphaSharer", "BravoSharer" }, SHKShareTypeURL);
    auto item = linkItem();
    auto gate = std::make_shared<RecordingGate>(true);

    auto sheet = SHKActionSheet::actionSheetForItem(item);
    sheet->setShareDelegate(gate);
    showAndTap(sheet, 3);
    EXPECT_FALSE(sheet->isVisible());
    EXPECT_FALSE(SHK::currentHelper().currentView());
    EXPECT_TRUE(startedShares().empty());

    sheet = SHKActionSheet::actionSheetForItem(item);
    sheet->setShareDelegate(gate);
    showAndTap(sheet, 2);
    EXPECT_FALSE(sheet->isVisible());
    auto shown = std::dynamic_pointer_cast<ui::NavigationController>(SHK::currentHelper().currentView());
    ASSERT_TRUE(shown);
    auto menu = std::dynamic_pointer_cast<SHKCustomShareMenu>(shown->topViewController());
    ASSERT_TRUE(menu);
    EXPECT_EQ(menu->tableView()->style(), ui::TableViewStyle::Grouped);
    EXPECT_EQ(menu->item(), item);
    EXPECT_EQ(menu->shareDelegate(), gate);
    EXPECT_TRUE(startedShares().empty());
}

TEST_F(SHKActionSheetTest, AGateThatSaysNoStopsTheShareButTheSheetStillGoes)
{
    SHK::setFavoritesForType({ "AlphaSharer" }, SHKShareTypeURL);
    auto item = linkItem();
    auto gate = std::make_shared<RecordingGate>(false);
    auto sheet = SHKActionSheet::actionSheetForItem(item);
    sheet->setShareDelegate(gate);

    showAndTap(sheet, 0);
    EXPECT_EQ(gate->askedSharer, "AlphaSharer");
    EXPECT_EQ(gate->askedItem, item.get());
    EXPECT_TRUE(startedShares().empty());
    EXPECT_FALSE(sheet->isVisible());
}

TEST_F(SHKActionSheetWithoutMoreTest, WithNothingToOfferOnlyCancelShowsAndDoesNothing)
{
    SHK::setFavoritesForType({ "MissingSharer", "UnusableSharer" }, SHKShareTypeURL);
    auto sheet = SHKActionSheet::actionSheetForItem(linkItem());
    EXPECT_EQ(buttonTitles(*sheet), std::vector<std::string> { "Cancel" });
    EXPECT_EQ(sheet->cancelButtonIndex(), 0);
    EXPECT_TRUE(sheet->sharers().empty());

    showAndTap(sheet, 0);
    EXPECT_FALSE(sheet->isVisible());
    EXPECT_FALSE(SHK::currentHelper().currentView());
    EXPECT_TRUE(startedShares().empty());
}

}
