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
    enum class Effort {
        // libpng's default compression.
        Smallest,
        // The fastest compression, for images written while someone waits (screenshots).
        Fast,
    };
    // Straight-alpha RGBA for ARGB32 surfaces, RGB for RGB24, grey for A8. Empty when the surface
    // cannot be written.
    static std::vector<uint8_t> encode(cairo_surface_t*, Effort = Effort::Smallest);
};

}
