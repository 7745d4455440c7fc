#pragma once

#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/Image.h"

// Rounded corners for pictures. The picture made has scale 1, the receiver's size in points as its
// pixel size and the orientation up; the receiver is left unchanged.
class ImageRoundedCorner {
public:
    // The picture clipped to a rounded rectangle inset `borderSize` from every edge, with corners
    // of radius `cornerSize`; what lies outside is transparent, the size stays. A border of half
    // the size or more leaves a fully transparent picture.
    static fnd::Ref<gfx::Image> roundedCornerImage(const gfx::Image&, int cornerSize, int borderSize);
    // Adds the rectangle with corners of radius ovalWidth across and ovalHeight down to the
    // context's path; with either 0, the plain rectangle.
    static void addRoundedRectToPathContextOvalWidthOvalHeight(const gfx::Rect&, gfx::GraphicsContext&, double ovalWidth, double ovalHeight);
};
