#include "UITest.h"

#include "platform/foundation/Log.h"
#include "platform/ui/Button.h"
#include "platform/ui/Renderer.h"
#include "platform/ui/TouchDriver.h"

#include <cmath>

namespace brenzo::testing {

namespace {

using ui::TouchPhase;

// A window holding a red board at (20, 40, 200, 200) with three children: a plain square, a bar
// turned a quarter turn, and a square scaled twice about its centre.
class TouchTest : public UITest {
protected:
    TouchTest()
    {
        window = makeKeyWindow();
        board = std::make_shared<RecordingView>(gfx::Rect { 20, 40, 200, 200 });
        board->setBackgroundColor(gfx::Color(1, 0, 0));
        window->addSubview(board);

        square = std::make_shared<RecordingView>(gfx::Rect { 10, 10, 80, 80 });
        square->setBackgroundColor(gfx::Color(0, 0, 1));
        board->addSubview(square);

        // 80 x 40 around (140, 120), turned upright: it covers x 120...160 and y 80...160.
        turned = std::make_shared<RecordingView>(gfx::Rect { 100, 100, 80, 40 });
        turned->setBackgroundColor(gfx::Color(0, 1, 0));
        turned->setTransform(gfx::AffineTransform::makeRotation(M_PI / 2));
        board->addSubview(turned);

        // 20 x 20 around (50, 160), drawn 40 x 40.
        scaled = std::make_shared<RecordingView>(gfx::Rect { 40, 150, 20, 20 });
        scaled->setBackgroundColor(gfx::Color(1, 1, 0));
        scaled->setTransform(gfx::AffineTransform::makeScale(2, 2));
        scaled->setMultipleTouchEnabled(true);
        board->addSubview(scaled);
    }

    std::shared_ptr<ui::Window> window;
    std::shared_ptr<RecordingView> board;
    std::shared_ptr<RecordingView> square;
    std::shared_ptr<RecordingView> turned;
    std::shared_ptr<RecordingView> scaled;
    ui::TouchDriver driver;
};

void expectPoint(gfx::Point actual, gfx::Point expected)
{
    EXPECT_NEAR(actual.x, expected.x, 1e-9);
    EXPECT_NEAR(actual.y, expected.y, 1e-9);
}

TEST_F(TouchTest, TapsReachTheHitViewWithLocationsAndCounts)
{
    driver.tap({ 70, 90 });
    ASSERT_EQ(square->received.size(), 2u);
    EXPECT_EQ(square->received[0].phase, TouchPhase::Began);
    EXPECT_EQ(square->received[1].phase, TouchPhase::Ended);
    expectPoint(square->received[0].location, { 40, 40 });
    EXPECT_EQ(square->received[0].tapCount, 1u);
    EXPECT_EQ(square->received[0].touchIdentifier, square->received[1].touchIdentifier);
    EXPECT_TRUE(board->received.empty());

    driver.tap({ 72, 88 });
    ASSERT_EQ(square->received.size(), 4u);
    EXPECT_EQ(square->received[2].tapCount, 2u);
    EXPECT_NE(square->received[2].touchIdentifier, square->received[0].touchIdentifier);

    // Too late for a double tap, and too far away.
    advance(ui::TouchDriver::multiTapInterval + 0.01);
    driver.tap({ 70, 90 });
    EXPECT_EQ(square->received[4].tapCount, 1u);
    driver.tap({ 70 + ui::TouchDriver::multiTapRadius + 1, 90 });
    EXPECT_EQ(square->received[6].tapCount, 1u);
}

TEST_F(TouchTest, HitTestingFollowsTransforms)
{
    // (150, 130) on screen is (130, 90) on the board: inside the turned bar, at its local (10, 30).
    driver.tap({ 150, 130 });
    ASSERT_EQ(turned->received.size(), 2u);
    expectPoint(turned->received[0].location, { 10, 30 });

    // (105, 120) on the board lies in the bar's untransformed frame but not in the turned bar.
    driver.tap({ 125, 160 });
    EXPECT_EQ(turned->received.size(), 2u);
    ASSERT_EQ(board->received.size(), 2u);
    expectPoint(board->received[0].location, { 105, 120 });

    // The scaled square covers 30...70 across on the board; its local points are halved.
    driver.tap({ 20 + 32, 40 + 168 });
    ASSERT_EQ(scaled->received.size(), 2u);
    expectPoint(scaled->received[0].location, { 1, 14 });
}

TEST_F(TouchTest, DragKeepsTheViewItLandedOnAndReportsLocalMoves)
{
    // Along the screen's x axis, which is the turned bar's y axis.
    driver.drag({ 150, 150 }, { 260, 150 }, 2);
    ASSERT_EQ(turned->received.size(), 4u);
    EXPECT_EQ(turned->received[1].phase, TouchPhase::Moved);
    EXPECT_EQ(turned->received[3].phase, TouchPhase::Ended);
    expectPoint(turned->received[0].location, { 30, 30 });
    expectPoint(turned->received[3].location, { 30, -80 });
    EXPECT_TRUE(board->received.empty());
}

TEST_F(TouchTest, TwoFingersReachAViewThatTakesSeveralTouches)
{
    // Both fingers on the scaled square, spreading from 4 to 12 points apart.
    driver.pinch({ 70, 200 }, 4, 12, 1);
    ASSERT_EQ(scaled->received.size(), 3u);
    EXPECT_EQ(scaled->received[0].touchCount, 2u);
    EXPECT_EQ(scaled->received[0].touchesForViewCount, 2u);
    EXPECT_EQ(scaled->received[1].phase, TouchPhase::Moved);
    EXPECT_EQ(scaled->received[2].touchCount, 2u);
}

TEST_F(TouchTest, TwoFingersTurnAboutACentre)
{
    // Fingers 8 points either side of the scaled square's centre, turning a quarter turn.
    driver.rotate({ 70, 200 }, 8, 0, M_PI / 2, 3);
    ASSERT_EQ(scaled->received.size(), 5u);
    EXPECT_EQ(scaled->received[0].touchCount, 2u);
    // The oldest finger started at the left (local (6, 10)) and ends above the centre.
    expectPoint(scaled->received[0].location, { 6, 10 });
    expectPoint(scaled->received[4].location, { 10, 6 });
}

TEST_F(TouchTest, AViewThatTakesOneTouchHearsOnlyTheFirst)
{
    auto first = driver.touchDown(gfx::Point { 60, 60 });
    auto second = driver.touchDown(gfx::Point { 80, 80 });
    driver.touchMove({ first, second }, { { 62, 62 }, { 82, 82 } });
    driver.touchUp({ first, second });
    ASSERT_EQ(square->received.size(), 3u);
    for (auto& received : square->received) {
        EXPECT_EQ(received.touchCount, 1u);
        EXPECT_EQ(received.touchIdentifier, first->identifier());
    }
}

TEST_F(TouchTest, CancelledTouchesAreReported)
{
    auto touch = driver.touchDown(gfx::Point { 60, 60 });
    driver.touchCancel({ touch });
    ASSERT_EQ(square->received.size(), 2u);
    EXPECT_EQ(square->received[1].phase, TouchPhase::Cancelled);
    EXPECT_TRUE(driver.activeTouches().empty());
}

TEST_F(TouchTest, HiddenAndUntouchableViewsLetTouchesThrough)
{
    square->setHidden(true);
    driver.tap({ 70, 90 });
    EXPECT_EQ(board->received.size(), 2u);
    square->setHidden(false);
    square->setUserInteractionEnabled(false);
    driver.tap({ 70, 90 });
    EXPECT_EQ(board->received.size(), 4u);
    EXPECT_TRUE(square->received.empty());
}

TEST_F(TouchTest, ButtonsSendTouchUpInsideOnlyWhenTheFingerLiftsInside)
{
    auto button = ui::Button::create(ui::ButtonType::RoundedRect);
    button->setFrame({ 20, 300, 100, 40 });
    window->addSubview(button);
    std::vector<std::string> sent;
    auto log = [&](std::string name) { return ui::Action(name, [&sent, name](const fnd::Id&) { sent.push_back(name); }); };
    button->addTargetActionForControlEvents(log("down"), ui::ControlEvent::TouchDown);
    button->addTargetActionForControlEvents(log("inside"), ui::ControlEvent::TouchUpInside);
    button->addTargetActionForControlEvents(log("outside"), ui::ControlEvent::TouchUpOutside);

    driver.tap({ 50, 320 });
    EXPECT_EQ(sent, (std::vector<std::string> { "down", "inside" }));
    driver.drag({ 50, 320 }, { 200, 400 });
    EXPECT_EQ(sent, (std::vector<std::string> { "down", "inside", "down", "outside" }));

    button->setEnabled(false);
    driver.tap({ 50, 320 });
    EXPECT_EQ(sent.size(), 4u);
}

TEST_F(TouchTest, TheRenderedScreenShowsTheTreeWithItsTransforms)
{
    auto image = ui::Renderer::renderScreen(1);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->size(), (gfx::Size { 320, 480 }));
    auto expectColor = [&](double x, double y, gfx::Pixel color) {
        auto pixel = pixelAtPoint(*image, x, y);
        EXPECT_EQ(pixel, color) << "at " << x << ", " << y;
    };
    const gfx::Pixel red { 255, 0, 0, 255 }, blue { 0, 0, 255, 255 }, green { 0, 255, 0, 255 }, yellow { 255, 255, 0, 255 },
        white { 255, 255, 255, 255 }, black { 0, 0, 0, 255 };
    expectColor(2, 10, black);
    expectColor(300, 470, white);
    expectColor(25, 45, red);
    expectColor(70, 90, blue);
    // The bar stands upright: x 140...180, y 120...200 on screen.
    expectColor(160, 125, green);
    expectColor(160, 195, green);
    expectColor(125, 145, red);
    // The scaled square covers 50...90 across on screen.
    expectColor(52, 182, yellow);
    expectColor(88, 218, yellow);
    expectColor(48, 200, red);

    auto doubled = ui::Renderer::renderScreen(2);
    ASSERT_TRUE(doubled);
    EXPECT_EQ(doubled->rawImage()->width(), 640u);
    EXPECT_EQ(pixelAtPoint(*doubled, 160, 125), green);

    auto png = image->pngRepresentation();
    ASSERT_TRUE(png);
    auto decoded = gfx::Image::createWithData(*png);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->pixelAt(70, 90), blue);
}

}

}
