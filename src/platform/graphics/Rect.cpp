#include "platform/graphics/Rect.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace gfx {

Rect Rect::null()
{
    constexpr double infinity = std::numeric_limits<double>::infinity();
    return { infinity, infinity, 0, 0 };
}

double Rect::minX() const
{
    return std::min(origin.x, origin.x + size.width);
}

double Rect::midX() const
{
    return origin.x + size.width / 2;
}

double Rect::maxX() const
{
    return std::max(origin.x, origin.x + size.width);
}

double Rect::minY() const
{
    return std::min(origin.y, origin.y + size.height);
}

double Rect::midY() const
{
    return origin.y + size.height / 2;
}

double Rect::maxY() const
{
    return std::max(origin.y, origin.y + size.height);
}

double Rect::width() const
{
    return std::fabs(size.width);
}

double Rect::height() const
{
    return std::fabs(size.height);
}

bool Rect::isNull() const
{
    return std::isinf(origin.x) || std::isinf(origin.y);
}

bool Rect::isEmpty() const
{
    return isNull() || size.width == 0 || size.height == 0;
}

Rect Rect::standardized() const
{
    if (isNull())
        return null();
    return { minX(), minY(), width(), height() };
}

Rect Rect::integral() const
{
    if (isNull())
        return null();
    double left = std::floor(minX());
    double top = std::floor(minY());
    return { left, top, std::ceil(maxX()) - left, std::ceil(maxY()) - top };
}

Rect Rect::insetBy(double dx, double dy) const
{
    if (isNull())
        return null();
    Rect result = standardized();
    result.origin.x += dx;
    result.origin.y += dy;
    result.size.width -= 2 * dx;
    result.size.height -= 2 * dy;
    if (result.size.width < 0 || result.size.height < 0)
        return null();
    return result;
}

Rect Rect::offsetBy(double dx, double dy) const
{
    if (isNull())
        return null();
    Rect result = standardized();
    result.origin.x += dx;
    result.origin.y += dy;
    return result;
}

Rect Rect::unionWith(const Rect& other) const
{
    if (isNull())
        return other.standardized();
    if (other.isNull())
        return standardized();
    double left = std::min(minX(), other.minX());
    double top = std::min(minY(), other.minY());
    return { left, top, std::max(maxX(), other.maxX()) - left, std::max(maxY(), other.maxY()) - top };
}

Rect Rect::intersection(const Rect& other) const
{
    if (isNull() || other.isNull())
        return null();
    double left = std::max(minX(), other.minX());
    double top = std::max(minY(), other.minY());
    double right = std::min(maxX(), other.maxX());
    double bottom = std::min(maxY(), other.maxY());
    if (right < left || bottom < top)
        return null();
    return { left, top, right - left, bottom - top };
}

bool Rect::containsPoint(const Point& point) const
{
    if (isNull())
        return false;
    return point.x >= minX() && point.x < maxX() && point.y >= minY() && point.y < maxY();
}

bool Rect::containsRect(const Rect& other) const
{
    if (isNull() || other.isNull())
        return false;
    return other.minX() >= minX() && other.maxX() <= maxX() && other.minY() >= minY() && other.maxY() <= maxY();
}

bool Rect::intersects(const Rect& other) const
{
    Rect common = intersection(other);
    return !common.isNull() && common.size.width > 0 && common.size.height > 0;
}

bool Rect::operator==(const Rect& other) const
{
    if (isNull() || other.isNull())
        return isNull() && other.isNull();
    Rect a = standardized();
    Rect b = other.standardized();
    return a.origin == b.origin && a.size == b.size;
}

}
