#pragma once

#include "platform/graphics/BitmapFormat.h"
#include "platform/graphics/GraphicsContext.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace gfx {

// A context drawing into pixels of a given layout, with the origin at the bottom left and y
// growing upwards: filling (0, 0, width, 1) paints the last row in memory.
class BitmapContext final : public GraphicsContext {
public:
    // Null for a layout that cannot be drawn into (see isSupportedBitmapFormat), a size of nothing
    // or more than 32767 pixels a side, or rows shorter than the pixels. A row length of 0 lets the
    // context choose.
    static std::unique_ptr<BitmapContext> create(size_t width, size_t height, size_t bitsPerComponent, size_t bytesPerRow,
        ColorSpace, AlphaInfo);

    size_t width() const { return pixelsWide(); }
    size_t height() const { return pixelsHigh(); }
    size_t bitsPerComponent() const { return 8; }
    size_t bytesPerRow() const { return m_bytesPerRow; }
    ColorSpace colorSpace() const { return m_colorSpace; }
    AlphaInfo alphaInfo() const { return m_alphaInfo; }

    // A copy of the pixels in the context's own layout, rows of bytesPerRow() bytes, first row in
    // memory first.
    std::vector<uint8_t> data() const;

    std::shared_ptr<const RawImage> createRawImage() const override;

private:
    BitmapContext(SurfacePtr, const AffineTransform& flip, size_t bytesPerRow, ColorSpace, AlphaInfo);

    size_t m_bytesPerRow;
    ColorSpace m_colorSpace;
    AlphaInfo m_alphaInfo;
};

}
