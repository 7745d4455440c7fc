#pragma once

#include "platform/foundation/Data.h"
#include "platform/foundation/Object.h"
#include "platform/graphics/PNGCodec.h"
#include "platform/graphics/Pixel.h"
#include "platform/graphics/RawImage.h"
#include "platform/graphics/Size.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>

namespace gfx {

// How the stored pixels must be turned to appear upright, numbered as the platform numbered them.
// Left: the pixels appear rotated a quarter turn counter-clockwise; right: clockwise (a portrait
// photo from a camera held upright). The mirrored forms flip the picture horizontally as well.
enum class ImageOrientation {
    Up = 0,
    Down = 1,
    Left = 2,
    Right = 3,
    UpMirrored = 4,
    DownMirrored = 5,
    LeftMirrored = 6,
    RightMirrored = 7,
};

// True for the orientations that swap width and height.
bool isTransposed(ImageOrientation);

// A picture: pixels, the scale that relates them to points (1, or 2 on a double-density screen) and
// an orientation. Immutable.
class Image : public fnd::Object {
public:
    // PNG or JPEG bytes; anything else, damaged or too large answers null.
    static fnd::Ref<Image> createWithData(std::span<const uint8_t>, double scale = 1);
    static fnd::Ref<Image> createWithData(const fnd::Data&, double scale = 1);
    static fnd::Ref<Image> createWithContentsOfFile(const std::filesystem::path&, double scale = 1);
    // A scale of 0 or less counts as 1.
    static fnd::Ref<Image> createWithRawImage(std::shared_ptr<const RawImage>, double scale = 1, ImageOrientation = ImageOrientation::Up);

    // In points: pixels divided by the scale, width and height swapped for the left and right
    // orientations.
    Size size() const;
    double scale() const { return m_scale; }
    ImageOrientation imageOrientation() const { return m_orientation; }
    const std::shared_ptr<const RawImage>& rawImage() const { return m_rawImage; }
    // The stored pixel, before any orientation.
    Pixel pixelAt(size_t x, size_t y) const { return m_rawImage->pixelAt(x, y); }

    // Both encode the picture as it appears (orientation applied), since neither file keeps an
    // orientation here. Null when encoding fails.
    fnd::Ref<fnd::Data> pngRepresentation(PNGCodec::Effort = PNGCodec::Effort::Smallest) const;
    // Quality 0 (smallest) ... 1 (best).
    fnd::Ref<fnd::Data> jpegRepresentation(double quality) const;

    std::string_view className() const override { return "Image"; }
    std::string description() const override;

    // Public so that make_shared can build instances; use the factories.
    Image(std::shared_ptr<const RawImage>, double scale, ImageOrientation);

private:
    // The pixels as they appear, in ARGB32 or RGB24.
    SurfacePtr uprightSurface() const;

    std::shared_ptr<const RawImage> m_rawImage;
    double m_scale;
    ImageOrientation m_orientation;
};

}
