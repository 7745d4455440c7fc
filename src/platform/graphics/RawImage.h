#pragma once

#include "platform/graphics/BitmapFormat.h"
#include "platform/graphics/CairoHandles.h"
#include "platform/graphics/Pixel.h"
#include "platform/graphics/Rect.h"

#include <cstddef>
#include <memory>

namespace gfx {

// Immutable pixels with the layout the platform reported for them. RGB pixels are kept as a cairo
// ARGB32 surface (layouts with alpha) or RGB24 (layouts without); grey pixels as A8 holding the
// grey values. Coordinates have their origin at the top-left pixel.
class RawImage {
public:
    // Adopts a surface in one of the three layouts above; answers null for any other.
    static std::shared_ptr<const RawImage> adopt(SurfacePtr, ColorSpace, AlphaInfo, size_t bytesPerRow = 0);

    RawImage(const RawImage&) = delete;
    RawImage& operator=(const RawImage&) = delete;

    size_t width() const { return m_width; }
    size_t height() const { return m_height; }
    size_t bitsPerComponent() const { return 8; }
    size_t bitsPerPixel() const { return 8 * bytesPerPixel(m_colorSpace); }
    size_t bytesPerRow() const { return m_bytesPerRow; }
    ColorSpace colorSpace() const { return m_colorSpace; }
    AlphaInfo alphaInfo() const { return m_alphaInfo; }

    // Outside the image answers a transparent pixel.
    Pixel pixelAt(size_t x, size_t y) const;

    // The pixels inside the rectangle (made integral, clipped to the image), or null when nothing
    // of the image lies inside it.
    std::shared_ptr<const RawImage> createWithImageInRect(const Rect&) const;
    // The grey values of the mask become the alpha of the result (black: transparent, white: as
    // before); a mask of another size is stretched over the image. The mask must be a grey image
    // without alpha; any other answers null.
    std::shared_ptr<const RawImage> createWithMask(const RawImage& mask) const;

    // The pixels for drawing, in ARGB32 or RGB24 (grey images are spread to RGB).
    SurfacePtr drawableSurface() const;
    cairo_surface_t* cairoSurface() const { return m_surface.get(); }

private:
    RawImage(SurfacePtr, ColorSpace, AlphaInfo, size_t bytesPerRow);

    SurfacePtr m_surface;
    size_t m_width;
    size_t m_height;
    size_t m_bytesPerRow;
    ColorSpace m_colorSpace;
    AlphaInfo m_alphaInfo;
};

}
