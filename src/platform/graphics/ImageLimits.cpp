#include "platform/graphics/ImageLimits.h"

#include "platform/graphics/CairoHandles.h"

namespace gfx {

bool isAcceptableImageSize(uint64_t width, uint64_t height)
{
    if (width == 0 || height == 0 || width > maximumSurfaceSide || height > maximumSurfaceSide)
        return false;
    return width * height <= maximumDecodedPixelCount;
}

}
