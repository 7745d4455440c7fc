#pragma once

#include "platform/graphics/AffineTransform.h"
#include "platform/graphics/BitmapContext.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/Image.h"
#include "platform/graphics/Pixel.h"
#include "platform/graphics/Rect.h"

#include <gtest/gtest.h>

#include <memory>
#include <ostream>

namespace gfx {

inline void PrintTo(const Point& point, std::ostream* out)
{
    *out << "{" << point.x << ", " << point.y << "}";
}

inline void PrintTo(const Size& size, std::ostream* out)
{
    *out << "{" << size.width << ", " << size.height << "}";
}

inline void PrintTo(const Rect& rect, std::ostream* out)
{
    *out << "{{" << rect.origin.x << ", " << rect.origin.y << "}, {" << rect.size.width << ", " << rect.size.height << "}}";
}

inline void PrintTo(const AffineTransform& t, std::ostream* out)
{
    *out << "[" << t.a << ", " << t.b << ", " << t.c << ", " << t.d << ", " << t.tx << ", " << t.ty << "]";
}

inline void PrintTo(const Pixel& pixel, std::ostream* out)
{
    *out << "rgba(" << int(pixel.red) << ", " << int(pixel.green) << ", " << int(pixel.blue) << ", " << int(pixel.alpha) << ")";
}

}

namespace brenzo::testing {

constexpr gfx::Pixel opaqueRed { 255, 0, 0, 255 };
constexpr gfx::Pixel opaqueGreen { 0, 255, 0, 255 };
constexpr gfx::Pixel opaqueBlue { 0, 0, 255, 255 };
constexpr gfx::Pixel opaqueWhite { 255, 255, 255, 255 };
constexpr gfx::Pixel opaqueBlack { 0, 0, 0, 255 };
constexpr gfx::Pixel transparent { 0, 0, 0, 0 };

inline std::unique_ptr<gfx::BitmapContext> rgbaContext(size_t width, size_t height)
{
    return gfx::BitmapContext::create(width, height, 8, 0, gfx::ColorSpace::RGB, gfx::AlphaInfo::PremultipliedFirst);
}

// Pixels whose colour depends on the position, top-left origin: `colorAt(x, y)` for each pixel.
template<typename ColorAt>
std::shared_ptr<const gfx::RawImage> makeRawImage(size_t width, size_t height, ColorAt colorAt)
{
    auto context = rgbaContext(width, height);
    for (size_t y = 0; y < height; ++y) {
        for (size_t x = 0; x < width; ++x) {
            context->setFillColor(colorAt(x, y));
            // Bottom-left origin: memory row y is user row height - 1 - y.
            context->fillRect(gfx::Rect(double(x), double(height - 1 - y), 1, 1));
        }
    }
    return context->createRawImage();
}

inline std::shared_ptr<const gfx::RawImage> solidRawImage(size_t width, size_t height, gfx::Color color)
{
    auto context = rgbaContext(width, height);
    context->setFillColor(color);
    context->fillRect(gfx::Rect(0, 0, double(width), double(height)));
    return context->createRawImage();
}

// Channels may differ by a little after smoothing or lossy compression.
inline ::testing::AssertionResult pixelNear(const gfx::Pixel& actual, const gfx::Pixel& expected, int tolerance)
{
    auto close = [tolerance](int a, int b) { return std::abs(a - b) <= tolerance; };
    if (close(actual.red, expected.red) && close(actual.green, expected.green) && close(actual.blue, expected.blue) && close(actual.alpha, expected.alpha))
        return ::testing::AssertionSuccess();
    std::ostringstream message;
    gfx::PrintTo(actual, &message);
    message << " is not within " << tolerance << " of ";
    gfx::PrintTo(expected, &message);
    return ::testing::AssertionFailure() << message.str();
}

}
