#pragma once

#include <cstddef>

namespace gfx {

enum class ColorSpace {
    RGB,
    Grey,
};

// Where the alpha channel sits in a pixel and whether colours are premultiplied by it, numbered as
// the platform numbered them.
enum class AlphaInfo {
    None = 0,
    PremultipliedLast = 1,
    PremultipliedFirst = 2,
    Last = 3,
    First = 4,
    NoneSkipLast = 5,
    NoneSkipFirst = 6,
    Only = 7,
};

// The pixel layouts that bitmap contexts can draw into: 8 bits per component, RGB with
// premultiplied or skipped alpha (first or last), or grey without alpha.
bool isSupportedBitmapFormat(size_t bitsPerComponent, ColorSpace, AlphaInfo);
size_t bytesPerPixel(ColorSpace);

}
