#include "BoardTest.h"

#include "platform/graphics/ImageContext.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Event.h"

#include <cmath>

namespace brenzo::testing {

namespace {

void expectTranslation(const gfx::AffineTransform& transform, double tx, double ty)
{
    EXPECT_NEAR(transform.a, 1, 1e-9);
    EXPECT_NEAR(transform.b, 0, 1e-9);
    EXPECT_NEAR(transform.c, 0, 1e-9);
    EXPECT_NEAR(transform.d, 1, 1e-9);
    EXPECT_NEAR(transform.tx, tx, 1e-9);
    EXPECT_NEAR(transform.ty, ty, 1e-9);
}

}

class EditModeTest : public BoardTest {
protected:
    void SetUp() override
    {
        board = showBoard();
        background = board->mainTouchImageView();
        auto context = gfx::ImageContext::create({ 90, 90 }, true, 1);
        board->peopleListViewControllerPhotoSelectedIndexWithNameWithPhoneWithReference(*board, context->image(), -1, "", "0612345678", nullptr);
        contact = background->children().back();
        board->editAction(nullptr);
    }

    std::shared_ptr<BrenzoViewController> board;
    std::shared_ptr<TouchImageView> background;
    std::shared_ptr<TouchImageView> contact;
};

TEST_F(EditModeTest, DraggingTheBackgroundMovesEveryPictureWithItAndTheMoveStays)
{
    // Between the placeholders: the edit tool bar covers the bottom of the screen.
    gfx::Point bare { 107, 122 };
    ASSERT_EQ(m_touches.hitView(bare), background);
    m_touches.drag(bare, { 137, 142 });
    EXPECT_EQ(board->selectedTouchImage(), background);
    expectTranslation(background->originalTransform(), 30, 20);
    expectTranslation(background->transform(), 30, 20);
    for (auto& child : background->children()) {
        expectTranslation(child->originalTransform(), 30, 20);
        expectTranslation(child->transform(), 30, 20);
    }
    // The next drag starts from where the first ended.
    m_touches.drag({ 137, 142 }, { 127, 132 });
    expectTranslation(background->originalTransform(), 20, 10);
    expectTranslation(background->children()[0]->originalTransform(), 20, 10);
    EXPECT_TRUE(m_touches.activeTouches().empty());
}

TEST_F(EditModeTest, TheChildrenFollowTheBackgroundDuringTheGesture)
{
    auto touch = m_touches.touchDown({ 107, 122 });
    m_touches.touchMove({ touch }, { { 112, 82 } });
    auto placeholder = background->children()[0];
    expectTranslation(placeholder->transform(), 5, -40);
    expectTranslation(placeholder->originalTransform(), 0, 0);
    m_touches.touchUp({ touch });
    expectTranslation(placeholder->originalTransform(), 5, -40);
    EXPECT_FALSE(background->hasCachedBeginPoint(*touch));
    EXPECT_FALSE(placeholder->hasCachedBeginPoint(*touch));
}

TEST_F(EditModeTest, APinchScalesAPictureAboutItsCentre)
{
    auto center = screenPointOf(*contact);
    m_touches.pinch(center, 20, 40);
    EXPECT_EQ(board->selectedTouchImage(), contact);
    EXPECT_TRUE(board->deleteButton()->isEnabled());
    auto& transform = contact->originalTransform();
    EXPECT_NEAR(transform.a, 2, 1e-9);
    EXPECT_NEAR(transform.d, 2, 1e-9);
    EXPECT_NEAR(transform.b, 0, 1e-9);
    EXPECT_NEAR(transform.tx, 0, 1e-9);
    EXPECT_NEAR(transform.ty, 0, 1e-9);
    EXPECT_EQ(contact->center(), (gfx::Point { 160, 85 }));
    EXPECT_NEAR(contact->frame().width(), 180, 1e-9);
    // The background did not move.
    EXPECT_TRUE(background->originalTransform().isIdentity());
}

TEST_F(EditModeTest, ASecondFingerCommitsTheFirstFingersMoveBeforeTheTwoTurnThePicture)
{
    auto center = screenPointOf(*contact);
    auto first = m_touches.touchDown({ center.x + 20, center.y });
    m_touches.touchMove({ first }, { { center.x + 30, center.y } });
    auto second = m_touches.touchDown({ center.x - 10, center.y });
    expectTranslation(contact->originalTransform(), 10, 0);
    // A quarter turn clockwise about the midpoint of the fingers.
    m_touches.touchMove({ first, second }, { { center.x + 10, center.y + 20 }, { center.x + 10, center.y - 20 } });
    m_touches.touchUp({ first, second });
    auto& transform = contact->originalTransform();
    EXPECT_NEAR(transform.a, 0, 1e-9);
    EXPECT_NEAR(transform.b, 1, 1e-9);
    EXPECT_NEAR(transform.c, -1, 1e-9);
    EXPECT_NEAR(transform.d, 0, 1e-9);
    EXPECT_FALSE(contact->hasCachedBeginPoint(*first));
    EXPECT_FALSE(contact->hasCachedBeginPoint(*second));
}

TEST_F(EditModeTest, PlaceholdersMadeByTheBoardCannotBeMovedOrSelected)
{
    auto placeholder = background->children()[3];
    auto from = screenPointOf(*placeholder);
    m_touches.drag(from, { from.x + 40, from.y });
    EXPECT_FALSE(board->selectedTouchImage());
    EXPECT_TRUE(placeholder->originalTransform().isIdentity());
    EXPECT_TRUE(background->originalTransform().isIdentity());
}

TEST_F(EditModeTest, TapsInEditModeSelectWithoutCalling)
{
    m_touches.tap(screenPointOf(*contact));
    advance(1);
    EXPECT_EQ(board->selectedTouchImage(), contact);
    EXPECT_FALSE(m_effects.contains("opened URL"));
    EXPECT_DOUBLE_EQ(contact->alpha(), 1.0);
}

TEST_F(EditModeTest, ADoubleTapLeavesNoTouchBehindInTheCache)
{
    auto center = screenPointOf(*contact);
    auto first = m_touches.touchDown(center);
    m_touches.touchUp({ first });
    auto second = m_touches.touchDown(center);
    ASSERT_EQ(second->tapCount(), 2u);
    m_touches.touchUp({ second });
    EXPECT_TRUE(board->presentedViewController());
    EXPECT_FALSE(contact->hasCachedBeginPoint(*first));
    EXPECT_FALSE(contact->hasCachedBeginPoint(*second));
}

}
