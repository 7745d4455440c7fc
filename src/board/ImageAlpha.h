#pragma once

#include "platform/graphics/BitmapContext.h"
#include "platform/graphics/Image.h"

#include <memory>

// Alpha-channel helpers for pictures. Every picture made here has scale 1, a pixel size equal to
// the receiver's size in points and the orientation up; the receiver is left unchanged. Each
// answers null when no picture can be made (nothing to draw, or a size beyond the drawing limits).
class ImageAlpha {
public:
    // True for the layouts with an alpha channel, premultiplied or not, first or last.
    static bool hasAlpha(const gfx::Image&);
    // The picture itself when it has alpha; otherwise a copy that has.
    static fnd::Ref<gfx::Image> imageWithAlpha(const fnd::Ref<gfx::Image>&);
    // The picture inside a fully transparent frame `border` points wide on every side.
    static fnd::Ref<gfx::Image> transparentBorderImage(const gfx::Image&, unsigned border);
    // A grey mask of the size: black (transparent) in a frame `border` wide, white inside. A border
    // of half the size or more leaves no inside: the mask is black throughout.
    static std::shared_ptr<const gfx::RawImage> newBorderMask(unsigned border, gfx::Size);

    // A bitmap context for drawing a picture of this layout: the layout itself, or the nearest one
    // a context can draw into when it cannot (non-premultiplied alpha, or none without padding).
    static std::unique_ptr<gfx::BitmapContext> createContextLike(const gfx::RawImage&, size_t width, size_t height);
    // The receiver's size in points as whole pixels.
    static gfx::Size pixelSizeOf(const gfx::Image&);
};
