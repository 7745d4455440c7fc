#pragma once

#include "platform/graphics/Color.h"
#include "platform/graphics/Image.h"
#include "platform/graphics/Pixel.h"
#include "platform/graphics/Rect.h"

#include <ostream>

namespace brenzo::testing {

// Opaque pictures of scale 1 made for tests.
fnd::Ref<gfx::Image> solidPicture(gfx::Size, const gfx::Color&);
// The left half in one colour, the right half in the other.
fnd::Ref<gfx::Image> splitPicture(gfx::Size, const gfx::Color& left, const gfx::Color& right);
// The same stored pixels shown with another orientation.
fnd::Ref<gfx::Image> withOrientation(const gfx::Image&, gfx::ImageOrientation);

gfx::Pixel pixelOf(const gfx::Color&);
// Each component within the tolerance.
bool isNear(const gfx::Pixel&, const gfx::Pixel&, int tolerance = 3);

}

namespace gfx {
std::ostream& operator<<(std::ostream&, const Pixel&);
std::ostream& operator<<(std::ostream&, const Rect&);
std::ostream& operator<<(std::ostream&, const Size&);
}
