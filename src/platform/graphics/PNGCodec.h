#pragma once

#include "platform/graphics/CairoHandles.h"

#include <cstdint>
#include <span>
#include <vector>

namespace gfx {

class PNGCodec {
public:
    static bool hasSignature(std::span<const uint8_t>);
    // An ARGB32 surface for images with transparency, RGB24 otherwise; null for anything that is
    // not a well-formed PNG of a size we accept.
    static SurfacePtr decode(std::span<const uint8_t>);
    // Empty when the surface cannot be written.
    static std::vector<uint8_t> encode(cairo_surface_t*);
};

}
