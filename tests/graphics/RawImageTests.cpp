#include "GraphicsTestSupport.h"

using namespace gfx;
using namespace brenzo::testing;

namespace {

// A 4 x 3 picture whose pixel (x, y) has red x * 60 and green y * 100.
std::shared_ptr<const RawImage> gradient()
{
    return makeRawImage(4, 3, [](size_t x, size_t y) { return Color(x * 60 / 255.0, y * 100 / 255.0, 0); });
}

Pixel gradientPixel(size_t x, size_t y)
{
    return Pixel { uint8_t(x * 60), uint8_t(y * 100), 0, 255 };
}

std::shared_ptr<const RawImage> greyMask(size_t width, size_t height, double leftGrey, double rightGrey)
{
    auto context = BitmapContext::create(width, height, 8, 0, ColorSpace::Grey, AlphaInfo::None);
    context->setFillColor(Color::grey(leftGrey));
    context->fillRect(Rect(0, 0, width / 2.0, double(height)));
    context->setFillColor(Color::grey(rightGrey));
    context->fillRect(Rect(width / 2.0, 0, width / 2.0, double(height)));
    return context->createRawImage();
}

}

TEST(RawImage, DescribesItsLayout)
{
    auto image = gradient();
    EXPECT_EQ(image->width(), 4u);
    EXPECT_EQ(image->height(), 3u);
    EXPECT_EQ(image->bitsPerComponent(), 8u);
    EXPECT_EQ(image->bitsPerPixel(), 32u);
    EXPECT_EQ(image->bytesPerRow(), 16u);
    EXPECT_EQ(image->colorSpace(), ColorSpace::RGB);
    EXPECT_EQ(image->alphaInfo(), AlphaInfo::PremultipliedFirst);
    EXPECT_EQ(image->pixelAt(3, 2), gradientPixel(3, 2));
    EXPECT_EQ(image->pixelAt(4, 0), transparent);
    EXPECT_EQ(image->pixelAt(0, 3), transparent);
}

TEST(RawImage, CropTakesThePixelsInsideTheRectangle)
{
    auto cropped = gradient()->createWithImageInRect(Rect(1, 1, 2, 2));
    ASSERT_TRUE(cropped);
    EXPECT_EQ(cropped->width(), 2u);
    EXPECT_EQ(cropped->height(), 2u);
    EXPECT_EQ(cropped->alphaInfo(), AlphaInfo::PremultipliedFirst);
    EXPECT_EQ(cropped->pixelAt(0, 0), gradientPixel(1, 1));
    EXPECT_EQ(cropped->pixelAt(1, 1), gradientPixel(2, 2));

    // Fractional edges grow to whole pixels.
    auto grown = gradient()->createWithImageInRect(Rect(0.5, 0.5, 1, 1));
    ASSERT_TRUE(grown);
    EXPECT_EQ(grown->width(), 2u);
    EXPECT_EQ(grown->pixelAt(0, 0), gradientPixel(0, 0));
}

TEST(RawImage, CropReachingOutsideKeepsOnlyTheImagePart)
{
    auto cropped = gradient()->createWithImageInRect(Rect(-2, 2, 4, 10));
    ASSERT_TRUE(cropped);
    EXPECT_EQ(cropped->width(), 2u);
    EXPECT_EQ(cropped->height(), 1u);
    EXPECT_EQ(cropped->pixelAt(1, 0), gradientPixel(1, 2));
}

TEST(RawImage, CropOutsideTheImageAnswersNothing)
{
    auto image = gradient();
    EXPECT_FALSE(image->createWithImageInRect(Rect(10, 10, 5, 5)));
    EXPECT_FALSE(image->createWithImageInRect(Rect(-5, 0, 5, 3)));
    EXPECT_FALSE(image->createWithImageInRect(Rect(1, 1, 0, 0)));
    EXPECT_FALSE(image->createWithImageInRect(Rect::null()));
}

TEST(RawImage, CropKeepsGreyImagesGrey)
{
    auto mask = greyMask(4, 2, 0, 1);
    auto right = mask->createWithImageInRect(Rect(2, 0, 2, 2));
    ASSERT_TRUE(right);
    EXPECT_EQ(right->colorSpace(), ColorSpace::Grey);
    EXPECT_EQ(right->pixelAt(0, 0), opaqueWhite);
}

TEST(RawImage, MaskTurnsGreyIntoAlpha)
{
    auto red = solidRawImage(4, 2, Color(1, 0, 0));
    auto masked = red->createWithMask(*greyMask(4, 2, 0, 1));
    ASSERT_TRUE(masked);
    EXPECT_EQ(masked->alphaInfo(), AlphaInfo::PremultipliedFirst);
    EXPECT_EQ(masked->pixelAt(0, 0), transparent);
    EXPECT_EQ(masked->pixelAt(1, 1), transparent);
    EXPECT_EQ(masked->pixelAt(2, 0), opaqueRed);
    EXPECT_EQ(masked->pixelAt(3, 1), opaqueRed);

    auto half = red->createWithMask(*greyMask(4, 2, 0.5, 0.5));
    EXPECT_TRUE(pixelNear(half->pixelAt(1, 1), Pixel { 255, 0, 0, 128 }, 1));
}

TEST(RawImage, MaskOfAnotherSizeIsStretched)
{
    auto red = solidRawImage(40, 4, Color(1, 0, 0));
    auto masked = red->createWithMask(*greyMask(2, 1, 0, 1));
    ASSERT_TRUE(masked);
    EXPECT_EQ(masked->width(), 40u);
    EXPECT_EQ(masked->pixelAt(2, 2).alpha, 0);
    EXPECT_EQ(masked->pixelAt(37, 2), opaqueRed);
}

TEST(RawImage, MaskMustBeGrey)
{
    auto red = solidRawImage(4, 2, Color(1, 0, 0));
    EXPECT_FALSE(red->createWithMask(*solidRawImage(4, 2, Color::white())));
}

TEST(RawImage, AdoptRefusesASurfaceThatDoesNotMatchTheLayout)
{
    EXPECT_FALSE(RawImage::adopt(nullptr, ColorSpace::RGB, AlphaInfo::PremultipliedFirst));
    EXPECT_FALSE(RawImage::adopt(createImageSurface(CAIRO_FORMAT_A8, 2, 2), ColorSpace::RGB, AlphaInfo::PremultipliedFirst));
    EXPECT_FALSE(RawImage::adopt(createImageSurface(CAIRO_FORMAT_RGB24, 2, 2), ColorSpace::RGB, AlphaInfo::PremultipliedFirst));
    EXPECT_FALSE(RawImage::adopt(createImageSurface(CAIRO_FORMAT_ARGB32, 2, 2), ColorSpace::Grey, AlphaInfo::None));
    EXPECT_TRUE(RawImage::adopt(createImageSurface(CAIRO_FORMAT_RGB24, 2, 2), ColorSpace::RGB, AlphaInfo::NoneSkipLast));
}
