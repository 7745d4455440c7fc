#pragma once

#include "platform/graphics/AffineTransform.h"
#include "platform/graphics/Point.h"

#include <cstdint>
#include <vector>

namespace ui {
class Touch;
}

// One finger of an edit-mode gesture: where it began and where it is now, in the coordinates of
// the picture's superview. The identifier orders fingers the same way on every run.
struct TouchTrack {
    uint64_t identifier { 0 };
    gfx::Point begin;
    gfx::Point current;
};

// The arithmetic of moving, scaling and rotating a picture with one or two fingers.
class TouchImageTransform {
public:
    // The transform, about the picture's centre, that the fingers made since they began: none for
    // no finger, a translation for one, and for two or more (the two oldest count) the uniform
    // scale, rotation and translation that takes both begin points to the current ones. Two
    // fingers that began almost on the same spot only translate.
    static gfx::AffineTransform incremental(std::vector<TouchTrack>, gfx::Point center);

    // Squared distance under which two begin points count as one.
    static constexpr double coincidenceThreshold = 0.1;
};

// Orders two touches by identity: -1 when the first is the older, 0 for the same touch, 1 otherwise.
int compareTouches(const ui::Touch&, const ui::Touch&);
