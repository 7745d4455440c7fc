#include "TestPictures.h"

#include "board/ImageAlpha.h"
#include "board/ImageResize.h"
#include "board/ImageRoundedCorner.h"
#include "platform/foundation/Exception.h"
#include "platform/graphics/BitmapContext.h"

#include <gtest/gtest.h>

namespace brenzo::testing {

namespace {

const gfx::Color red { 1, 0, 0 };
const gfx::Color green { 0, 1, 0 };
const gfx::Color blue { 0, 0, 1 };
const gfx::Pixel transparent {};

uint8_t alphaAt(const gfx::Image& image, size_t x, size_t y)
{
    return image.pixelAt(x, y).alpha;
}

// A picture whose pixels have the given layout, as another program might hand it over.
fnd::Ref<gfx::Image> pictureWithLayout(cairo_format_t format, gfx::AlphaInfo alphaInfo)
{
    auto surface = gfx::createImageSurface(format, 8, 8);
    gfx::CairoPtr cairo(cairo_create(surface.get()));
    cairo_set_source_rgb(cairo.get(), 0, 1, 0);
    cairo_paint(cairo.get());
    cairo.reset();
    return gfx::Image::createWithRawImage(gfx::RawImage::adopt(std::move(surface), gfx::ColorSpace::RGB, alphaInfo));
}

}

TEST(ImageResize, StretchesToTheExactSizeWithoutCropping)
{
    auto photo = splitPicture({ 300, 200 }, red, blue);
    auto resized = ImageResize::resizedImage(*photo, { 180, 180 }, gfx::InterpolationQuality::High);
    ASSERT_TRUE(resized);
    EXPECT_EQ(resized->size(), (gfx::Size { 180, 180 }));
    EXPECT_EQ(resized->scale(), 1);
    EXPECT_EQ(resized->rawImage()->width(), 180u);
    // The split stays in the middle: both halves are kept, squeezed.
    EXPECT_PRED3(isNear, resized->pixelAt(0, 0), pixelOf(red), 3);
    EXPECT_PRED3(isNear, resized->pixelAt(85, 90), pixelOf(red), 3);
    EXPECT_PRED3(isNear, resized->pixelAt(95, 90), pixelOf(blue), 3);
    EXPECT_PRED3(isNear, resized->pixelAt(179, 179), pixelOf(blue), 3);
    EXPECT_EQ(photo->size(), (gfx::Size { 300, 200 }));
}

TEST(ImageResize, TurnsEveryOrientationUpright)
{
    // Stored pixels: red | blue.
    auto stored = splitPicture({ 2, 1 }, red, blue);
    struct Expectation {
        gfx::ImageOrientation orientation;
        gfx::Size size;
        gfx::Color first;
        gfx::Color second;
    };
    const Expectation expectations[] = {
        { gfx::ImageOrientation::Up, { 2, 1 }, red, blue },
        { gfx::ImageOrientation::Down, { 2, 1 }, blue, red },
        { gfx::ImageOrientation::UpMirrored, { 2, 1 }, blue, red },
        { gfx::ImageOrientation::DownMirrored, { 2, 1 }, red, blue },
        // A quarter turn clockwise: the left pixel goes on top.
        { gfx::ImageOrientation::Right, { 1, 2 }, red, blue },
        { gfx::ImageOrientation::Left, { 1, 2 }, blue, red },
        { gfx::ImageOrientation::RightMirrored, { 1, 2 }, blue, red },
        { gfx::ImageOrientation::LeftMirrored, { 1, 2 }, red, blue },
    };
    for (auto& expected : expectations) {
        SCOPED_TRACE(int(expected.orientation));
        auto photo = withOrientation(*stored, expected.orientation);
        ASSERT_EQ(photo->size(), expected.size);
        auto upright = ImageResize::resizedImage(*photo, expected.size, gfx::InterpolationQuality::None);
        ASSERT_TRUE(upright);
        EXPECT_EQ(upright->imageOrientation(), gfx::ImageOrientation::Up);
        EXPECT_EQ(upright->size(), expected.size);
        auto second = expected.size.width == 2 ? upright->pixelAt(1, 0) : upright->pixelAt(0, 1);
        EXPECT_EQ(upright->pixelAt(0, 0), pixelOf(expected.first));
        EXPECT_EQ(second, pixelOf(expected.second));
    }
}

TEST(ImageResize, APortraitPhotoIsUprightAfterAnyResize)
{
    auto portrait = withOrientation(*splitPicture({ 40, 20 }, red, blue), gfx::ImageOrientation::Right);
    auto resized = ImageResize::resizedImage(*portrait, { 30, 90 }, gfx::InterpolationQuality::High);
    ASSERT_TRUE(resized);
    EXPECT_PRED3(isNear, resized->pixelAt(15, 10), pixelOf(red), 3);
    EXPECT_PRED3(isNear, resized->pixelAt(15, 80), pixelOf(blue), 3);
}

TEST(ImageResize, FitsOrFillsKeepingTheAspect)
{
    auto photo = splitPicture({ 300, 200 }, red, blue);
    auto fitted = ImageResize::resizedImageWithContentMode(*photo, ui::ContentMode::ScaleAspectFit, { 100, 100 }, gfx::InterpolationQuality::Default);
    ASSERT_TRUE(fitted);
    EXPECT_EQ(fitted->size(), (gfx::Size { 100, 67 }));
    auto filled = ImageResize::resizedImageWithContentMode(*photo, ui::ContentMode::ScaleAspectFill, { 100, 100 }, gfx::InterpolationQuality::Default);
    ASSERT_TRUE(filled);
    EXPECT_EQ(filled->size(), (gfx::Size { 150, 100 }));

    try {
        ImageResize::resizedImageWithContentMode(*photo, ui::ContentMode::ScaleToFill, { 100, 100 }, gfx::InterpolationQuality::Default);
        ADD_FAILURE() << "no exception";
    } catch (const fnd::Exception& exception) {
        EXPECT_EQ(exception.name(), "NSInvalidArgumentException");
        EXPECT_EQ(exception.reason(), "Unsupported content mode: 0");
    }
    EXPECT_THROW(ImageResize::resizedImageWithContentMode(*photo, ui::ContentMode::Center, { 100, 100 }, gfx::InterpolationQuality::Default),
        fnd::Exception);
}

TEST(ImageResize, SizesWithoutAreaMakeNothing)
{
    auto photo = solidPicture({ 10, 10 }, red);
    EXPECT_FALSE(ImageResize::resizedImage(*photo, { 0, 10 }, gfx::InterpolationQuality::High));
    EXPECT_FALSE(ImageResize::resizedImage(*photo, { -5, 10 }, gfx::InterpolationQuality::High));
    EXPECT_FALSE(ImageResize::resizedImage(*photo, { 40000, 10 }, gfx::InterpolationQuality::High));
    EXPECT_FALSE(ImageResize::resizedImageWithContentMode(*photo, ui::ContentMode::ScaleAspectFit, { 0, 0 }, gfx::InterpolationQuality::High));
    EXPECT_FALSE(ImageResize::thumbnailImage(*photo, 0, 0, 0, gfx::InterpolationQuality::High));
}

TEST(ImageResize, CropsInsideThePictureAndClipsAtItsEdges)
{
    auto photo = splitPicture({ 10, 10 }, red, blue);
    auto inside = ImageResize::croppedImage(*photo, { 3, 2, 4, 5 });
    ASSERT_TRUE(inside);
    EXPECT_EQ(inside->size(), (gfx::Size { 4, 5 }));
    EXPECT_EQ(inside->pixelAt(0, 0), pixelOf(red));
    EXPECT_EQ(inside->pixelAt(3, 0), pixelOf(blue));

    auto overlapping = ImageResize::croppedImage(*photo, { 8, 8, 5, 5 });
    ASSERT_TRUE(overlapping);
    EXPECT_EQ(overlapping->size(), (gfx::Size { 2, 2 }));

    EXPECT_FALSE(ImageResize::croppedImage(*photo, { 20, 20, 5, 5 }));
    EXPECT_FALSE(ImageResize::croppedImage(*photo, { -10, 0, 5, 5 }));
}

TEST(ImageResize, ThumbnailsAreTheFilledCentreWithBorderAndCorners)
{
    auto photo = splitPicture({ 300, 200 }, red, blue);
    auto plain = ImageResize::thumbnailImage(*photo, 100, 0, 0, gfx::InterpolationQuality::High);
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->size(), (gfx::Size { 100, 100 }));
    // Filled to 150 x 100, the middle 100 kept: the split stays in the middle.
    EXPECT_PRED3(isNear, plain->pixelAt(0, 0), pixelOf(red), 3);
    EXPECT_PRED3(isNear, plain->pixelAt(45, 50), pixelOf(red), 3);
    EXPECT_PRED3(isNear, plain->pixelAt(55, 50), pixelOf(blue), 3);

    auto framed = ImageResize::thumbnailImage(*photo, 100, 5, 10, gfx::InterpolationQuality::High);
    ASSERT_TRUE(framed);
    EXPECT_EQ(framed->size(), (gfx::Size { 110, 110 }));
    EXPECT_EQ(alphaAt(*framed, 2, 55), 0);
    EXPECT_EQ(alphaAt(*framed, 6, 6), 0);
    EXPECT_EQ(alphaAt(*framed, 55, 55), 255);
}

TEST(ImageRoundedCorner, CutsCornersInsideATransparentRim)
{
    auto photo = solidPicture({ 180, 180 }, green);
    auto rounded = ImageRoundedCorner::roundedCornerImage(*photo, 12, 4);
    ASSERT_TRUE(rounded);
    EXPECT_EQ(rounded->size(), (gfx::Size { 180, 180 }));
    // The rim.
    for (size_t offset = 0; offset < 4; ++offset) {
        EXPECT_EQ(alphaAt(*rounded, offset, 90), 0) << offset;
        EXPECT_EQ(alphaAt(*rounded, 90, offset), 0) << offset;
        EXPECT_EQ(alphaAt(*rounded, 179 - offset, 90), 0) << offset;
        EXPECT_EQ(alphaAt(*rounded, 90, 179 - offset), 0) << offset;
    }
    EXPECT_EQ(rounded->pixelAt(4, 90), pixelOf(green));
    EXPECT_EQ(rounded->pixelAt(175, 90), pixelOf(green));
    // Corners of radius 12 (not 6) about (16, 16).
    EXPECT_EQ(alphaAt(*rounded, 6, 6), 0);
    EXPECT_EQ(alphaAt(*rounded, 8, 8), 255);
    EXPECT_EQ(alphaAt(*rounded, 173, 173), 0);
    EXPECT_EQ(alphaAt(*rounded, 171, 171), 255);
}

TEST(ImageRoundedCorner, OpaquePicturesGetTransparentCornersAndCornerSizeZeroIsSquare)
{
    auto photo = solidPicture({ 50, 50 }, green);
    ASSERT_FALSE(ImageAlpha::hasAlpha(*photo));
    auto rounded = ImageRoundedCorner::roundedCornerImage(*photo, 16, 0);
    ASSERT_TRUE(rounded);
    EXPECT_EQ(rounded->pixelAt(0, 0), transparent);
    EXPECT_EQ(rounded->pixelAt(25, 25), pixelOf(green));

    auto square = ImageRoundedCorner::roundedCornerImage(*photo, 0, 0);
    ASSERT_TRUE(square);
    EXPECT_EQ(square->pixelAt(0, 0), pixelOf(green));
    EXPECT_EQ(square->pixelAt(49, 49), pixelOf(green));

    auto squareInRim = ImageRoundedCorner::roundedCornerImage(*photo, 0, 4);
    ASSERT_TRUE(squareInRim);
    EXPECT_EQ(squareInRim->pixelAt(3, 3), transparent);
    EXPECT_EQ(squareInRim->pixelAt(4, 4), pixelOf(green));
}

TEST(ImageRoundedCorner, ABorderOfHalfTheSizeOrMoreLeavesATransparentPicture)
{
    auto photo = solidPicture({ 40, 30 }, green);
    for (int border : { 15, 20, 100, 40000 }) {
        SCOPED_TRACE(border);
        auto rounded = ImageRoundedCorner::roundedCornerImage(*photo, 8, border);
        ASSERT_TRUE(rounded);
        EXPECT_EQ(rounded->size(), (gfx::Size { 40, 30 }));
        for (size_t y = 0; y < 30; y += 7) {
            for (size_t x = 0; x < 40; x += 7)
                EXPECT_EQ(rounded->pixelAt(x, y), transparent) << x << "," << y;
        }
    }
}

TEST(ImageRoundedCorner, TheRoundedRectangleCornerRadiusIsTheOvalWidth)
{
    auto context = gfx::BitmapContext::create(100, 100, 8, 0, gfx::ColorSpace::RGB, gfx::AlphaInfo::PremultipliedFirst);
    context->beginPath();
    ImageRoundedCorner::addRoundedRectToPathContextOvalWidthOvalHeight({ 0, 0, 100, 100 }, *context, 20, 20);
    context->setFillColor(red);
    context->fillPath();
    EXPECT_EQ(context->pixelAt(4, 4).alpha, 0);
    EXPECT_EQ(context->pixelAt(8, 8).alpha, 255);
    EXPECT_EQ(context->pixelAt(50, 0).alpha, 255);
    EXPECT_EQ(context->pixelAt(95, 95).alpha, 0);

    context->beginPath();
    ImageRoundedCorner::addRoundedRectToPathContextOvalWidthOvalHeight({ 0, 0, 100, 100 }, *context, 0, 20);
    context->fillPath();
    EXPECT_EQ(context->pixelAt(0, 0).alpha, 255);
}

TEST(ImageAlpha, AddsAnAlphaChannelOnlyWhenThereIsNone)
{
    auto opaque = solidPicture({ 6, 4 }, red);
    EXPECT_FALSE(ImageAlpha::hasAlpha(*opaque));
    auto copy = ImageAlpha::imageWithAlpha(opaque);
    ASSERT_TRUE(copy);
    EXPECT_TRUE(ImageAlpha::hasAlpha(*copy));
    EXPECT_EQ(copy->size(), (gfx::Size { 6, 4 }));
    EXPECT_EQ(copy->pixelAt(5, 3), pixelOf(red));
    EXPECT_EQ(ImageAlpha::imageWithAlpha(copy), copy);
    EXPECT_FALSE(ImageAlpha::imageWithAlpha(nullptr));
}

TEST(ImageAlpha, FramesThePictureInATransparentBorder)
{
    auto photo = solidPicture({ 10, 8 }, blue);
    auto framed = ImageAlpha::transparentBorderImage(*photo, 3);
    ASSERT_TRUE(framed);
    EXPECT_EQ(framed->size(), (gfx::Size { 16, 14 }));
    EXPECT_EQ(framed->pixelAt(2, 7).alpha, 0);
    EXPECT_EQ(framed->pixelAt(8, 13).alpha, 0);
    EXPECT_EQ(framed->pixelAt(3, 3), pixelOf(blue));
    EXPECT_EQ(framed->pixelAt(12, 10), pixelOf(blue));

    EXPECT_FALSE(ImageAlpha::transparentBorderImage(*photo, 40000));
}

TEST(ImageAlpha, TheBorderMaskIsBlackAroundAWhiteInside)
{
    auto mask = ImageAlpha::newBorderMask(2, { 8, 6 });
    ASSERT_TRUE(mask);
    EXPECT_EQ(mask->colorSpace(), gfx::ColorSpace::Grey);
    EXPECT_EQ(mask->width(), 8u);
    EXPECT_EQ(mask->pixelAt(1, 3).red, 0);
    EXPECT_EQ(mask->pixelAt(2, 2).red, 255);
    EXPECT_EQ(mask->pixelAt(5, 3).red, 255);
    EXPECT_EQ(mask->pixelAt(6, 3).red, 0);

    auto noInside = ImageAlpha::newBorderMask(3, { 8, 6 });
    ASSERT_TRUE(noInside);
    for (size_t x = 0; x < 8; ++x)
        EXPECT_EQ(noInside->pixelAt(x, 3).red, 0) << x;
}

TEST(ImageAlpha, PicturesInLayoutsAContextCannotDrawIntoAreStillHandled)
{
    for (auto [format, alphaInfo] : { std::pair { CAIRO_FORMAT_ARGB32, gfx::AlphaInfo::First }, std::pair { CAIRO_FORMAT_ARGB32, gfx::AlphaInfo::Last },
             std::pair { CAIRO_FORMAT_RGB24, gfx::AlphaInfo::None } }) {
        SCOPED_TRACE(int(alphaInfo));
        auto picture = pictureWithLayout(format, alphaInfo);
        ASSERT_TRUE(picture);
        auto framed = ImageAlpha::transparentBorderImage(*picture, 2);
        ASSERT_TRUE(framed);
        EXPECT_EQ(framed->pixelAt(0, 0).alpha, 0);
        EXPECT_EQ(framed->pixelAt(5, 5), pixelOf(green));
        auto rounded = ImageRoundedCorner::roundedCornerImage(*picture, 2, 1);
        ASSERT_TRUE(rounded);
        EXPECT_EQ(rounded->pixelAt(4, 4), pixelOf(green));
        EXPECT_EQ(rounded->pixelAt(0, 4).alpha, 0);
    }
}

}
