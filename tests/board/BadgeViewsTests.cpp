#include "TestPictures.h"

#include "board/MultipartLabel.h"
#include "board/TDBadgeView.h"
#include "board/TDBadgedCell.h"
#include "platform/graphics/FixedAdvanceTextMeasurer.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/Renderer.h"
#include "platform/ui/Screen.h"

#include <gtest/gtest.h>

namespace brenzo::testing {

namespace {

// Bold 11-point text is 10 points a character: "abcd" is 40 wide.
constexpr double badgeAdvance = 10.0 / 11;

class BadgeTest : public ::testing::TestWithParam<double> {
protected:
    BadgeTest() { ui::Screen::mainScreen().setScale(GetParam()); }
    ~BadgeTest() override { ui::Screen::mainScreen().setScale(1); }

    std::shared_ptr<TDBadgedCell> laidOutCell(double width, std::optional<std::string> badge,
        ui::TableViewCellAccessoryType accessory = ui::TableViewCellAccessoryType::None)
    {
        auto cell = TDBadgedCell::create(ui::TableViewCellStyle::Subtitle, "cell");
        cell->setFrame({ 0, 0, width, 40 });
        cell->setAccessoryType(accessory);
        cell->textLabel()->setText("Name");
        cell->detailTextLabel()->setText("06 12 34 56 78");
        cell->setBadgeString(std::move(badge));
        cell->layoutIfNeeded();
        return cell;
    }

    gfx::ScopedTextMeasurer m_measurer { std::make_shared<gfx::FixedAdvanceTextMeasurer>(badgeAdvance) };
};

}

TEST_P(BadgeTest, TheBadgeSitsAtTheRightEdgeCentredVertically)
{
    auto cell = laidOutCell(300, "abcd");
    EXPECT_FALSE(cell->badge()->isHidden());
    EXPECT_EQ(cell->badge()->frame(), (gfx::Rect { 254, 11, 53, 18 }));
    EXPECT_EQ(cell->badge()->badgeString(), "abcd");
    EXPECT_EQ(cell->badge()->superview(), cell->contentView());

    auto withAccessory = laidOutCell(300, "abcd", ui::TableViewCellAccessoryType::DisclosureIndicator);
    auto contentWidth = withAccessory->contentView()->bounds().width();
    EXPECT_EQ(withAccessory->badge()->frame(), (gfx::Rect { contentWidth - 65, 11, 53, 18 }));
}

TEST_P(BadgeTest, TheBadgeShowsOnlyWithTextAndNotWhileEditing)
{
    auto cell = laidOutCell(300, std::nullopt);
    EXPECT_TRUE(cell->badge()->isHidden());
    cell->setBadgeString("work");
    cell->layoutIfNeeded();
    EXPECT_FALSE(cell->badge()->isHidden());

    cell->setEditing(true);
    EXPECT_TRUE(cell->badge()->isHidden());
    cell->setNeedsLayout();
    cell->layoutIfNeeded();
    EXPECT_TRUE(cell->badge()->isHidden());
    cell->setEditing(false);
    EXPECT_FALSE(cell->badge()->isHidden());
}

TEST_P(BadgeTest, LabelsRunningUnderTheBadgeAreNarrowedButNeverBelowNothing)
{
    auto cell = laidOutCell(300, "abcd");
    // The detail starts 10 points in and would end 10 points before the edge: 280 wide.
    EXPECT_EQ(cell->detailTextLabel()->frame().minX(), 10);
    EXPECT_EQ(cell->detailTextLabel()->frame().width(), 280 - 63);

    auto narrow = laidOutCell(60, "abcd");
    EXPECT_EQ(narrow->detailTextLabel()->frame().width(), 0);
    EXPECT_GE(narrow->multipartLabel()->frame().width(), 0);

    auto shortBadge = laidOutCell(300, "a");
    EXPECT_EQ(shortBadge->detailTextLabel()->frame().width(), 280 - 33);
}

TEST_P(BadgeTest, TheCellRoundsItsPictureAndPassesItsColoursOn)
{
    auto cell = TDBadgedCell::create(ui::TableViewCellStyle::Subtitle, "cell");
    cell->setFrame({ 0, 0, 300, 40 });
    cell->imageView()->setImage(solidPicture({ 160, 160 }, { 0, 1, 0 }));
    cell->setBadgeString("mobile");
    cell->layoutIfNeeded();
    auto& pictureLayer = cell->imageView()->layer();
    EXPECT_EQ(pictureLayer.cornerRadius(), 10);
    EXPECT_TRUE(pictureLayer.masksToBounds());
    EXPECT_EQ(pictureLayer.borderWidth(), 1);
    EXPECT_EQ(pictureLayer.borderColor(), gfx::Color::black());
    EXPECT_EQ(cell->badge()->badgeColor(), TDBadgeView::defaultColor);
    EXPECT_EQ(cell->badge()->badgeColorHighlighted(), TDBadgeView::defaultHighlightedColor);

    gfx::Color green { 45.0 / 255, 242.0 / 255, 140.0 / 255, 1 };
    cell->setBadgeColor(green);
    cell->layoutIfNeeded();
    EXPECT_EQ(cell->badge()->currentColor(), green);
    cell->setSelected(true);
    EXPECT_EQ(cell->badge()->currentColor(), TDBadgeView::defaultHighlightedColor);
    cell->setSelectionStyle(ui::TableViewCellSelectionStyle::None);
    EXPECT_EQ(cell->badge()->currentColor(), green);
}

TEST_P(BadgeTest, ShadowsFollowTheHighlightWhenAskedFor)
{
    auto cell = laidOutCell(300, "abcd");
    cell->setHighlighted(true);
    EXPECT_FALSE(cell->textLabel()->layer().hasShadow());

    cell->setShowShadow(true);
    cell->layoutIfNeeded();
    cell->setHighlighted(true);
    for (ui::View* label : { static_cast<ui::View*>(cell->textLabel().get()), static_cast<ui::View*>(cell->detailTextLabel().get()),
             static_cast<ui::View*>(cell->multipartLabel().get()) }) {
        EXPECT_EQ(label->layer().shadowOpacity(), 0.8);
        EXPECT_EQ(label->layer().shadowOffset(), (gfx::Size { 0, 1 }));
        EXPECT_EQ(label->layer().shadowRadius(), 1);
    }
    ui::Renderer::renderView(*cell->badge());
    EXPECT_EQ(cell->badge()->layer().shadowOpacity(), 0.8);
    cell->setHighlighted(false);
    ui::Renderer::renderView(*cell->badge());
    EXPECT_EQ(cell->badge()->layer().shadowOpacity(), 0);
}

TEST_P(BadgeTest, TheLozengeIsDrawnAtTheScreensResolutionWithItsTextCutOut)
{
    double scale = GetParam();
    auto cell = laidOutCell(300, "WWWW");
    auto& badge = *cell->badge();
    gfx::Color lozengeColor { 0, 0, 1, 1 };
    badge.setBadgeColor(lozengeColor);

    auto lozenge = badge.lozengeImage(badge.bounds());
    ASSERT_TRUE(lozenge);
    EXPECT_EQ(lozenge->rawImage()->width(), size_t(53 * scale));
    EXPECT_EQ(lozenge->rawImage()->height(), size_t(18 * scale));

    auto drawn = ui::Renderer::renderView(badge, scale);
    ASSERT_TRUE(drawn);
    EXPECT_EQ(drawn->size(), (gfx::Size { 53, 18 }));
    // Rounded corners, the colour at the ends, and letters that show what lies beneath.
    EXPECT_EQ(drawn->pixelAt(0, 0).alpha, 0);
    EXPECT_PRED3(isNear, drawn->pixelAt(size_t(2 * scale), size_t(9 * scale)), pixelOf(lozengeColor), 3);
    size_t cutOut = 0;
    for (size_t y = size_t(4 * scale); y < size_t(14 * scale); ++y) {
        for (size_t x = size_t(8 * scale); x < size_t(45 * scale); ++x)
            cutOut += drawn->pixelAt(x, y).alpha == 0;
    }
    EXPECT_GT(cutOut, size_t(20 * scale * scale));
}

INSTANTIATE_TEST_SUITE_P(AtScale, BadgeTest, ::testing::Values(1.0, 2.0));

class MultipartLabelTest : public ::testing::Test {
protected:
    MultipartLabelTest()
    {
        m_label->updateNumberOfLabels(3);
        m_label->setTextAndFontForLabel("ab", gfx::Font::systemFont(10), 0);
        m_label->setTextAndFontAndColorForLabel("cde", gfx::Font::systemFont(10), { 0, 0, 1, 1 }, 1);
        m_label->setTextAndFontForLabel("f", gfx::Font::systemFont(20), 2);
    }

    std::vector<gfx::Rect> partFrames() const
    {
        std::vector<gfx::Rect> frames;
        for (auto& part : m_label->labels())
            frames.push_back(part->frame());
        return frames;
    }

    // Five points a character at 10 points; text is measured in whole points, rounded up.
    gfx::ScopedTextMeasurer m_measurer { std::make_shared<gfx::FixedAdvanceTextMeasurer>() };
    std::shared_ptr<MultipartLabel> m_label = MultipartLabel::create({ 0, 0, 100, 40 });
};

TEST_F(MultipartLabelTest, PartsSitSideBySideAtTheTopLeft)
{
    EXPECT_EQ(m_label->contentMode(), ui::ContentMode::ScaleToFill);
    EXPECT_EQ(partFrames(), (std::vector<gfx::Rect> { { 0, 0, 10, 13 }, { 10, 0, 15, 13 }, { 25, 0, 10, 25 } }));
    EXPECT_EQ(m_label->labels()[1]->textColor(), (gfx::Color { 0, 0, 1, 1 }));
    EXPECT_EQ(m_label->containerView()->frame(), (gfx::Rect { 0, 0, 100, 40 }));
}

TEST_F(MultipartLabelTest, APartThatIsOnlyABlankTakesRoom)
{
    m_label->setTextForLabel(" ", 1);
    EXPECT_EQ(partFrames()[1], (gfx::Rect { 10, 0, 5, 13 }));
    EXPECT_EQ(partFrames()[2].minX(), 15);
}

TEST_F(MultipartLabelTest, TheContentModeAlignsTheRow)
{
    m_label->setContentMode(ui::ContentMode::Center);
    m_label->updateLayout();
    // 35 wide in all: 32.5 from the left, truncated.
    EXPECT_EQ(partFrames(), (std::vector<gfx::Rect> { { 32, 13, 10, 13 }, { 42, 13, 15, 13 }, { 57, 7, 10, 25 } }));

    m_label->setContentMode(ui::ContentMode::BottomRight);
    m_label->updateLayout();
    EXPECT_EQ(partFrames(), (std::vector<gfx::Rect> { { 65, 27, 10, 13 }, { 75, 27, 15, 13 }, { 90, 15, 10, 25 } }));

    m_label->setContentMode(ui::ContentMode::Bottom);
    m_label->updateLayout();
    EXPECT_EQ(partFrames()[0], (gfx::Rect { 0, 27, 10, 13 }));
}

TEST_F(MultipartLabelTest, AnIndexOutsideThePartsChangesNothingButLaysThemOutAgain)
{
    m_label->labels()[0]->setText("abcdef");
    m_label->setTextForLabel("zzz", 3);
    m_label->setTextForLabel("zzz", -1);
    EXPECT_EQ(m_label->labels()[0]->text(), "abcdef");
    EXPECT_EQ(m_label->labels()[1]->text(), "cde");
    EXPECT_EQ(m_label->labels()[2]->text(), "f");
    EXPECT_EQ(partFrames()[1], (gfx::Rect { 30, 0, 15, 13 }));
}

TEST_F(MultipartLabelTest, NewPartsReplaceTheOldOnesAndEmptyPartsTakeNoRoom)
{
    auto oldContainer = m_label->containerView();
    m_label->updateNumberOfLabels(2);
    EXPECT_FALSE(oldContainer->superview());
    EXPECT_EQ(m_label->containerView()->subviews().size(), 2u);
    EXPECT_EQ(m_label->subviews().size(), 1u);
    m_label->setTextForLabel("abc", 1);
    // A new part has the label's own 17-point font.
    EXPECT_EQ(partFrames(), (std::vector<gfx::Rect> { { 0, 0, 0, 0 }, { 0, 0, 26, 22 } }));
    m_label->updateNumberOfLabels(0);
    EXPECT_TRUE(m_label->labels().empty());
}

}
