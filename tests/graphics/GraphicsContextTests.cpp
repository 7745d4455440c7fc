#include "GraphicsTestSupport.h"

#include "platform/graphics/ImageContext.h"

#include <numbers>

using namespace gfx;
using namespace brenzo::testing;

namespace {

constexpr double pi = std::numbers::pi;

// Draws in a top-left space over a bitmap context, so that probes read like the drawing code.
std::unique_ptr<ImageContext> canvas(double width, double height)
{
    return ImageContext::create(Size(width, height), false, 1);
}

// The platform routine the board's image helpers use: arcs of radius 1 in a space scaled by the
// oval size.
void addRoundedRectToPath(GraphicsContext& context, const Rect& rect, double ovalWidth, double ovalHeight)
{
    context.saveState();
    context.translate(rect.minX(), rect.minY());
    context.scale(ovalWidth, ovalHeight);
    double fw = rect.width() / ovalWidth;
    double fh = rect.height() / ovalHeight;
    context.moveTo({ fw, fh / 2 });
    context.addArcToPoint({ fw, fh }, { fw / 2, fh }, 1);
    context.addArcToPoint({ 0, fh }, { 0, fh / 2 }, 1);
    context.addArcToPoint({ 0, 0 }, { fw / 2, 0 }, 1);
    context.addArcToPoint({ fw, 0 }, { fw, fh / 2 }, 1);
    context.closePath();
    context.restoreState();
}

}

TEST(GraphicsContext, ArcToPointRoundsEveryCornerOfARectangle)
{
    auto context = rgbaContext(40, 30);
    addRoundedRectToPath(*context, Rect(0, 0, 40, 30), 10, 10);
    context->setFillColor(Color(1, 0, 0));
    context->fillPath();

    // Corner pixels lie outside the arcs (radius 10, centres 10 in from each side)...
    for (auto [x, y] : { std::pair { 0, 0 }, { 39, 0 }, { 0, 29 }, { 39, 29 }, { 1, 1 }, { 38, 28 } })
        EXPECT_EQ(context->pixelAt(x, y), transparent) << x << "," << y;
    // ...pixels just inside them are filled, and so are the straight edges.
    for (auto [x, y] : { std::pair { 4, 4 }, { 35, 4 }, { 4, 25 }, { 35, 25 }, { 20, 0 }, { 0, 15 }, { 39, 15 }, { 20, 29 } })
        EXPECT_EQ(context->pixelAt(x, y), opaqueRed) << x << "," << y;
    // On the diagonal the edge crosses at 10 - 10 / sqrt(2), about 2.93 from the corner: pixel 2
    // is barely touched, pixel 3 wholly inside.
    EXPECT_LT(context->pixelAt(2, 2).alpha, 16);
    EXPECT_EQ(context->pixelAt(3, 3).alpha, 255);
}

TEST(GraphicsContext, ArcToPointEndsAtTheSecondTangentPoint)
{
    auto context = rgbaContext(20, 20);
    context->moveTo({ 0, 0 });
    context->addArcToPoint({ 10, 0 }, { 10, 10 }, 3);
    auto point = context->currentPoint();
    ASSERT_TRUE(point);
    EXPECT_NEAR(point->x, 10, 1e-6);
    EXPECT_NEAR(point->y, 3, 1e-6);

    // Turning the other way round the corner.
    context->beginPath();
    context->moveTo({ 0, 10 });
    context->addArcToPoint({ 10, 10 }, { 10, 0 }, 4);
    point = context->currentPoint();
    ASSERT_TRUE(point);
    EXPECT_NEAR(point->x, 10, 1e-6);
    EXPECT_NEAR(point->y, 6, 1e-6);
}

TEST(GraphicsContext, ArcToPointDegeneratesToALine)
{
    auto context = rgbaContext(20, 20);
    context->moveTo({ 0, 0 });
    context->addArcToPoint({ 5, 0 }, { 10, 0 }, 3);
    EXPECT_EQ(*context->currentPoint(), Point(5, 0));
    context->addArcToPoint({ 5, 5 }, { 9, 9 }, 0);
    EXPECT_EQ(*context->currentPoint(), Point(5, 5));

    context->beginPath();
    context->addArcToPoint({ 5, 0 }, { 10, 10 }, 3);
    EXPECT_TRUE(context->isPathEmpty());
}

TEST(GraphicsContext, FillRulesDecideAboutHoles)
{
    for (FillRule rule : { FillRule::NonZero, FillRule::EvenOdd }) {
        auto context = canvas(20, 20);
        context->addRect(Rect(0, 0, 20, 20));
        context->addRect(Rect(5, 5, 10, 10));
        context->setFillColor(Color(0, 0, 1));
        context->fillPath(rule);
        EXPECT_EQ(context->pixelAt(2, 2), opaqueBlue);
        EXPECT_EQ(context->pixelAt(10, 10), rule == FillRule::EvenOdd ? transparent : opaqueBlue);
        EXPECT_TRUE(context->isPathEmpty());
    }
}

TEST(GraphicsContext, StrokesFollowThePathWithTheLineWidth)
{
    auto context = canvas(40, 40);
    context->setStrokeColor(Color(0, 1, 0));
    context->setLineWidth(4);
    context->addRect(Rect(10, 10, 20, 20));
    context->strokePath();
    EXPECT_EQ(context->pixelAt(8, 20), opaqueGreen);
    EXPECT_EQ(context->pixelAt(11, 20), opaqueGreen);
    EXPECT_EQ(context->pixelAt(13, 20), transparent);
    EXPECT_EQ(context->pixelAt(20, 20), transparent);
    EXPECT_EQ(context->pixelAt(6, 20), transparent);

    context->setStrokeColor(Color(1, 0, 0));
    context->setLineWidth(1);
    context->strokeRect(Rect(0.5, 0.5, 39, 39));
    EXPECT_EQ(context->pixelAt(0, 20), opaqueRed);
    EXPECT_EQ(context->pixelAt(1, 20), transparent);
}

TEST(GraphicsContext, ClippingLimitsLaterDrawingUntilRestored)
{
    auto context = canvas(20, 20);
    context->saveState();
    context->addRect(Rect(5, 5, 10, 10));
    context->clip();
    EXPECT_TRUE(context->isPathEmpty());
    context->setFillColor(Color(1, 0, 0));
    context->fillRect(Rect(0, 0, 20, 20));
    EXPECT_EQ(context->pixelAt(2, 2), transparent);
    EXPECT_EQ(context->pixelAt(10, 10), opaqueRed);

    context->restoreState();
    context->fillRect(Rect(0, 0, 20, 20));
    // The fill colour was set inside the saved state, so black is back.
    EXPECT_EQ(context->pixelAt(2, 2), opaqueBlack);

    // A restore without a save changes nothing.
    context->restoreState();
    context->setFillColor(Color(0, 0, 1));
    context->fillRect(Rect(0, 0, 1, 1));
    EXPECT_EQ(context->pixelAt(0, 0), opaqueBlue);
}

TEST(GraphicsContext, RoundedRectangleClipCutsTheCorners)
{
    auto context = canvas(30, 30);
    context->addRoundedRect(Rect(0, 0, 30, 30), 10);
    context->clip();
    context->fillRect(Rect(0, 0, 30, 30));
    EXPECT_EQ(context->pixelAt(0, 0), transparent);
    EXPECT_EQ(context->pixelAt(29, 29), transparent);
    EXPECT_EQ(context->pixelAt(4, 4), opaqueBlack);
    EXPECT_EQ(context->pixelAt(15, 0), opaqueBlack);
}

TEST(GraphicsContext, FillingARectangleKeepsThePathBeingBuilt)
{
    auto context = canvas(20, 20);
    context->addRect(Rect(10, 10, 5, 5));
    context->setFillColor(Color(0, 1, 0));
    context->fillRect(Rect(0, 0, 5, 5));
    EXPECT_FALSE(context->isPathEmpty());
    context->setFillColor(Color(1, 0, 0));
    context->fillPath();
    EXPECT_EQ(context->pixelAt(2, 2), opaqueGreen);
    EXPECT_EQ(context->pixelAt(12, 12), opaqueRed);
}

TEST(GraphicsContext, ClearBlendModeErasesWhatItCovers)
{
    auto context = canvas(20, 20);
    context->setFillColor(Color(1, 0, 0));
    context->fillRect(Rect(0, 0, 20, 20));
    context->setBlendMode(BlendMode::Clear);
    context->fillRect(Rect(5, 5, 10, 10));
    EXPECT_EQ(context->pixelAt(10, 10), transparent);
    EXPECT_EQ(context->pixelAt(2, 2), opaqueRed);

    context->setBlendMode(BlendMode::Normal);
    context->fillRect(Rect(5, 5, 2, 2));
    EXPECT_EQ(context->pixelAt(6, 6), opaqueRed);
}

TEST(GraphicsContext, AlphaAndTranslucentColoursBlendOver)
{
    auto context = canvas(10, 10);
    context->setFillColor(Color(1, 1, 1));
    context->fillRect(Rect(0, 0, 10, 10));
    context->setAlpha(0.5);
    context->setFillColor(Color(0, 0, 0));
    context->fillRect(Rect(0, 0, 5, 10));
    EXPECT_TRUE(pixelNear(context->pixelAt(2, 5), Pixel { 128, 128, 128, 255 }, 1));

    auto empty = canvas(10, 10);
    empty->setFillColor(Color(0, 0, 1, 0.5));
    empty->fillRect(Rect(0, 0, 10, 10));
    EXPECT_TRUE(pixelNear(empty->pixelAt(5, 5), Pixel { 0, 0, 255, 128 }, 1));
}

TEST(GraphicsContext, TransformsMoveTheDrawing)
{
    auto context = canvas(20, 20);
    context->translate(10, 0);
    context->rotate(pi / 2);
    // After translate-then-rotate, x runs down the canvas from (10, 0).
    context->fillRect(Rect(0, 0, 5, 2));
    EXPECT_EQ(context->pixelAt(9, 2), opaqueBlack);
    EXPECT_EQ(context->pixelAt(2, 2), transparent);

    auto concatenated = canvas(20, 20);
    concatenated->concatenate(AffineTransform::makeScale(2, 2).translatedBy(1, 1));
    concatenated->fillRect(Rect(0, 0, 1, 1));
    EXPECT_EQ(concatenated->pixelAt(3, 3), opaqueBlack);
    EXPECT_EQ(concatenated->pixelAt(1, 1), transparent);
}

TEST(GraphicsContext, ASingularTransformDrawsNothingAndRestoreRecovers)
{
    auto context = canvas(10, 10);
    context->saveState();
    context->scale(0, 0);
    context->fillRect(Rect(0, 0, 10, 10));
    context->moveTo({ 1, 1 });
    context->addLineTo({ 5, 5 });
    context->fillPath();
    EXPECT_EQ(context->pixelAt(5, 5), transparent);
    context->restoreState();
    context->fillRect(Rect(0, 0, 10, 10));
    EXPECT_EQ(context->pixelAt(5, 5), opaqueBlack);
}

TEST(GraphicsContext, ImagesScaledWithoutInterpolationKeepExactColours)
{
    auto quadrants = makeRawImage(2, 2, [](size_t x, size_t y) {
        Color colors[2][2] = { { Color(1, 0, 0), Color(0, 1, 0) }, { Color(0, 0, 1), Color(1, 1, 1) } };
        return colors[y][x];
    });
    auto image = Image::createWithRawImage(quadrants);
    auto context = canvas(30, 30);
    context->setInterpolationQuality(InterpolationQuality::None);
    EXPECT_EQ(context->interpolationQuality(), InterpolationQuality::None);
    context->drawImage(*image, Rect(5, 5, 20, 20));
    EXPECT_EQ(context->pixelAt(5, 5), opaqueRed);
    EXPECT_EQ(context->pixelAt(14, 14), opaqueRed);
    EXPECT_EQ(context->pixelAt(15, 5), opaqueGreen);
    EXPECT_EQ(context->pixelAt(24, 14), opaqueGreen);
    EXPECT_EQ(context->pixelAt(5, 15), opaqueBlue);
    EXPECT_EQ(context->pixelAt(24, 24), opaqueWhite);
    EXPECT_EQ(context->pixelAt(4, 4), transparent);
    EXPECT_EQ(context->pixelAt(25, 25), transparent);

    // Smoothing blends between the quadrants but keeps solid edges.
    auto smooth = canvas(30, 30);
    smooth->setInterpolationQuality(InterpolationQuality::High);
    smooth->drawImage(*image, Rect(5, 5, 20, 20));
    EXPECT_EQ(smooth->pixelAt(5, 5), opaqueRed);
    EXPECT_EQ(smooth->pixelAt(24, 24).alpha, 255);
    Pixel middle = smooth->pixelAt(14, 14);
    EXPECT_GT(middle.green + middle.blue, 0);
}

TEST(GraphicsContext, ImagesDrawWithTheirOwnBlendModeAndAlpha)
{
    auto red = Image::createWithRawImage(solidRawImage(4, 4, Color(1, 0, 0)));
    auto context = canvas(10, 10);
    context->setFillColor(Color(0, 0, 1));
    context->fillRect(Rect(0, 0, 10, 10));
    context->drawImage(*red, Rect(0, 0, 5, 10), BlendMode::Normal, 0.5);
    EXPECT_TRUE(pixelNear(context->pixelAt(2, 2), Pixel { 128, 0, 127, 255 }, 1));
    context->drawImage(*red, Rect(5, 0, 5, 10), BlendMode::Clear, 1);
    EXPECT_EQ(context->pixelAt(7, 7), transparent);

    // The context's own blend mode is left as it was.
    context->fillRect(Rect(9, 9, 1, 1));
    EXPECT_EQ(context->pixelAt(9, 9), opaqueBlue);
}

TEST(GraphicsContext, ImagesAtDoubleScaleFillTheirPoints)
{
    auto image = Image::createWithRawImage(solidRawImage(4, 4, Color(0, 1, 0)), 2);
    EXPECT_EQ(image->size(), Size(2, 2));
    auto context = ImageContext::create(Size(4, 4), false, 2);
    context->drawImage(*image, Rect(Point(1, 1), image->size()));
    auto result = context->image();
    EXPECT_EQ(result->scale(), 2);
    EXPECT_EQ(result->size(), Size(4, 4));
    EXPECT_EQ(result->rawImage()->width(), 8u);
    EXPECT_EQ(result->pixelAt(2, 2), opaqueGreen);
    EXPECT_EQ(result->pixelAt(5, 5), opaqueGreen);
    EXPECT_EQ(result->pixelAt(1, 1), transparent);
    EXPECT_EQ(result->pixelAt(6, 6), transparent);
}

TEST(ImageContext, StartsTransparentOrBlackAndRefusesNoArea)
{
    auto clear = ImageContext::create(Size(2, 2), false, 0);
    EXPECT_EQ(clear->scale(), 1);
    EXPECT_EQ(clear->pixelAt(0, 0), transparent);
    EXPECT_EQ(clear->createRawImage()->alphaInfo(), AlphaInfo::PremultipliedFirst);

    auto opaque = ImageContext::create(Size(2, 2), true, 1);
    EXPECT_EQ(opaque->pixelAt(0, 0), opaqueBlack);
    opaque->setBlendMode(BlendMode::Clear);
    opaque->fillRect(Rect(0, 0, 1, 1));
    EXPECT_EQ(opaque->pixelAt(0, 0), opaqueBlack);
    EXPECT_EQ(opaque->createRawImage()->alphaInfo(), AlphaInfo::NoneSkipFirst);

    EXPECT_EQ(ImageContext::create(Size(2.2, 1), false, 1)->pixelsWide(), 3u);
    EXPECT_FALSE(ImageContext::create(Size(0, 10), false, 1));
    EXPECT_FALSE(ImageContext::create(Size(-5, 10), false, 1));
    EXPECT_FALSE(ImageContext::create(Size(40000, 1), false, 1));
}

TEST(BitmapContext, AcceptsOnlyLayoutsItCanDrawInto)
{
    EXPECT_TRUE(BitmapContext::create(4, 4, 8, 0, ColorSpace::RGB, AlphaInfo::PremultipliedLast));
    EXPECT_TRUE(BitmapContext::create(4, 4, 8, 0, ColorSpace::RGB, AlphaInfo::NoneSkipFirst));
    EXPECT_TRUE(BitmapContext::create(4, 4, 8, 0, ColorSpace::Grey, AlphaInfo::None));
    EXPECT_FALSE(BitmapContext::create(4, 4, 16, 0, ColorSpace::RGB, AlphaInfo::PremultipliedFirst));
    EXPECT_FALSE(BitmapContext::create(4, 4, 8, 0, ColorSpace::RGB, AlphaInfo::None));
    EXPECT_FALSE(BitmapContext::create(4, 4, 8, 0, ColorSpace::RGB, AlphaInfo::Last));
    EXPECT_FALSE(BitmapContext::create(4, 4, 8, 0, ColorSpace::Grey, AlphaInfo::PremultipliedFirst));
    EXPECT_FALSE(BitmapContext::create(4, 4, 8, 15, ColorSpace::RGB, AlphaInfo::PremultipliedFirst));
    EXPECT_FALSE(BitmapContext::create(0, 4, 8, 0, ColorSpace::RGB, AlphaInfo::PremultipliedFirst));
    EXPECT_FALSE(BitmapContext::create(4, 40000, 8, 0, ColorSpace::RGB, AlphaInfo::PremultipliedFirst));
}

TEST(BitmapContext, DataFollowsTheDeclaredLayout)
{
    auto last = BitmapContext::create(2, 1, 8, 12, ColorSpace::RGB, AlphaInfo::PremultipliedLast);
    last->setFillColor(Color(1, 0, 0, 0.5));
    last->fillRect(Rect(0, 0, 1, 1));
    std::vector<uint8_t> bytes = last->data();
    ASSERT_EQ(bytes.size(), 12u);
    EXPECT_EQ(last->bytesPerRow(), 12u);
    // Premultiplied: red carries half its value, alpha last.
    EXPECT_NEAR(bytes[0], 128, 1);
    EXPECT_EQ(bytes[1], 0);
    EXPECT_NEAR(bytes[3], 128, 1);
    EXPECT_EQ(bytes[7], 0);

    auto skipped = BitmapContext::create(1, 1, 8, 0, ColorSpace::RGB, AlphaInfo::NoneSkipFirst);
    skipped->setFillColor(Color(0, 0, 1));
    skipped->fillRect(Rect(0, 0, 1, 1));
    EXPECT_EQ(skipped->data(), (std::vector<uint8_t> { 255, 0, 0, 255 }));

    auto grey = BitmapContext::create(3, 2, 8, 0, ColorSpace::Grey, AlphaInfo::None);
    grey->setFillColor(Color::white());
    grey->fillRect(Rect(1, 0, 1, 2));
    EXPECT_EQ(grey->data(), (std::vector<uint8_t> { 0, 255, 0, 0, 255, 0 }));
    auto raw = grey->createRawImage();
    EXPECT_EQ(raw->colorSpace(), ColorSpace::Grey);
    EXPECT_EQ(raw->bitsPerPixel(), 8u);
    EXPECT_EQ(raw->pixelAt(1, 0), opaqueWhite);
    EXPECT_EQ(raw->pixelAt(0, 0), opaqueBlack);
}

TEST(BitmapContext, GreyImagesDrawAsGreyInColourContexts)
{
    auto grey = BitmapContext::create(2, 2, 8, 0, ColorSpace::Grey, AlphaInfo::None);
    grey->setFillColor(Color::grey(0.5));
    grey->fillRect(Rect(0, 0, 2, 2));
    auto context = rgbaContext(2, 2);
    context->drawRawImage(*grey->createRawImage(), Rect(0, 0, 2, 2));
    EXPECT_TRUE(pixelNear(context->pixelAt(1, 1), Pixel { 128, 128, 128, 255 }, 1));
}
