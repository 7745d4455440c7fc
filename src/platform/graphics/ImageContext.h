#pragma once

#include "platform/foundation/Object.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/Image.h"

#include <memory>

namespace gfx {

// A context that makes a picture: a size in points, drawn at a scale (pixels per point), with the
// origin at the top left and y growing downwards. An opaque context starts black and keeps no
// transparency; any other starts transparent.
class ImageContext final : public GraphicsContext {
public:
    // A scale of 0 or less counts as 1; the pixel size is the point size times the scale, rounded
    // up. Null for a size without area or beyond 32767 pixels a side.
    static std::unique_ptr<ImageContext> create(Size, bool opaque, double scale);

    Size size() const { return m_size; }
    using GraphicsContext::scale;
    double scale() const { return m_scale; }
    bool isOpaque() const { return m_opaque; }

    // What has been drawn so far, at the context's scale, orientation up.
    fnd::Ref<Image> image() const;
    std::shared_ptr<const RawImage> createRawImage() const override;

private:
    ImageContext(SurfacePtr, Size, bool opaque, double scale);

    Size m_size;
    double m_scale;
    bool m_opaque;
};

}
