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

// Layouts at the screen scales 1 and 2, with bold 11-point text 10 points a character.
class BadgeTest : public ::testing::TestWithParam<double> {
protected:
    BadgeTest() { ui::Screen::mainScreen().setScale(GetParam()); }
    ~BadgeTest() override { ui::Screen::mainScreen().setScale(1); }

    static std::shared_ptr<TDBadgedCell> laidOutCell(double width, std::optional<std::string> badge,
        ui::TableViewCellAccessoryType accessory = ui::TableViewCellAccessoryType::None)
    {
        auto cell = TDBadgedCell::create(ui::TableViewCellStyle::Subtitle, "cell");
        cell->setFrame({ 0, 0, width, 40 });
        cell->setAccessoryType(accessory);
        cell->detailTextLabel()->setText("06 12 34 56 78");
        cell->setBadgeString(std::move(badge));
        cell->layoutIfNeeded();
        return cell;
    }

    gfx::ScopedTextMeasurer m_measurer { std::make_shared<gfx::FixedAdvanceTextMeasurer>(10.0 / 11) };
};

TEST_P(BadgeTest, TheBadgeSitsAtTheRightEdgeAndNarrowsTheLabelsUnderIt)
{
    auto cell = laidOutCell(300, "abcd");
    EXPECT_FALSE(cell->badge()->isHidden());
    EXPECT_EQ(cell->badge()->frame(), (gfx::Rect { 254, 11, 53, 18 }));
    // The detail would be 280 wide, from 10 to 10 before the edge: less the badge and 10.
    EXPECT_EQ(cell->detailTextLabel()->frame().width(), 280 - 53 - 10);

    auto withAccessory = laidOutCell(300, "abcd", ui::TableViewCellAccessoryType::DisclosureIndicator);
    EXPECT_EQ(withAccessory->badge()->frame().minX(), withAccessory->contentView()->bounds().width() - 65);

    auto narrow = laidOutCell(60, "abcd");
    EXPECT_EQ(narrow->detailTextLabel()->frame().width(), 0);
    EXPECT_EQ(narrow->multipartLabel()->frame().width(), 0);
}

TEST_P(BadgeTest, TheBadgeShowsOnlyWithTextAndNotWhileEditing)
{
    auto cell = laidOutCell(300, std::nullopt);
    EXPECT_TRUE(cell->badge()->isHidden());
    cell->setBadgeString("work");
    cell->layoutIfNeeded();
    EXPECT_FALSE(cell->badge()->isHidden());

    cell->setEditing(true);
    cell->setNeedsLayout();
    cell->layoutIfNeeded();
    EXPECT_TRUE(cell->badge()->isHidden());
    cell->setEditing(false);
    EXPECT_FALSE(cell->badge()->isHidden());
}

TEST_P(BadgeTest, TheCellRoundsItsPictureAndTheBadgeFollowsItsSelection)
{
    auto cell = laidOutCell(300, "mobile");
    cell->imageView()->setImage(solidPicture({ 160, 160 }, { 0, 1, 0 }));
    cell->setShowShadow(true);
    cell->layoutIfNeeded();
    EXPECT_EQ(cell->imageView()->layer().cornerRadius(), 10);
    EXPECT_TRUE(cell->imageView()->layer().masksToBounds());
    EXPECT_EQ(cell->imageView()->layer().borderWidth(), 1);
    EXPECT_EQ(cell->badge()->currentColor(), TDBadgeView::defaultColor);

    cell->setHighlighted(true);
    EXPECT_EQ(cell->badge()->currentColor(), TDBadgeView::defaultHighlightedColor);
    EXPECT_EQ(cell->detailTextLabel()->layer().shadowOpacity(), 0.8);
    ui::Renderer::renderView(*cell->badge());
    EXPECT_EQ(cell->badge()->layer().shadowOpacity(), 0.8);
    cell->setSelectionStyle(ui::TableViewCellSelectionStyle::None);
    EXPECT_EQ(cell->badge()->currentColor(), TDBadgeView::defaultColor);
}

TEST_P(BadgeTest, TheLozengeIsDrawnAtTheScreensResolutionWithItsTextCutOut)
{
    double scale = GetParam();
    auto cell = laidOutCell(300, "WWWW");
    auto& badge = *cell->badge();
    badge.setBadgeColor(gfx::Color { 0, 0, 1, 1 });
    EXPECT_EQ(badge.lozengeImage(badge.bounds())->rawImage()->width(), size_t(53 * scale));

    auto drawn = ui::Renderer::renderView(badge, scale);
    ASSERT_TRUE(drawn);
    EXPECT_EQ(drawn->size(), (gfx::Size { 53, 18 }));
    EXPECT_EQ(drawn->pixelAt(0, 0).alpha, 0);
    EXPECT_PRED3(isNear, drawn->pixelAt(size_t(2 * scale), size_t(9 * scale)), pixelOf({ 0, 0, 1 }), 3);
    size_t cutOut = 0;
    for (size_t y = size_t(4 * scale); y < size_t(14 * scale); ++y) {
        for (size_t x = size_t(8 * scale); x < size_t(45 * scale); ++x)
            cutOut += drawn->pixelAt(x, y).alpha == 0;
    }
    EXPECT_GT(cutOut, size_t(20 * scale * scale));
}

INSTANTIATE_TEST_SUITE_P(AtScale, BadgeTest, ::testing::Values(1.0, 2.0));

// Parts "ab" and "cde" at 10 points and "f" at 20: five points a character at 10 points, heights
// rounded up to whole points.
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

    gfx::ScopedTextMeasurer m_measurer { std::make_shared<gfx::FixedAdvanceTextMeasurer>() };
    std::shared_ptr<MultipartLabel> m_label = MultipartLabel::create({ 0, 0, 100, 40 });
};

TEST_F(MultipartLabelTest, TheContentModeAlignsTheRowOfParts)
{
    EXPECT_EQ(partFrames(), (std::vector<gfx::Rect> { { 0, 0, 10, 13 }, { 10, 0, 15, 13 }, { 25, 0, 10, 25 } }));
    m_label->setContentMode(ui::ContentMode::Center);
    m_label->updateLayout();
    // 35 wide in all: from 32.5, truncated.
    EXPECT_EQ(partFrames(), (std::vector<gfx::Rect> { { 32, 13, 10, 13 }, { 42, 13, 15, 13 }, { 57, 7, 10, 25 } }));
    m_label->setContentMode(ui::ContentMode::BottomRight);
    m_label->updateLayout();
    EXPECT_EQ(partFrames(), (std::vector<gfx::Rect> { { 65, 27, 10, 13 }, { 75, 27, 15, 13 }, { 90, 15, 10, 25 } }));
}

TEST_F(MultipartLabelTest, AnIndexOutsideThePartsChangesNothingButLaysThemOutAgain)
{
    m_label->labels()[0]->setText("abcdef");
    m_label->setTextForLabel("zzz", 3);
    EXPECT_EQ(m_label->labels()[1]->text(), "cde");
    EXPECT_EQ(partFrames()[1], (gfx::Rect { 30, 0, 15, 13 }));

    // A part that is only a blank takes room.
    m_label->setTextForLabel(" ", 1);
    EXPECT_EQ(partFrames()[2].minX(), 35);

    auto oldContainer = m_label->containerView();
    m_label->updateNumberOfLabels(0);
    EXPECT_FALSE(oldContainer->superview());
    EXPECT_TRUE(m_label->labels().empty());
}

}
