#include "services/twitter/SHKTwitterImageUpload.h"

#include "SharingTestEnvironment.h"

#include "platform/graphics/Image.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::string text(const fnd::Data& data)
{
    return std::string(data.asStringView());
}

// An encoder whose output is `sizes[i]` bytes at the i-th call, recording the qualities asked.
struct ScriptedEncoder {
    std::vector<size_t> sizes;
    std::vector<double> qualities = {};

    fnd::Ref<fnd::Data> operator()(double quality)
    {
        size_t size = sizes[std::min(qualities.size(), sizes.size() - 1)];
        qualities.push_back(quality);
        return fnd::Data::create(std::vector<uint8_t>(size, 0xAB));
    }
};

}

TEST(TwitterImageUploadTest, BodyCarriesThePictureAndTheStatusByteForByte)
{
    // JPEG bytes may hold anything, line breaks and zeros included.
    const std::string jpeg("\xFF\xD8\r\n--\0\xFF\xD9", 8);
    auto body = SHKTwitterImageUpload::body(*fnd::Data::create(jpeg), "Sunset \xE2\x9C\x93 http://img.test/9", false);

    const std::string expected = "--0xKhTmLbOuNdArY\r\n"
                                 "Content-Disposition: form-data; name=\"media\"; filename=\"upload.jpg\"\r\n"
                                 "Content-Type: image/jpg\r\n"
                                 "\r\n"
        + jpeg
        + "\r\n"
          "--0xKhTmLbOuNdArY\r\n"
          "Content-Disposition: form-data; name=\"message\"\r\n"
          "\r\n"
          "Sunset \xE2\x9C\x93 http://img.test/9\r\n"
          "--0xKhTmLbOuNdArY--\r\n";
    EXPECT_EQ(text(*body), expected);
    EXPECT_EQ(SHKTwitterImageUpload::contentType(), "multipart/form-data; boundary=0xKhTmLbOuNdArY");

    auto profile = SHKTwitterImageUpload::body(*fnd::Data::create(jpeg), "not sent", true);
    EXPECT_EQ(text(*profile), "--0xKhTmLbOuNdArY\r\n"
                              "Content-Disposition: form-data; name=\"image\"; filename=\"upload.jpg\"\r\n"
                              "Content-Type: image/jpg\r\n"
                              "\r\n"
            + jpeg
            + "\r\n"
              "--0xKhTmLbOuNdArY--\r\n");
}

TEST(TwitterImageUploadTest, QualityStepsDownByTenthsUntilThePictureFitsAndStopsAtOneTenth)
{
    ScriptedEncoder small { { 300000 } };
    auto jpeg = SHKTwitterImageUpload::jpegForUpload(std::ref(small));
    EXPECT_EQ(small.qualities, std::vector<double> { 0.9 });
    EXPECT_EQ(jpeg->length(), 300000u);

    // Exactly at the limit is small enough.
    ScriptedEncoder shrinking { { 900000, 800000, 700000 } };
    SHKTwitterImageUpload::jpegForUpload(std::ref(shrinking));
    EXPECT_EQ(shrinking.qualities, (std::vector<double> { 0.9, 0.8, 0.7 }));

    ScriptedEncoder tooLarge { { 700001 } };
    jpeg = SHKTwitterImageUpload::jpegForUpload(std::ref(tooLarge));
    EXPECT_EQ(tooLarge.qualities, (std::vector<double> { 0.9, 0.8, 0.7, 0.6, 0.5, 0.4, 0.3, 0.2, 0.1 }));
    EXPECT_EQ(jpeg->length(), 700001u);
}

TEST(TwitterImageUploadTest, RealPictureIsEncodedAsJPEG)
{
    auto image = brenzo::testing::solidImage(64, 48, 0.2, 0.4, 0.9);
    auto jpeg = SHKTwitterImageUpload::jpegForUpload(*image);
    ASSERT_TRUE(jpeg);
    ASSERT_GT(jpeg->length(), 4u);
    EXPECT_EQ(jpeg->bytes()[0], 0xFF);
    EXPECT_EQ(jpeg->bytes()[1], 0xD8);
    auto decoded = gfx::Image::createWithData(*jpeg);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->size().width, 64);
    EXPECT_EQ(decoded->size().height, 48);
}
