#include "board/TouchImageTransform.h"

#include "platform/ui/Touch.h"

#include <algorithm>

gfx::AffineTransform TouchImageTransform::incremental(std::vector<TouchTrack> touches, gfx::Point center)
{
    std::sort(touches.begin(), touches.end(), [](auto& first, auto& second) { return first.identifier < second.identifier; });
    if (touches.empty())
        return gfx::AffineTransform::identity();
    if (touches.size() == 1) {
        auto moved = touches[0].current - touches[0].begin;
        return gfx::AffineTransform::makeTranslation(moved.x, moved.y);
    }

    auto b1 = touches[0].begin - center;
    auto b2 = touches[1].begin - center;
    auto c1 = touches[0].current - center;
    auto c2 = touches[1].current - center;

    double bx = b1.x - b2.x;
    double by = b1.y - b2.y;
    double squaredDistance = bx * bx + by * by;
    if (squaredDistance < coincidenceThreshold)
        return gfx::AffineTransform::makeTranslation(c1.x - b1.x, c1.y - b1.y);

    double cx = c1.x - c2.x;
    double cy = c1.y - c2.y;
    double a = (bx * cx + by * cy) / squaredDistance;
    double b = (bx * cy - by * cx) / squaredDistance;
    double c = -b;
    double d = a;
    double tx = c1.x - (a * b1.x + c * b1.y);
    double ty = c1.y - (b * b1.x + d * b1.y);
    return { a, b, c, d, tx, ty };
}

int compareTouches(const ui::Touch& first, const ui::Touch& second)
{
    if (first.identifier() == second.identifier())
        return 0;
    return first.identifier() < second.identifier() ? -1 : 1;
}
