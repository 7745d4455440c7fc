// Pins down which way is up: a mistake here turns every picture of the application on its head.

#include "GraphicsTestSupport.h"

#include "platform/graphics/ImageContext.h"

#include <numbers>

using namespace gfx;
using namespace brenzo::testing;

namespace {

// Top row red, bottom row blue.
std::shared_ptr<const RawImage> redOverBlue()
{
    return makeRawImage(3, 2, [](size_t, size_t y) { return y == 0 ? Color(1, 0, 0) : Color(0, 0, 1); });
}

}

TEST(OrientationConventions, BitmapContextsHaveTheirOriginAtTheBottomLeft)
{
    auto context = rgbaContext(4, 3);
    context->setFillColor(Color(1, 0, 0));
    context->fillRect(Rect(0, 0, 4, 1));

    EXPECT_EQ(context->pixelAt(0, 2), opaqueRed);
    EXPECT_EQ(context->pixelAt(3, 2), opaqueRed);
    EXPECT_EQ(context->pixelAt(0, 0), transparent);
    std::vector<uint8_t> bytes = context->data();
    ASSERT_EQ(bytes.size(), 4u * 4 * 3);
    // Alpha first: A R G B, the last row in memory.
    EXPECT_EQ(bytes[2 * 16 + 0], 255);
    EXPECT_EQ(bytes[2 * 16 + 1], 255);
    EXPECT_EQ(bytes[0], 0);
    EXPECT_EQ(context->createRawImage()->pixelAt(0, 2), opaqueRed);
}

TEST(OrientationConventions, ImageContextsHaveTheirOriginAtTheTopLeft)
{
    auto context = ImageContext::create(Size(4, 3), false, 1);
    context->setFillColor(Color(1, 0, 0));
    context->fillRect(Rect(0, 0, 4, 1));
    auto image = context->image();
    EXPECT_EQ(image->pixelAt(0, 0), opaqueRed);
    EXPECT_EQ(image->pixelAt(0, 2), transparent);
}

TEST(OrientationConventions, ImagesAppearUprightInBothKindsOfContext)
{
    auto raw = redOverBlue();

    auto bitmap = rgbaContext(3, 2);
    bitmap->drawRawImage(*raw, Rect(0, 0, 3, 2));
    EXPECT_EQ(bitmap->pixelAt(1, 0), opaqueRed);
    EXPECT_EQ(bitmap->pixelAt(1, 1), opaqueBlue);

    auto bitmapWithImage = rgbaContext(3, 2);
    bitmapWithImage->drawImage(*Image::createWithRawImage(raw), Rect(0, 0, 3, 2));
    EXPECT_EQ(bitmapWithImage->pixelAt(1, 0), opaqueRed);
    EXPECT_EQ(bitmapWithImage->pixelAt(1, 1), opaqueBlue);

    auto imageContext = ImageContext::create(Size(3, 2), false, 1);
    imageContext->drawImage(*Image::createWithRawImage(raw), Rect(0, 0, 3, 2));
    EXPECT_EQ(imageContext->pixelAt(1, 0), opaqueRed);
    EXPECT_EQ(imageContext->pixelAt(1, 1), opaqueBlue);
}

TEST(OrientationConventions, RawPixelsFollowUserSpaceSoAnImageContextShowsThemUpsideDown)
{
    auto raw = redOverBlue();
    auto context = ImageContext::create(Size(3, 2), false, 1);
    context->drawRawImage(*raw, Rect(0, 0, 3, 2));
    EXPECT_EQ(context->pixelAt(1, 0), opaqueBlue);

    // Flipping the space first, as drawing code on the platform does, puts them right.
    auto flipped = ImageContext::create(Size(3, 2), false, 1);
    flipped->translate(0, 2);
    flipped->scale(1, -1);
    flipped->drawRawImage(*raw, Rect(0, 0, 3, 2));
    EXPECT_EQ(flipped->pixelAt(1, 0), opaqueRed);
}

TEST(OrientationConventions, TheRightOrientationTurnsTheSizeAQuarter)
{
    auto raw = makeRawImage(2, 1, [](size_t x, size_t) { return x == 0 ? Color(1, 0, 0) : Color(0, 0, 1); });
    auto image = Image::createWithRawImage(raw, 1, ImageOrientation::Right);
    EXPECT_EQ(image->size(), Size(1, 2));
    EXPECT_EQ(Image::createWithRawImage(raw, 2, ImageOrientation::Right)->size(), Size(0.5, 1));
    EXPECT_EQ(Image::createWithRawImage(raw, 1, ImageOrientation::Down)->size(), Size(2, 1));

    // A quarter turn clockwise: the left pixel comes out on top.
    auto context = ImageContext::create(Size(1, 2), false, 1);
    context->drawImage(*image, Rect(0, 0, 1, 2));
    EXPECT_EQ(context->pixelAt(0, 0), opaqueRed);
    EXPECT_EQ(context->pixelAt(0, 1), opaqueBlue);
}

TEST(OrientationConventions, EveryOrientationTurnsOrMirrorsAsNumbered)
{
    // Stored pixels: red green / blue white.
    auto raw = makeRawImage(2, 2, [](size_t x, size_t y) {
        Color colors[2][2] = { { Color(1, 0, 0), Color(0, 1, 0) }, { Color(0, 0, 1), Color(1, 1, 1) } };
        return colors[y][x];
    });
    const Pixel R = opaqueRed, G = opaqueGreen, B = opaqueBlue, W = opaqueWhite;
    struct Expectation {
        ImageOrientation orientation;
        Pixel topLeft, topRight, bottomLeft, bottomRight;
    };
    const Expectation expectations[] = {
        { ImageOrientation::Up, R, G, B, W },
        { ImageOrientation::Down, W, B, G, R },
        { ImageOrientation::Left, G, W, R, B },
        { ImageOrientation::Right, B, R, W, G },
        { ImageOrientation::UpMirrored, G, R, W, B },
        { ImageOrientation::DownMirrored, B, W, R, G },
        { ImageOrientation::LeftMirrored, R, B, G, W },
        { ImageOrientation::RightMirrored, W, G, B, R },
    };
    for (const Expectation& expected : expectations) {
        SCOPED_TRACE(static_cast<int>(expected.orientation));
        auto image = Image::createWithRawImage(raw, 1, expected.orientation);

        auto imageContext = ImageContext::create(Size(2, 2), false, 1);
        imageContext->drawImage(*image, Rect(0, 0, 2, 2));
        EXPECT_EQ(imageContext->pixelAt(0, 0), expected.topLeft);
        EXPECT_EQ(imageContext->pixelAt(1, 0), expected.topRight);
        EXPECT_EQ(imageContext->pixelAt(0, 1), expected.bottomLeft);
        EXPECT_EQ(imageContext->pixelAt(1, 1), expected.bottomRight);

        auto bitmap = rgbaContext(2, 2);
        bitmap->drawImage(*image, Rect(0, 0, 2, 2));
        EXPECT_EQ(bitmap->pixelAt(0, 0), expected.topLeft);
        EXPECT_EQ(bitmap->pixelAt(1, 1), expected.bottomRight);
    }
}

TEST(OrientationConventions, TheBoardsResizeStepsGiveAnUprightPicture)
{
    // Stored pixels: red green / blue white, taken with the camera turned (orientation right).
    auto raw = makeRawImage(2, 2, [](size_t x, size_t y) {
        Color colors[2][2] = { { Color(1, 0, 0), Color(0, 1, 0) }, { Color(0, 0, 1), Color(1, 1, 1) } };
        return colors[y][x];
    });
    // Resize to 4 x 6 the way the image helpers do: translate by (0, h), rotate by -pi/2, then
    // draw the stored pixels into the rectangle with width and height swapped.
    double width = 4, height = 6;
    AffineTransform upright = AffineTransform::identity().translatedBy(0, height).rotatedBy(-std::numbers::pi / 2);
    auto context = BitmapContext::create(4, 6, 8, 4 * 4, ColorSpace::RGB, AlphaInfo::PremultipliedFirst);
    context->concatenate(upright);
    context->setInterpolationQuality(InterpolationQuality::None);
    context->drawRawImage(*raw, Rect(0, 0, height, width));

    // A quarter turn clockwise: blue red / white green, seen from the top-left.
    EXPECT_EQ(context->pixelAt(0, 0), opaqueBlue);
    EXPECT_EQ(context->pixelAt(3, 0), opaqueRed);
    EXPECT_EQ(context->pixelAt(0, 5), opaqueWhite);
    EXPECT_EQ(context->pixelAt(3, 5), opaqueGreen);

    auto reference = ImageContext::create(Size(width, height), false, 1);
    reference->setInterpolationQuality(InterpolationQuality::None);
    reference->drawImage(*Image::createWithRawImage(raw, 1, ImageOrientation::Right), Rect(0, 0, width, height));
    for (size_t y = 0; y < 6; ++y) {
        for (size_t x = 0; x < 4; ++x)
            EXPECT_EQ(context->pixelAt(x, y), reference->pixelAt(x, y)) << x << "," << y;
    }
}

TEST(OrientationConventions, CurrentTransformMapsToBottomLeftPixels)
{
    auto bitmap = rgbaContext(10, 20);
    EXPECT_TRUE(bitmap->currentTransform().isIdentity());
    bitmap->translate(3, 4);
    bitmap->scale(2, 2);
    EXPECT_EQ(bitmap->currentTransform(), AffineTransform(2, 0, 0, 2, 3, 4));

    auto imageContext = ImageContext::create(Size(10, 20), false, 2);
    EXPECT_EQ(imageContext->currentTransform(), AffineTransform(2, 0, 0, -2, 0, 40));
}
