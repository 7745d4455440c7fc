#include "board/TouchImageTransform.h"
#include "platform/ui/Touch.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

void expectTransform(const gfx::AffineTransform& actual, const gfx::AffineTransform& expected)
{
    EXPECT_NEAR(actual.a, expected.a, 1e-9);
    EXPECT_NEAR(actual.b, expected.b, 1e-9);
    EXPECT_NEAR(actual.c, expected.c, 1e-9);
    EXPECT_NEAR(actual.d, expected.d, 1e-9);
    EXPECT_NEAR(actual.tx, expected.tx, 1e-9);
    EXPECT_NEAR(actual.ty, expected.ty, 1e-9);
}

constexpr gfx::Point center { 160, 230 };

}

TEST(TouchImageTransform, NoFingerLeavesThePictureAlone)
{
    EXPECT_TRUE(TouchImageTransform::incremental({}, center).isIdentity());
}

TEST(TouchImageTransform, OneFingerTranslatesByItsMove)
{
    auto transform = TouchImageTransform::incremental({ { 1, { 100, 100 }, { 130, 80 } } }, center);
    expectTransform(transform, { 1, 0, 0, 1, 30, -20 });
}

TEST(TouchImageTransform, TwoFingersSpreadSymmetricallyToTwiceTheirDistanceScaleByTwoAboutTheCentre)
{
    auto transform = TouchImageTransform::incremental({ { 1, { 140, 230 }, { 120, 230 } }, { 2, { 180, 230 }, { 200, 230 } } }, center);
    expectTransform(transform, { 2, 0, 0, 2, 0, 0 });
    // The view's transform applies about its centre: a point 20 to the right lands 40 to the right.
    auto moved = transform.applyTo(gfx::Point { 20, 0 });
    EXPECT_NEAR(moved.x, 40, 1e-9);
    EXPECT_NEAR(moved.y, 0, 1e-9);
}

TEST(TouchImageTransform, TwoFingersTurningAQuarterRotateByNinetyDegrees)
{
    // On screen (y down) the fingers turn clockwise: (20, 0) goes to (0, 20).
    auto transform = TouchImageTransform::incremental({ { 1, { 180, 230 }, { 160, 250 } }, { 2, { 140, 230 }, { 160, 210 } } }, center);
    expectTransform(transform, { 0, 1, -1, 0, 0, 0 });
}

TEST(TouchImageTransform, RotationScaleAndTranslationTakeBothBeginPointsToTheCurrentOnes)
{
    gfx::Point b1 { 150, 200 }, b2 { 190, 260 }, c1 { 90, 140 }, c2 { 40, 250 };
    auto transform = TouchImageTransform::incremental({ { 7, b1, c1 }, { 9, b2, c2 } }, center);
    for (auto [begin, current] : { std::pair { b1, c1 }, std::pair { b2, c2 } }) {
        auto mapped = transform.applyTo(begin - center);
        EXPECT_NEAR(mapped.x, (current - center).x, 1e-9);
        EXPECT_NEAR(mapped.y, (current - center).y, 1e-9);
    }
    EXPECT_NEAR(transform.a, transform.d, 1e-12);
    EXPECT_NEAR(transform.b, -transform.c, 1e-12);
}

TEST(TouchImageTransform, FingersThatBeganOnTheSameSpotOnlyTranslate)
{
    // Squared distance 0.08, under 0.1: the first finger's move, no scale from the second.
    auto transform = TouchImageTransform::incremental({ { 1, { 100, 100 }, { 110, 105 } }, { 2, { 100.2, 100.2 }, { 300, 300 } } }, center);
    expectTransform(transform, { 1, 0, 0, 1, 10, 5 });
    // Squared distance 0.16: two fingers, and their spread to twice the distance scales by 2.
    auto apart = TouchImageTransform::incremental({ { 1, { 100, 100 }, { 100, 100 } }, { 2, { 100, 100.4 }, { 100, 100.8 } } }, center);
    EXPECT_NEAR(apart.a, 2, 1e-6);
}

TEST(TouchImageTransform, OnlyTheTwoOldestFingersCountWhateverTheOrderGiven)
{
    std::vector<TouchTrack> tracks { { 30, { 0, 0 }, { 500, 500 } }, { 12, { 180, 230 }, { 200, 230 } }, { 11, { 140, 230 }, { 120, 230 } } };
    expectTransform(TouchImageTransform::incremental(tracks, center), { 2, 0, 0, 2, 0, 0 });
}

TEST(TouchImageTransform, TouchesCompareByIdentity)
{
    ui::Touch older(3, { 10, 10 }, 0, 1), newer(8, { 0, 0 }, 0, 1);
    EXPECT_EQ(compareTouches(older, newer), -1);
    EXPECT_EQ(compareTouches(newer, older), 1);
    EXPECT_EQ(compareTouches(older, older), 0);
}
