#include "platform/graphics/AffineTransform.h"

#include <algorithm>
#include <cmath>

namespace gfx {

AffineTransform AffineTransform::makeTranslation(double tx, double ty)
{
    return { 1, 0, 0, 1, tx, ty };
}

AffineTransform AffineTransform::makeScale(double sx, double sy)
{
    return { sx, 0, 0, sy, 0, 0 };
}

AffineTransform AffineTransform::makeRotation(double angle)
{
    double cosine = std::cos(angle);
    double sine = std::sin(angle);
    return { cosine, sine, -sine, cosine, 0, 0 };
}

AffineTransform AffineTransform::translatedBy(double tx, double ty) const
{
    return makeTranslation(tx, ty).concatenating(*this);
}

AffineTransform AffineTransform::scaledBy(double sx, double sy) const
{
    return makeScale(sx, sy).concatenating(*this);
}

AffineTransform AffineTransform::rotatedBy(double angle) const
{
    return makeRotation(angle).concatenating(*this);
}

AffineTransform AffineTransform::concatenating(const AffineTransform& then) const
{
    return {
        a * then.a + b * then.c,
        a * then.b + b * then.d,
        c * then.a + d * then.c,
        c * then.b + d * then.d,
        tx * then.a + ty * then.c + then.tx,
        tx * then.b + ty * then.d + then.ty,
    };
}

bool AffineTransform::isInvertible() const
{
    double determinant = a * d - b * c;
    return determinant != 0 && std::isfinite(determinant) && std::isfinite(1 / determinant);
}

AffineTransform AffineTransform::inverted() const
{
    if (!isInvertible())
        return *this;
    double determinant = a * d - b * c;
    return {
        d / determinant,
        -b / determinant,
        -c / determinant,
        a / determinant,
        (c * ty - d * tx) / determinant,
        (b * tx - a * ty) / determinant,
    };
}

bool AffineTransform::isIdentity() const
{
    return *this == identity();
}

Point AffineTransform::applyTo(const Point& point) const
{
    return { a * point.x + c * point.y + tx, b * point.x + d * point.y + ty };
}

Size AffineTransform::applyTo(const Size& size) const
{
    return { a * size.width + c * size.height, b * size.width + d * size.height };
}

Rect AffineTransform::applyTo(const Rect& rect) const
{
    if (rect.isNull())
        return Rect::null();
    Point corners[] = {
        applyTo(Point(rect.minX(), rect.minY())),
        applyTo(Point(rect.maxX(), rect.minY())),
        applyTo(Point(rect.minX(), rect.maxY())),
        applyTo(Point(rect.maxX(), rect.maxY())),
    };
    double left = corners[0].x;
    double right = corners[0].x;
    double top = corners[0].y;
    double bottom = corners[0].y;
    for (const Point& corner : corners) {
        left = std::min(left, corner.x);
        right = std::max(right, corner.x);
        top = std::min(top, corner.y);
        bottom = std::max(bottom, corner.y);
    }
    return { left, top, right - left, bottom - top };
}

}
