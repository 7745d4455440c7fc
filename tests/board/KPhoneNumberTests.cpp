#include "TestPictures.h"

#include "board/ImageResize.h"
#include "board/KPhoneNumber.h"
#include "platform/addressbook/Person.h"
#include "platform/foundation/Log.h"
#include "platform/ui/BundleImages.h"

#include <gtest/gtest.h>

namespace brenzo::testing {

namespace {

const gfx::Pixel black { 0, 0, 0, 255 };

fnd::Ref<KPhoneNumber> record(std::optional<std::string> first, std::optional<std::string> last, std::optional<std::string> organization = {},
    fnd::Ref<fnd::Data> photo = nullptr)
{
    auto record = KPhoneNumber::create();
    record->setFirstName(first);
    record->setLastName(last);
    record->setOrganization(std::move(organization));
    ab::PersonDetails details;
    details.imageData = std::move(photo);
    record->setContact(ab::Person::create(7, std::move(details)));
    return record;
}

// Transparent outside the outer rounded corner, black between the outer outline and the photo's.
void expectBlackRoundedRim(const gfx::Image& picture)
{
    EXPECT_EQ(picture.size(), (gfx::Size { 180, 180 }));
    EXPECT_EQ(picture.pixelAt(0, 0).alpha, 0);
    EXPECT_EQ(picture.pixelAt(179, 179).alpha, 0);
    EXPECT_EQ(picture.pixelAt(5, 5), black);
    EXPECT_EQ(picture.pixelAt(2, 90), black);
    EXPECT_EQ(picture.pixelAt(90, 177), black);
}

}

TEST(KPhoneNumber, TheOneLineNameIsLastFirstOrWhatThereIsAndIsKept)
{
    EXPECT_EQ(record("John", "Smith", "Acme")->compositeName(), "Smith John");
    EXPECT_EQ(record("John", std::nullopt, "Acme")->compositeName(), "John");
    EXPECT_EQ(record(std::nullopt, "Smith", "Acme")->compositeName(), "Smith");
    EXPECT_EQ(record(std::nullopt, std::nullopt, "Acme")->compositeName(), "Acme");
    EXPECT_EQ(record(std::nullopt, std::nullopt)->compositeName(), "Unknown");

    auto renamed = record("John", "Smith");
    renamed->compositeName();
    renamed->setLastName("Doe");
    EXPECT_EQ(renamed->compositeName(), "Smith John");
}

TEST(KPhoneNumber, TheBoardPictureIsThePhotoStretchedInsideABlackRoundedRim)
{
    auto photo = splitPicture({ 300, 200 }, { 1, 0, 0 }, { 0, 0, 1 });
    auto contact = record("John", "Smith", std::nullopt, photo->pngRepresentation());
    auto picture = contact->image();
    ASSERT_TRUE(picture);
    expectBlackRoundedRim(*picture);
    EXPECT_PRED3(isNear, picture->pixelAt(8, 8), pixelOf({ 1, 0, 0 }), 3);
    EXPECT_PRED3(isNear, picture->pixelAt(85, 90), pixelOf({ 1, 0, 0 }), 3);
    EXPECT_PRED3(isNear, picture->pixelAt(95, 170), pixelOf({ 0, 0, 1 }), 3);

    auto icon = contact->iconImage();
    ASSERT_TRUE(icon);
    EXPECT_EQ(icon->size(), (gfx::Size { 160, 160 }));
    EXPECT_EQ(icon->pixelAt(79, 159), pixelOf({ 1, 0, 0 }));
    EXPECT_EQ(icon->pixelAt(80, 0), pixelOf({ 0, 0, 1 }));
}

TEST(KPhoneNumber, WithoutAPhotoThatDecodesTheBoardPictureIsTheStockPictureAndThereIsNoRowPicture)
{
    auto stock = ui::BundleImages::imageNamed(KPhoneNumber::stockPhotoName);
    ASSERT_TRUE(stock);
    auto stockCentre = ImageResize::resizedImage(*stock, { 180, 180 }, gfx::InterpolationQuality::High)->pixelAt(90, 90);

    fnd::LogCapture log;
    for (auto& contact : { record("John", "Smith"), record("John", "Smith", std::nullopt, fnd::Data::create(std::string_view("\x89PNG, damaged"))) }) {
        EXPECT_FALSE(contact->iconImage());
        auto picture = contact->image();
        ASSERT_TRUE(picture);
        expectBlackRoundedRim(*picture);
        EXPECT_PRED3(isNear, picture->pixelAt(90, 90), stockCentre, 2);
    }
    EXPECT_TRUE(log.contains("photo of Smith John cannot be decoded"));
}

}
