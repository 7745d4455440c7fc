#include "GraphicsTestSupport.h"

#include "platform/graphics/ImageLimits.h"

#include "support/TemporaryDirectory.h"

#include <atomic>
#include <cstdio>
#include <fstream>
#include <random>
#include <thread>

#include <jpeglib.h>

using namespace gfx;
using namespace brenzo::testing;

namespace {

// Opaque red and green on top, half-transparent blue and clear below.
std::shared_ptr<const RawImage> fourColours()
{
    return makeRawImage(2, 2, [](size_t x, size_t y) {
        Color colors[2][2] = { { Color(1, 0, 0), Color(0, 1, 0) }, { Color(0, 0, 1, 0.5), Color::clear() } };
        return colors[y][x];
    });
}

// Four 8 x 8 blocks of flat colour survive JPEG compression almost unchanged.
std::shared_ptr<const RawImage> blocks()
{
    return makeRawImage(16, 16, [](size_t x, size_t y) {
        if (y < 8)
            return x < 8 ? Color(1, 0, 0) : Color(0, 1, 0);
        return x < 8 ? Color(0, 0, 1) : Color(1, 1, 1);
    });
}

std::vector<uint8_t> bytesOf(const fnd::Ref<fnd::Data>& data)
{
    return data ? data->vector() : std::vector<uint8_t> {};
}

// Writes JPEG bytes with libjpeg directly, for the inputs we cannot produce ourselves.
std::vector<uint8_t> encodeJPEG(int width, int height, int components, J_COLOR_SPACE space, const std::vector<uint8_t>& samples)
{
    jpeg_compress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long length = 0;
    jpeg_mem_dest(&info, &buffer, &length);
    info.image_width = width;
    info.image_height = height;
    info.input_components = components;
    info.in_color_space = space;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 95, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<uint8_t*>(samples.data()) + info.next_scanline * width * components;
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::vector<uint8_t> result(buffer, buffer + length);
    std::free(buffer);
    return result;
}

}

TEST(ImageCodecs, PNGRoundTripKeepsEveryPixel)
{
    auto original = Image::createWithRawImage(fourColours());
    for (auto effort : { PNGCodec::Effort::Smallest, PNGCodec::Effort::Fast }) {
        auto png = original->pngRepresentation(effort);
        ASSERT_TRUE(png);
        auto decoded = Image::createWithData(*png);
        ASSERT_TRUE(decoded);
        EXPECT_EQ(decoded->size(), Size(2, 2));
        EXPECT_EQ(decoded->rawImage()->alphaInfo(), AlphaInfo::PremultipliedFirst);
        EXPECT_EQ(decoded->pixelAt(0, 0), opaqueRed);
        EXPECT_EQ(decoded->pixelAt(1, 0), opaqueGreen);
        EXPECT_TRUE(pixelNear(decoded->pixelAt(0, 1), Pixel { 0, 0, 255, 128 }, 1));
        EXPECT_EQ(decoded->pixelAt(1, 1).alpha, 0);
    }
}

TEST(ImageCodecs, FastPNGOfAPhotoIsLargerButTheSamePixels)
{
    std::mt19937 random(7);
    auto noisy = makeRawImage(64, 64, [&](size_t x, size_t y) {
        double shade = static_cast<double>(x + y) / 128 + static_cast<double>(random() % 8) / 255;
        return Color(shade, 1 - shade, 0.5, 1);
    });
    auto image = Image::createWithRawImage(noisy);
    auto small = image->pngRepresentation(PNGCodec::Effort::Smallest);
    auto fast = image->pngRepresentation(PNGCodec::Effort::Fast);
    ASSERT_TRUE(small && fast);
    EXPECT_LT(small->length(), fast->length());
    auto fromSmall = Image::createWithData(*small);
    auto fromFast = Image::createWithData(*fast);
    ASSERT_TRUE(fromSmall && fromFast);
    for (size_t y = 0; y < 64; y += 9) {
        for (size_t x = 0; x < 64; x += 7)
            EXPECT_EQ(fromSmall->pixelAt(x, y), fromFast->pixelAt(x, y)) << x << "," << y;
    }
}

TEST(ImageCodecs, OpaquePNGDecodesWithoutAlpha)
{
    auto context = BitmapContext::create(3, 3, 8, 0, ColorSpace::RGB, AlphaInfo::NoneSkipFirst);
    context->setFillColor(Color(0, 1, 0));
    context->fillRect(Rect(0, 0, 3, 3));
    auto png = Image::createWithRawImage(context->createRawImage())->pngRepresentation();
    auto decoded = Image::createWithData(*png);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->rawImage()->alphaInfo(), AlphaInfo::NoneSkipFirst);
    EXPECT_EQ(decoded->pixelAt(2, 2), opaqueGreen);
}

TEST(ImageCodecs, JPEGRoundTripStaysClose)
{
    auto jpeg = Image::createWithRawImage(blocks())->jpegRepresentation(0.95);
    ASSERT_TRUE(jpeg);
    auto decoded = Image::createWithData(*jpeg);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->size(), Size(16, 16));
    EXPECT_EQ(decoded->rawImage()->alphaInfo(), AlphaInfo::NoneSkipFirst);
    EXPECT_TRUE(pixelNear(decoded->pixelAt(3, 3), opaqueRed, 12));
    EXPECT_TRUE(pixelNear(decoded->pixelAt(12, 3), opaqueGreen, 12));
    EXPECT_TRUE(pixelNear(decoded->pixelAt(3, 12), opaqueBlue, 12));
    EXPECT_TRUE(pixelNear(decoded->pixelAt(12, 12), opaqueWhite, 12));
}

TEST(ImageCodecs, JPEGQualityTradesSizeForFidelity)
{
    std::mt19937 random(7);
    auto noise = makeRawImage(24, 24, [&](size_t, size_t) { return Color::grey((random() % 256) / 255.0); });
    auto image = Image::createWithRawImage(noise);
    auto small = bytesOf(image->jpegRepresentation(0.1));
    auto large = bytesOf(image->jpegRepresentation(1.0));
    ASSERT_FALSE(small.empty());
    EXPECT_LT(small.size(), large.size());
    // Out-of-range qualities are clamped rather than refused.
    EXPECT_EQ(bytesOf(image->jpegRepresentation(7)), large);
    EXPECT_FALSE(bytesOf(image->jpegRepresentation(-1)).empty());
}

TEST(ImageCodecs, TransparencyBecomesBlackInJPEG)
{
    auto jpeg = Image::createWithRawImage(solidRawImage(8, 8, Color::clear()))->jpegRepresentation(0.9);
    auto decoded = Image::createWithData(*jpeg);
    ASSERT_TRUE(decoded);
    EXPECT_TRUE(pixelNear(decoded->pixelAt(4, 4), opaqueBlack, 2));
}

TEST(ImageCodecs, GreyAndCMYKJPEGsDecodeToRGB)
{
    std::vector<uint8_t> grey(8 * 8, 200);
    auto greyImage = Image::createWithData(encodeJPEG(8, 8, 1, JCS_GRAYSCALE, grey));
    ASSERT_TRUE(greyImage);
    EXPECT_EQ(greyImage->rawImage()->colorSpace(), ColorSpace::RGB);
    EXPECT_TRUE(pixelNear(greyImage->pixelAt(4, 4), Pixel { 200, 200, 200, 255 }, 2));

    // Written the way Adobe writes CMYK: inverted, so this is pure red.
    std::vector<uint8_t> cmyk;
    for (int i = 0; i < 8 * 8; ++i)
        cmyk.insert(cmyk.end(), { 255, 0, 0, 255 });
    auto cmykImage = Image::createWithData(encodeJPEG(8, 8, 4, JCS_CMYK, cmyk));
    ASSERT_TRUE(cmykImage);
    EXPECT_TRUE(pixelNear(cmykImage->pixelAt(4, 4), opaqueRed, 4));
}

TEST(ImageCodecs, GarbageAnswersNothing)
{
    std::mt19937 random(42);
    std::vector<uint8_t> noise(4096);
    for (auto& byte : noise)
        byte = static_cast<uint8_t>(random());
    EXPECT_FALSE(Image::createWithData(noise));
    EXPECT_FALSE(Image::createWithData(std::vector<uint8_t> {}));
    EXPECT_FALSE(Image::createWithData(*fnd::Data::create("not a picture")));

    auto png = bytesOf(Image::createWithRawImage(blocks())->pngRepresentation());
    auto jpeg = bytesOf(Image::createWithRawImage(blocks())->jpegRepresentation(0.8));
    for (const auto& valid : { png, jpeg }) {
        // A valid start followed by noise, and a file cut short at every length.
        std::vector<uint8_t> corrupted(valid.begin(), valid.begin() + 40);
        corrupted.insert(corrupted.end(), noise.begin(), noise.end());
        EXPECT_FALSE(Image::createWithData(corrupted));
        for (size_t length = 0; length < valid.size(); length += 7)
            Image::createWithData(std::span(valid.data(), length));
    }
    for (size_t length = 0; length < png.size(); ++length)
        EXPECT_FALSE(Image::createWithData(std::span(png.data(), length))) << length;
}

TEST(ImageCodecs, HugeDeclaredSizesAreRefusedBeforeDecoding)
{
    auto png = bytesOf(Image::createWithRawImage(blocks())->pngRepresentation());
    // Width and height of the header chunk, big-endian at offsets 16 and 20.
    std::vector<uint8_t> huge = png;
    for (size_t offset : { 16u, 20u }) {
        huge[offset] = 0x00;
        huge[offset + 1] = 0x00;
        huge[offset + 2] = 0x7f;
        huge[offset + 3] = 0xff;
    }
    EXPECT_FALSE(Image::createWithData(huge));

    std::vector<uint8_t> jpeg = bytesOf(Image::createWithRawImage(blocks())->jpegRepresentation(0.8));
    // The frame header (FF C0): height and width follow the length and the precision.
    for (size_t index = 2; index + 8 < jpeg.size(); ++index) {
        if (jpeg[index] == 0xff && jpeg[index + 1] == 0xc0) {
            jpeg[index + 5] = jpeg[index + 6] = jpeg[index + 7] = jpeg[index + 8] = 0xff;
            break;
        }
    }
    EXPECT_FALSE(Image::createWithData(jpeg));
}

TEST(ImageCodecs, APictureFarLargerThanAPhoneScreenIsRefused)
{
    EXPECT_TRUE(isAcceptableImageSize(4096, 4096));
    EXPECT_TRUE(isAcceptableImageSize(640, 960));
    EXPECT_FALSE(isAcceptableImageSize(4097, 4096));
    EXPECT_FALSE(isAcceptableImageSize(16384, 1025));

    // A real, well-formed photo just over the limit: 17 million grey pixels.
    constexpr int width = 8200;
    constexpr int height = 2050;
    auto jpeg = encodeJPEG(width, height, 1, JCS_GRAYSCALE, std::vector<uint8_t>(size_t(width) * height, 128));
    EXPECT_FALSE(Image::createWithData(jpeg));
    auto small = encodeJPEG(64, 64, 1, JCS_GRAYSCALE, std::vector<uint8_t>(64 * 64, 128));
    EXPECT_TRUE(Image::createWithData(small));
}

TEST(ImageCodecs, EncodingAppliesTheOrientation)
{
    auto raw = makeRawImage(2, 1, [](size_t x, size_t) { return x == 0 ? Color(1, 0, 0) : Color(0, 0, 1); });
    auto turned = Image::createWithRawImage(raw, 1, ImageOrientation::Right);
    auto decoded = Image::createWithData(*turned->pngRepresentation());
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->size(), Size(1, 2));
    EXPECT_EQ(decoded->imageOrientation(), ImageOrientation::Up);
    EXPECT_EQ(decoded->pixelAt(0, 0), opaqueRed);
    EXPECT_EQ(decoded->pixelAt(0, 1), opaqueBlue);
}

TEST(ImageCodecs, ScaleDividesThePixelsIntoPoints)
{
    auto png = Image::createWithRawImage(blocks())->pngRepresentation();
    auto retina = Image::createWithData(*png, 2);
    ASSERT_TRUE(retina);
    EXPECT_EQ(retina->scale(), 2);
    EXPECT_EQ(retina->size(), Size(8, 8));
    EXPECT_EQ(Image::createWithData(*png, 0)->scale(), 1);
}

TEST(ImageCodecs, FilesAreReadWhole)
{
    TemporaryDirectory directory;
    auto path = directory.path() / "picture.png";
    auto png = bytesOf(Image::createWithRawImage(blocks())->pngRepresentation());
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
    auto image = Image::createWithContentsOfFile(path);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->pixelAt(12, 12), opaqueWhite);
    EXPECT_EQ(image->className(), "Image");
    EXPECT_EQ(image->description(), "<Image: 16 x 16 points, scale 1>");

    EXPECT_FALSE(Image::createWithContentsOfFile(directory.path() / "missing.png"));
    EXPECT_FALSE(Image::createWithContentsOfFile(directory.path()));
}

TEST(ImageCodecs, OneImageServesSeveralThreadsAtOnce)
{
    auto image = Image::createWithRawImage(blocks(), 1, ImageOrientation::Left);
    std::vector<std::thread> threads;
    std::atomic<int> correct { 0 };
    for (int index = 0; index < 4; ++index) {
        threads.emplace_back([&] {
            for (int round = 0; round < 10; ++round) {
                auto context = rgbaContext(16, 16);
                context->drawImage(*image, Rect(0, 0, 16, 16));
                auto decoded = Image::createWithData(*image->pngRepresentation());
                if (decoded && decoded->pixelAt(3, 3) == opaqueGreen && context->pixelAt(3, 3) == opaqueGreen && image->pixelAt(3, 3) == opaqueRed)
                    ++correct;
            }
        });
    }
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(correct, 40);
}
