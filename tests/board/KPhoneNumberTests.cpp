#include "TestPictures.h"

#include "board/ImageResize.h"
#include "board/KPhoneNumber.h"
#include "platform/addressbook/Person.h"
#include "platform/foundation/Log.h"
#include "platform/ui/BundleImages.h"

#include <gtest/gtest.h>

namespace brenzo::testing {

namespace {

const gfx::Color red { 1, 0, 0 };
const gfx::Color blue { 0, 0, 1 };
const gfx::Pixel black { 0, 0, 0, 255 };

fnd::Ref<KPhoneNumber> recordWithPhoto(fnd::Ref<fnd::Data> photo)
{
    ab::PersonDetails details;
    details.firstName = fnd::String::create("John");
    details.lastName = fnd::String::create("Smith");
    details.imageData = std::move(photo);
    auto record = KPhoneNumber::create();
    record->setFirstName("John");
    record->setLastName("Smith");
    record->setContact(ab::Person::create(7, std::move(details)));
    return record;
}

fnd::Ref<KPhoneNumber> recordNamed(std::optional<std::string> first, std::optional<std::string> last, std::optional<std::string> organization)
{
    auto record = KPhoneNumber::create();
    record->setFirstName(std::move(first));
    record->setLastName(std::move(last));
    record->setOrganization(std::move(organization));
    return record;
}

// The board picture's rim: transparent outside the outer rounded corner, black between the outer
// outline and the photo's.
void expectBlackRoundedRim(const gfx::Image& picture)
{
    EXPECT_EQ(picture.pixelAt(0, 0).alpha, 0);
    EXPECT_EQ(picture.pixelAt(179, 179).alpha, 0);
    EXPECT_EQ(picture.pixelAt(5, 5), black);
    EXPECT_EQ(picture.pixelAt(2, 90), black);
    EXPECT_EQ(picture.pixelAt(90, 177), black);
}

}

TEST(KPhoneNumber, TheOneLineNameIsLastFirstOrWhatThereIs)
{
    EXPECT_EQ(recordNamed("John", "Smith", "Acme")->compositeName(), "Smith John");
    EXPECT_EQ(recordNamed("John", std::nullopt, "Acme")->compositeName(), "John");
    EXPECT_EQ(recordNamed(std::nullopt, "Smith", "Acme")->compositeName(), "Smith");
    EXPECT_EQ(recordNamed(std::nullopt, std::nullopt, "Acme")->compositeName(), "Acme");
    EXPECT_EQ(recordNamed(std::nullopt, std::nullopt, std::nullopt)->compositeName(), "Unknown");
    // An empty name is a name.
    EXPECT_EQ(recordNamed("John", "", std::nullopt)->compositeName(), " John");
}

TEST(KPhoneNumber, TheOneLineNameIsKeptOnceAskedFor)
{
    auto record = recordNamed("John", "Smith", std::nullopt);
    EXPECT_EQ(record->compositeName(), "Smith John");
    record->setLastName("Doe");
    record->setFirstName(std::nullopt);
    EXPECT_EQ(record->compositeName(), "Smith John");
}

TEST(KPhoneNumber, TheBoardPictureIsThePhotoInsideABlackRoundedRim)
{
    auto record = recordWithPhoto(solidPicture({ 64, 64 }, blue)->pngRepresentation());
    auto picture = record->image();
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->size(), (gfx::Size { 180, 180 }));
    EXPECT_EQ(picture->scale(), 1);
    expectBlackRoundedRim(*picture);
    EXPECT_EQ(picture->pixelAt(8, 8), pixelOf(blue));
    EXPECT_EQ(picture->pixelAt(90, 90), pixelOf(blue));
    EXPECT_EQ(picture->pixelAt(175, 90), pixelOf(blue));
    EXPECT_NE(record->image(), picture) << "made anew on each call";
}

TEST(KPhoneNumber, APhotoThatIsNotSquareIsStretched)
{
    auto record = recordWithPhoto(splitPicture({ 300, 200 }, red, blue)->pngRepresentation());
    auto picture = record->image();
    ASSERT_TRUE(picture);
    EXPECT_PRED3(isNear, picture->pixelAt(10, 90), pixelOf(red), 3);
    EXPECT_PRED3(isNear, picture->pixelAt(85, 10), pixelOf(red), 3);
    EXPECT_PRED3(isNear, picture->pixelAt(95, 170), pixelOf(blue), 3);

    auto icon = record->iconImage();
    ASSERT_TRUE(icon);
    EXPECT_EQ(icon->size(), (gfx::Size { 160, 160 }));
    EXPECT_EQ(icon->pixelAt(0, 0), pixelOf(red));
    EXPECT_EQ(icon->pixelAt(79, 159), pixelOf(red));
    EXPECT_EQ(icon->pixelAt(80, 0), pixelOf(blue));
    EXPECT_EQ(icon->pixelAt(159, 159), pixelOf(blue));
}

TEST(KPhoneNumber, WithoutAPhotoTheBoardPictureIsTheStockPictureAndThereIsNoRowPicture)
{
    auto stock = ui::BundleImages::imageNamed(KPhoneNumber::stockPhotoName);
    ASSERT_TRUE(stock);
    auto expectedCentre = ImageResize::resizedImage(*stock, { 180, 180 }, gfx::InterpolationQuality::High)->pixelAt(90, 90);

    for (auto& record : { recordNamed("John", "Smith", std::nullopt), recordWithPhoto(nullptr) }) {
        EXPECT_FALSE(record->iconImage());
        auto picture = record->image();
        ASSERT_TRUE(picture);
        EXPECT_EQ(picture->size(), (gfx::Size { 180, 180 }));
        expectBlackRoundedRim(*picture);
        EXPECT_PRED3(isNear, picture->pixelAt(90, 90), expectedCentre, 2);
    }
}

TEST(KPhoneNumber, APhotoThatDoesNotDecodeFallsBackToTheStockPicture)
{
    fnd::LogCapture log;
    auto record = recordWithPhoto(fnd::Data::create(std::string_view("\x89PNG but not really a picture")));
    EXPECT_FALSE(record->iconImage());
    auto picture = record->image();
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->size(), (gfx::Size { 180, 180 }));
    expectBlackRoundedRim(*picture);
    EXPECT_TRUE(log.contains("photo of Smith John cannot be decoded"));
}

}
