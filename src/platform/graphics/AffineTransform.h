#pragma once

#include "platform/graphics/Point.h"
#include "platform/graphics/Rect.h"
#include "platform/graphics/Size.h"

namespace gfx {

// x' = a x + c y + tx, y' = b x + d y + ty.
//
// Order: `first.concatenating(second)` applies `first`, then `second`. The modifiers follow the
// platform: `t.translatedBy(x, y)` is the translation applied first, then `t` (and likewise
// scaledBy and rotatedBy), which is what drawing code means by "translate, then rotate".
struct AffineTransform {
    double a { 1 };
    double b { 0 };
    double c { 0 };
    double d { 1 };
    double tx { 0 };
    double ty { 0 };

    constexpr AffineTransform() = default;
    constexpr AffineTransform(double a, double b, double c, double d, double tx, double ty)
        : a(a)
        , b(b)
        , c(c)
        , d(d)
        , tx(tx)
        , ty(ty)
    {
    }

    static constexpr AffineTransform identity() { return {}; }
    static AffineTransform makeTranslation(double tx, double ty);
    static AffineTransform makeScale(double sx, double sy);
    // Counter-clockwise in a y-up space for positive angles (radians).
    static AffineTransform makeRotation(double angle);

    AffineTransform translatedBy(double tx, double ty) const;
    AffineTransform scaledBy(double sx, double sy) const;
    AffineTransform rotatedBy(double angle) const;
    AffineTransform concatenating(const AffineTransform& then) const;
    // A transform without inverse answers itself, unchanged.
    AffineTransform inverted() const;
    bool isInvertible() const;
    bool isIdentity() const;

    Point applyTo(const Point&) const;
    // Sizes are vectors: the translation does not apply.
    Size applyTo(const Size&) const;
    // The bounding box of the transformed rectangle.
    Rect applyTo(const Rect&) const;

    constexpr bool operator==(const AffineTransform&) const = default;
};

}
