#pragma once

#include "platform/graphics/Point.h"
#include "platform/graphics/Size.h"

namespace gfx {

// A rectangle as the platform had it: an origin and a size that may be negative. Every query
// works on the standardised rectangle (non-negative size), so (10, 10, -10, -10) and (0, 0, 10, 10)
// are the same area. The null rectangle is what an empty intersection answers.
struct Rect {
    Point origin;
    Size size;

    constexpr Rect() = default;
    constexpr Rect(Point origin, Size size)
        : origin(origin)
        , size(size)
    {
    }
    constexpr Rect(double x, double y, double width, double height)
        : origin(x, y)
        , size(width, height)
    {
    }

    static constexpr Rect zero() { return {}; }
    static Rect null();

    double minX() const;
    double midX() const;
    double maxX() const;
    double minY() const;
    double midY() const;
    double maxY() const;
    double width() const;
    double height() const;

    bool isNull() const;
    // Null, or without area.
    bool isEmpty() const;

    Rect standardized() const;
    // The smallest rectangle with whole-number edges that holds this one.
    Rect integral() const;
    // Shrinks by dx on the left and right and dy at the top and bottom (grows for negative values);
    // a rectangle shrunk below nothing is null.
    Rect insetBy(double dx, double dy) const;
    Rect offsetBy(double dx, double dy) const;
    Rect unionWith(const Rect&) const;
    // Null when the two do not meet; rectangles that only touch meet in an empty rectangle.
    Rect intersection(const Rect&) const;
    // Half-open: the minimum edges belong to the rectangle, the maximum edges do not.
    bool containsPoint(const Point&) const;
    bool containsRect(const Rect&) const;
    // True when the two share some area.
    bool intersects(const Rect&) const;

    bool operator==(const Rect&) const;
};

}
