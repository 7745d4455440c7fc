#pragma once

#include "platform/graphics/CairoHandles.h"

#include <cstdint>
#include <span>
#include <vector>

namespace gfx {

class JPEGCodec {
public:
    static bool hasSignature(std::span<const uint8_t>);
    // An RGB24 surface (grey and CMYK inputs are converted); null for anything libjpeg cannot
    // read or of a size we refuse. Orientation tags are ignored.
    static SurfacePtr decode(std::span<const uint8_t>);
    // Quality 0...1. Transparency is dropped: premultiplied colours are written, which shows
    // transparent areas as black. The surface must be flushed. Empty on failure.
    static std::vector<uint8_t> encode(cairo_surface_t*, double quality);
};

}
