#include "GraphicsTestSupport.h"

#include <cmath>
#include <numbers>

using namespace gfx;

namespace {

constexpr double pi = std::numbers::pi;

void expectNear(const Point& actual, const Point& expected)
{
    EXPECT_NEAR(actual.x, expected.x, 1e-9);
    EXPECT_NEAR(actual.y, expected.y, 1e-9);
}

void expectNear(const AffineTransform& actual, const AffineTransform& expected)
{
    EXPECT_NEAR(actual.a, expected.a, 1e-9);
    EXPECT_NEAR(actual.b, expected.b, 1e-9);
    EXPECT_NEAR(actual.c, expected.c, 1e-9);
    EXPECT_NEAR(actual.d, expected.d, 1e-9);
    EXPECT_NEAR(actual.tx, expected.tx, 1e-9);
    EXPECT_NEAR(actual.ty, expected.ty, 1e-9);
}

}

TEST(Rect, QueriesWorkOnTheStandardisedRectangle)
{
    Rect flipped(10, 20, -10, -20);
    EXPECT_EQ(flipped.minX(), 0);
    EXPECT_EQ(flipped.maxX(), 10);
    EXPECT_EQ(flipped.minY(), 0);
    EXPECT_EQ(flipped.maxY(), 20);
    EXPECT_EQ(flipped.midX(), 5);
    EXPECT_EQ(flipped.midY(), 10);
    EXPECT_EQ(flipped.width(), 10);
    EXPECT_EQ(flipped.height(), 20);
    EXPECT_EQ(flipped, Rect(0, 0, 10, 20));
    EXPECT_EQ(flipped.standardized().origin, Point(0, 0));
    EXPECT_EQ(flipped.standardized().size, Size(10, 20));
}

TEST(Rect, NullAndEmpty)
{
    EXPECT_TRUE(Rect::null().isNull());
    EXPECT_TRUE(Rect::null().isEmpty());
    EXPECT_FALSE(Rect::zero().isNull());
    EXPECT_TRUE(Rect::zero().isEmpty());
    EXPECT_TRUE(Rect(5, 5, 0, 10).isEmpty());
    EXPECT_FALSE(Rect(5, 5, -1, 10).isEmpty());
    EXPECT_EQ(Rect::null(), Rect::null());
    EXPECT_NE(Rect::null(), Rect::zero());
}

TEST(Rect, IntersectionOfDisjointRectanglesIsNull)
{
    EXPECT_TRUE(Rect(0, 0, 10, 10).intersection(Rect(20, 20, 5, 5)).isNull());
    EXPECT_FALSE(Rect(0, 0, 10, 10).intersects(Rect(20, 20, 5, 5)));
    EXPECT_TRUE(Rect(0, 0, 10, 10).intersection(Rect::null()).isNull());

    EXPECT_EQ(Rect(0, 0, 10, 10).intersection(Rect(5, -5, 10, 10)), Rect(5, 0, 5, 5));
    EXPECT_TRUE(Rect(0, 0, 10, 10).intersects(Rect(5, -5, 10, 10)));
    EXPECT_EQ(Rect(0, 0, 10, 10).intersection(Rect(10, 0, -5, 5)), Rect(5, 0, 5, 5));

    // Touching edges meet in a line, which is no shared area.
    Rect touching = Rect(0, 0, 10, 10).intersection(Rect(10, 0, 10, 10));
    EXPECT_FALSE(touching.isNull());
    EXPECT_TRUE(touching.isEmpty());
    EXPECT_FALSE(Rect(0, 0, 10, 10).intersects(Rect(10, 0, 10, 10)));
}

TEST(Rect, UnionIgnoresNull)
{
    EXPECT_EQ(Rect(0, 0, 1, 1).unionWith(Rect(5, 5, 1, -2)), Rect(0, 0, 6, 5));
    EXPECT_EQ(Rect::null().unionWith(Rect(1, 2, 3, 4)), Rect(1, 2, 3, 4));
    EXPECT_EQ(Rect(1, 2, 3, 4).unionWith(Rect::null()), Rect(1, 2, 3, 4));
    EXPECT_TRUE(Rect::null().unionWith(Rect::null()).isNull());
}

TEST(Rect, InsetOffsetAndIntegral)
{
    EXPECT_EQ(Rect(0, 0, 10, 20).insetBy(2, 3), Rect(2, 3, 6, 14));
    EXPECT_EQ(Rect(0, 0, 10, 20).insetBy(-1, -1), Rect(-1, -1, 12, 22));
    EXPECT_EQ(Rect(10, 10, -10, -10).insetBy(1, 1), Rect(1, 1, 8, 8));
    EXPECT_TRUE(Rect(0, 0, 10, 20).insetBy(6, 0).isNull());
    EXPECT_EQ(Rect(0, 0, 10, 20).insetBy(5, 10), Rect(5, 10, 0, 0));

    EXPECT_EQ(Rect(1, 2, 3, 4).offsetBy(10, -2), Rect(11, 0, 3, 4));
    EXPECT_TRUE(Rect::null().offsetBy(1, 1).isNull());

    EXPECT_EQ(Rect(0.5, 1.2, 2.2, 2.9).integral(), Rect(0, 1, 3, 4));
    EXPECT_EQ(Rect(-0.5, -0.5, 1, 1).integral(), Rect(-1, -1, 2, 2));
    EXPECT_EQ(Rect(2, 2, -1.5, 1).integral(), Rect(0, 2, 2, 1));
    EXPECT_TRUE(Rect::null().integral().isNull());
}

TEST(Rect, ContainmentIsHalfOpen)
{
    Rect rect(0, 0, 10, 10);
    EXPECT_TRUE(rect.containsPoint({ 0, 0 }));
    EXPECT_TRUE(rect.containsPoint({ 9.99, 9.99 }));
    EXPECT_FALSE(rect.containsPoint({ 10, 5 }));
    EXPECT_FALSE(rect.containsPoint({ 5, 10 }));
    EXPECT_TRUE(Rect(10, 10, -10, -10).containsPoint({ 5, 5 }));
    EXPECT_FALSE(Rect::null().containsPoint({ 0, 0 }));

    EXPECT_TRUE(rect.containsRect(Rect(0, 0, 10, 10)));
    EXPECT_TRUE(rect.containsRect(Rect(2, 2, 3, 3)));
    EXPECT_FALSE(rect.containsRect(Rect(5, 5, 6, 1)));
    EXPECT_FALSE(rect.containsRect(Rect::null()));
}

TEST(AffineTransform, AppliesAsTheMatrixSays)
{
    AffineTransform transform(1, 2, 3, 4, 5, 6);
    EXPECT_EQ(transform.applyTo(Point(1, 1)), Point(1 + 3 + 5, 2 + 4 + 6));
    EXPECT_EQ(transform.applyTo(Size(1, 1)), Size(4, 6));
    EXPECT_TRUE(AffineTransform::identity().isIdentity());
    EXPECT_FALSE(transform.isIdentity());
    EXPECT_EQ(AffineTransform::makeScale(2, 3), AffineTransform(2, 0, 0, 3, 0, 0));
    EXPECT_EQ(AffineTransform::makeTranslation(2, 3), AffineTransform(1, 0, 0, 1, 2, 3));
    expectNear(AffineTransform::makeRotation(pi / 2).applyTo(Point(1, 0)), Point(0, 1));
}

TEST(AffineTransform, ModifiersApplyTheirStepBeforeTheTransform)
{
    // "Translate, then rotate" as drawing code writes it: the rotation acts on points first.
    AffineTransform translateThenRotate = AffineTransform::identity().translatedBy(10, 0).rotatedBy(pi / 2);
    expectNear(translateThenRotate.applyTo(Point(1, 0)), Point(10, 1));

    AffineTransform rotateThenTranslate = AffineTransform::identity().rotatedBy(pi / 2).translatedBy(10, 0);
    expectNear(rotateThenTranslate.applyTo(Point(1, 0)), Point(0, 11));

    AffineTransform scaled = AffineTransform::makeTranslation(5, 5).scaledBy(2, 3);
    EXPECT_EQ(scaled.applyTo(Point(1, 1)), Point(7, 8));
}

TEST(AffineTransform, ConcatenationAppliesTheFirstOperandFirst)
{
    AffineTransform scale = AffineTransform::makeScale(2, 2);
    AffineTransform move = AffineTransform::makeTranslation(1, 0);
    EXPECT_EQ(scale.concatenating(move).applyTo(Point(1, 1)), Point(3, 2));
    EXPECT_EQ(move.concatenating(scale).applyTo(Point(1, 1)), Point(4, 2));
    EXPECT_EQ(move.scaledBy(2, 2), scale.concatenating(move));
}

TEST(AffineTransform, InversionUndoesAndSingularTransformsStayAsTheyAre)
{
    AffineTransform transform = AffineTransform::makeRotation(0.3).translatedBy(4, -2).scaledBy(2, 0.5);
    AffineTransform inverse = transform.inverted();
    expectNear(transform.concatenating(inverse), AffineTransform::identity());
    expectNear(inverse.applyTo(transform.applyTo(Point(3, 7))), Point(3, 7));

    AffineTransform singular(1, 2, 2, 4, 5, 6);
    EXPECT_FALSE(singular.isInvertible());
    EXPECT_EQ(singular.inverted(), singular);
    EXPECT_EQ(AffineTransform::makeScale(0, 1).inverted(), AffineTransform::makeScale(0, 1));
}

TEST(AffineTransform, RectanglesMapToTheirBoundingBox)
{
    Rect rect(0, 0, 10, 20);
    EXPECT_EQ(AffineTransform::makeTranslation(5, 5).scaledBy(2, 1).applyTo(rect), Rect(5, 5, 20, 20));
    Rect rotated = AffineTransform::makeRotation(pi / 2).applyTo(rect);
    EXPECT_NEAR(rotated.minX(), -20, 1e-9);
    EXPECT_NEAR(rotated.minY(), 0, 1e-9);
    EXPECT_NEAR(rotated.width(), 20, 1e-9);
    EXPECT_NEAR(rotated.height(), 10, 1e-9);
    Rect diamond = AffineTransform::makeRotation(pi / 4).applyTo(Rect(0, 0, 1, 1));
    EXPECT_NEAR(diamond.width(), std::sqrt(2.0), 1e-9);
    EXPECT_TRUE(AffineTransform::makeScale(2, 2).applyTo(Rect::null()).isNull());
}
