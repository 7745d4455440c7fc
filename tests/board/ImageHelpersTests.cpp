#include "TestPictures.h"

#include "board/ImageAlpha.h"
#include "board/ImageResize.h"
#include "board/ImageRoundedCorner.h"
#include "platform/foundation/Exception.h"

#include <gtest/gtest.h>

namespace brenzo::testing {

namespace {

const gfx::Color red { 1, 0, 0 };
const gfx::Color green { 0, 1, 0 };
const gfx::Color blue { 0, 0, 1 };
const gfx::Pixel transparent {};
constexpr auto high = gfx::InterpolationQuality::High;

}

TEST(ImageResize, StretchesToTheExactSizeWithoutCropping)
{
    auto photo = splitPicture({ 300, 200 }, red, blue);
    auto resized = ImageResize::resizedImage(*photo, { 180, 180 }, high);
    ASSERT_TRUE(resized);
    EXPECT_EQ(resized->size(), (gfx::Size { 180, 180 }));
    EXPECT_EQ(resized->scale(), 1);
    // Both halves are kept, squeezed: the split stays in the middle.
    EXPECT_PRED3(isNear, resized->pixelAt(0, 0), pixelOf(red), 3);
    EXPECT_PRED3(isNear, resized->pixelAt(85, 90), pixelOf(red), 3);
    EXPECT_PRED3(isNear, resized->pixelAt(95, 90), pixelOf(blue), 3);
    EXPECT_PRED3(isNear, resized->pixelAt(179, 179), pixelOf(blue), 3);
}

TEST(ImageResize, TurnsEveryOrientationUpright)
{
    // Stored pixels: red | blue. A quarter turn clockwise ("right") puts the left pixel on top.
    auto stored = splitPicture({ 2, 1 }, red, blue);
    using enum gfx::ImageOrientation;
    const std::tuple<gfx::ImageOrientation, gfx::Size, gfx::Color> expectations[] = { { Up, { 2, 1 }, red }, { Down, { 2, 1 }, blue },
        { UpMirrored, { 2, 1 }, blue }, { DownMirrored, { 2, 1 }, red }, { Right, { 1, 2 }, red }, { Left, { 1, 2 }, blue },
        { RightMirrored, { 1, 2 }, blue }, { LeftMirrored, { 1, 2 }, red } };
    for (auto& [orientation, size, first] : expectations) {
        SCOPED_TRACE(int(orientation));
        auto upright = ImageResize::resizedImage(*withOrientation(*stored, orientation), size, gfx::InterpolationQuality::None);
        ASSERT_TRUE(upright);
        EXPECT_EQ(upright->size(), size);
        EXPECT_EQ(upright->imageOrientation(), Up);
        EXPECT_EQ(upright->pixelAt(0, 0), pixelOf(first));
        EXPECT_EQ(upright->pixelAt(size_t(size.width) - 1, size_t(size.height) - 1), pixelOf(first == red ? blue : red));
    }
}

TEST(ImageResize, FitsOrFillsKeepingTheAspectAndRefusesOtherModes)
{
    auto photo = splitPicture({ 300, 200 }, red, blue);
    EXPECT_EQ(ImageResize::resizedImageWithContentMode(*photo, ui::ContentMode::ScaleAspectFit, { 100, 100 }, high)->size(), (gfx::Size { 100, 67 }));
    EXPECT_EQ(ImageResize::resizedImageWithContentMode(*photo, ui::ContentMode::ScaleAspectFill, { 100, 100 }, high)->size(), (gfx::Size { 150, 100 }));
    try {
        ImageResize::resizedImageWithContentMode(*photo, ui::ContentMode::ScaleToFill, { 100, 100 }, high);
        ADD_FAILURE() << "no exception";
    } catch (const fnd::Exception& exception) {
        EXPECT_EQ(exception.name(), "NSInvalidArgumentException");
        EXPECT_EQ(exception.reason(), "Unsupported content mode: 0");
    }
}

TEST(ImageResize, CropsAndThumbnailsClipToThePictureAndNothingOutsideMakesNothing)
{
    auto photo = splitPicture({ 300, 200 }, red, blue);
    auto crop = ImageResize::croppedImage(*photo, { 145, 10, 10, 5 });
    ASSERT_TRUE(crop);
    EXPECT_EQ(crop->size(), (gfx::Size { 10, 5 }));
    EXPECT_EQ(crop->pixelAt(0, 0), pixelOf(red));
    EXPECT_EQ(crop->pixelAt(9, 4), pixelOf(blue));
    EXPECT_EQ(ImageResize::croppedImage(*photo, { 295, 195, 10, 10 })->size(), (gfx::Size { 5, 5 }));
    EXPECT_FALSE(ImageResize::croppedImage(*photo, { 400, 10, 5, 5 }));
    EXPECT_FALSE(ImageResize::resizedImage(*photo, { 0, 10 }, high));
    EXPECT_FALSE(ImageResize::resizedImage(*photo, { 40000, 10 }, high));

    // Filled to 150 x 100 and the middle kept: the split stays in the middle.
    auto thumbnail = ImageResize::thumbnailImage(*photo, 100, 5, 10, high);
    ASSERT_TRUE(thumbnail);
    EXPECT_EQ(thumbnail->size(), (gfx::Size { 110, 110 }));
    EXPECT_EQ(thumbnail->pixelAt(2, 55), transparent);
    EXPECT_EQ(thumbnail->pixelAt(6, 6), transparent);
    EXPECT_PRED3(isNear, thumbnail->pixelAt(50, 55), pixelOf(red), 3);
    EXPECT_PRED3(isNear, thumbnail->pixelAt(60, 55), pixelOf(blue), 3);
    EXPECT_FALSE(ImageResize::thumbnailImage(*photo, 0, 0, 0, high));
}

TEST(ImageRoundedCorner, CutsCornersOfTheRadiusInsideATransparentRim)
{
    auto rounded = ImageRoundedCorner::roundedCornerImage(*solidPicture({ 180, 180 }, green), 12, 4);
    ASSERT_TRUE(rounded);
    EXPECT_EQ(rounded->size(), (gfx::Size { 180, 180 }));
    for (size_t offset : { 0, 3 }) {
        EXPECT_EQ(rounded->pixelAt(offset, 90), transparent) << offset;
        EXPECT_EQ(rounded->pixelAt(179 - offset, 90), transparent) << offset;
        EXPECT_EQ(rounded->pixelAt(90, offset), transparent) << offset;
    }
    EXPECT_EQ(rounded->pixelAt(4, 90), pixelOf(green));
    EXPECT_EQ(rounded->pixelAt(175, 90), pixelOf(green));
    // A radius of 12 (not 6) about (16, 16).
    EXPECT_EQ(rounded->pixelAt(6, 6), transparent);
    EXPECT_EQ(rounded->pixelAt(8, 8), pixelOf(green));
    EXPECT_EQ(rounded->pixelAt(173, 173), transparent);
}

TEST(ImageRoundedCorner, OpaquePicturesGetTransparentCornersAndCornerSizeZeroIsSquare)
{
    auto photo = solidPicture({ 50, 50 }, green);
    ASSERT_FALSE(ImageAlpha::hasAlpha(*photo));
    EXPECT_EQ(ImageRoundedCorner::roundedCornerImage(*photo, 16, 0)->pixelAt(0, 0), transparent);
    EXPECT_EQ(ImageRoundedCorner::roundedCornerImage(*photo, 0, 0)->pixelAt(0, 0), pixelOf(green));
    auto squareInRim = ImageRoundedCorner::roundedCornerImage(*photo, 0, 4);
    EXPECT_EQ(squareInRim->pixelAt(3, 3), transparent);
    EXPECT_EQ(squareInRim->pixelAt(4, 4), pixelOf(green));
}

TEST(ImageRoundedCorner, ABorderOfHalfTheSizeOrMoreLeavesATransparentPicture)
{
    auto photo = solidPicture({ 40, 30 }, green);
    for (int border : { 15, 100, 40000 }) {
        auto rounded = ImageRoundedCorner::roundedCornerImage(*photo, 8, border);
        ASSERT_TRUE(rounded) << border;
        EXPECT_EQ(rounded->size(), (gfx::Size { 40, 30 }));
        for (size_t y = 0; y < 30; y += 7) {
            for (size_t x = 0; x < 40; x += 7)
                EXPECT_EQ(rounded->pixelAt(x, y), transparent) << border << ": " << x << "," << y;
        }
    }
}

TEST(ImageAlpha, CopiesWithAlphaAndFramesInATransparentBorder)
{
    auto opaque = solidPicture({ 10, 8 }, blue);
    auto copy = ImageAlpha::imageWithAlpha(opaque);
    ASSERT_TRUE(copy);
    EXPECT_TRUE(ImageAlpha::hasAlpha(*copy));
    EXPECT_EQ(copy->pixelAt(9, 7), pixelOf(blue));
    EXPECT_EQ(ImageAlpha::imageWithAlpha(copy), copy);

    auto framed = ImageAlpha::transparentBorderImage(*opaque, 3);
    ASSERT_TRUE(framed);
    EXPECT_EQ(framed->size(), (gfx::Size { 16, 14 }));
    EXPECT_EQ(framed->pixelAt(2, 7), transparent);
    EXPECT_EQ(framed->pixelAt(3, 3), pixelOf(blue));
    EXPECT_EQ(framed->pixelAt(12, 10), pixelOf(blue));
    EXPECT_EQ(framed->pixelAt(13, 10), transparent);
    EXPECT_FALSE(ImageAlpha::transparentBorderImage(*opaque, 40000));

    // A border of half the mask or more leaves no white inside.
    auto mask = ImageAlpha::newBorderMask(3, { 8, 6 });
    for (size_t x = 0; x < 8; ++x)
        EXPECT_EQ(mask->pixelAt(x, 3).red, 0) << x;
}

TEST(ImageAlpha, PicturesInLayoutsAContextCannotDrawIntoAreStillHandled)
{
    for (auto [format, alphaInfo] : { std::pair { CAIRO_FORMAT_ARGB32, gfx::AlphaInfo::First }, std::pair { CAIRO_FORMAT_ARGB32, gfx::AlphaInfo::Last },
             std::pair { CAIRO_FORMAT_RGB24, gfx::AlphaInfo::None } }) {
        SCOPED_TRACE(int(alphaInfo));
        auto surface = gfx::createImageSurface(format, 8, 8);
        gfx::CairoPtr cairo(cairo_create(surface.get()));
        cairo_set_source_rgb(cairo.get(), 0, 1, 0);
        cairo_paint(cairo.get());
        cairo.reset();
        auto picture = gfx::Image::createWithRawImage(gfx::RawImage::adopt(std::move(surface), gfx::ColorSpace::RGB, alphaInfo));
        ASSERT_TRUE(picture);

        auto framed = ImageAlpha::transparentBorderImage(*picture, 2);
        ASSERT_TRUE(framed);
        EXPECT_EQ(framed->pixelAt(0, 0), transparent);
        EXPECT_EQ(framed->pixelAt(5, 5), pixelOf(green));
        auto rounded = ImageRoundedCorner::roundedCornerImage(*picture, 2, 1);
        ASSERT_TRUE(rounded);
        EXPECT_EQ(rounded->pixelAt(4, 4), pixelOf(green));
        EXPECT_EQ(rounded->pixelAt(0, 4), transparent);
    }
}

}
