#pragma once

#include "platform/graphics/AffineTransform.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/Image.h"
#include "platform/ui/View.h"

// Resizing, cropping and thumbnails for pictures. Every picture made here has scale 1, a pixel
// size equal to the size asked for and the orientation up (a photo taken sideways comes out
// upright); the receiver is left unchanged. Each answers null when there is nothing to make: a
// size without area, a crop outside the picture, or a size beyond the drawing limits.
class ImageResize {
public:
    static constexpr std::string_view invalidArgumentException = "NSInvalidArgumentException";

    // The part of the stored pixels inside the rectangle, clipped to the picture.
    static fnd::Ref<gfx::Image> croppedImage(const gfx::Image&, const gfx::Rect&);
    // A square of side `side` filled from the picture's centre, inside a transparent border (when
    // not 0) and with rounded corners.
    static fnd::Ref<gfx::Image> thumbnailImage(const gfx::Image&, int side, unsigned border, unsigned cornerRadius, gfx::InterpolationQuality);
    // The picture stretched to exactly the size, upright.
    static fnd::Ref<gfx::Image> resizedImage(const gfx::Image&, gfx::Size, gfx::InterpolationQuality);
    // The picture scaled, keeping its aspect, to fit inside the bounds (ScaleAspectFit) or to fill
    // them (ScaleAspectFill). Any other mode throws an "NSInvalidArgumentException".
    static fnd::Ref<gfx::Image> resizedImageWithContentMode(const gfx::Image&, ui::ContentMode, gfx::Size bounds, gfx::InterpolationQuality);
    // The drawing step of every resize: the stored pixels drawn through the transform into a new
    // RGB bitmap of the size, into the size with width and height swapped when `transposed`.
    static fnd::Ref<gfx::Image> resizedImageTransformDrawTransposed(const gfx::Image&, gfx::Size, const gfx::AffineTransform&, bool transposed,
        gfx::InterpolationQuality);
    // The transform that turns the stored pixels upright in a bitmap of the size.
    static gfx::AffineTransform transformForOrientation(const gfx::Image&, gfx::Size);
};
