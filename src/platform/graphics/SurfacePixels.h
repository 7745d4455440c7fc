#pragma once

#include "platform/graphics/BitmapFormat.h"
#include "platform/graphics/CairoHandles.h"
#include "platform/graphics/Pixel.h"

#include <cstdint>
#include <vector>

// Pixel-level work on cairo image surfaces. Surfaces come in three layouts here: ARGB32
// (premultiplied colour with alpha), RGB24 (colour without alpha) and A8 holding grey values.
// Every function expects a surface whose drawing has been flushed, and never flushes it itself:
// the surfaces of raw images are shared between threads and must not change.
namespace gfx::surfacePixels {

// Memory coordinates: row 0 is the first row in memory. Outside the surface answers a
// transparent pixel.
Pixel read(cairo_surface_t*, int x, int row);

SurfacePtr copy(cairo_surface_t*);
// ARGB32 or RGB24; anything else is redrawn as ARGB32.
SurfacePtr normalizedToRGB(SurfacePtr);
// Grey values (A8) spread to RGB24.
SurfacePtr greyToRGB(cairo_surface_t*);
// RGB values reduced to grey (A8) by luminance.
SurfacePtr rgbToGrey(cairo_surface_t*);

// The bytes in the platform's layout for the colour space and alpha placement, component order as
// named (alpha first: A R G B; alpha last: R G B A), each row `bytesPerRow` long.
std::vector<uint8_t> exportBytes(cairo_surface_t*, ColorSpace, AlphaInfo, size_t bytesPerRow);

}
