#pragma once

#include <cairo.h>

#include <memory>

namespace gfx {

struct CairoSurfaceDeleter {
    void operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }
};

struct CairoContextDeleter {
    void operator()(cairo_t* context) const { cairo_destroy(context); }
};

using SurfacePtr = std::unique_ptr<cairo_surface_t, CairoSurfaceDeleter>;
using CairoPtr = std::unique_ptr<cairo_t, CairoContextDeleter>;

// The largest side cairo's image surfaces accept.
constexpr int maximumSurfaceSide = 32767;

// A cleared image surface, or null when the size is unusable or memory runs out.
SurfacePtr createImageSurface(cairo_format_t, int width, int height);
SurfacePtr retainSurface(cairo_surface_t*);

}
