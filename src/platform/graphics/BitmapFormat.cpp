#include "platform/graphics/BitmapFormat.h"

namespace gfx {

bool isSupportedBitmapFormat(size_t bitsPerComponent, ColorSpace colorSpace, AlphaInfo alphaInfo)
{
    if (bitsPerComponent != 8)
        return false;
    if (colorSpace == ColorSpace::Grey)
        return alphaInfo == AlphaInfo::None;
    switch (alphaInfo) {
    case AlphaInfo::PremultipliedFirst:
    case AlphaInfo::PremultipliedLast:
    case AlphaInfo::NoneSkipFirst:
    case AlphaInfo::NoneSkipLast:
        return true;
    default:
        return false;
    }
}

size_t bytesPerPixel(ColorSpace colorSpace)
{
    return colorSpace == ColorSpace::Grey ? 1 : 4;
}

}
