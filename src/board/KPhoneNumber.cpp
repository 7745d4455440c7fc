#include "board/KPhoneNumber.h"

#include "board/ImageResize.h"
#include "board/ImageRoundedCorner.h"
#include "platform/foundation/Format.h"
#include "platform/foundation/Log.h"
#include "platform/graphics/ImageContext.h"
#include "platform/ui/BundleImages.h"

namespace {

constexpr int rimCornerSize = 16;
constexpr int photoCornerSize = 12;
constexpr int photoBorderSize = 4;

fnd::Ref<gfx::Image> roundedSquare(const fnd::Ref<gfx::Image>& image, double side, int cornerSize, int borderSize)
{
    if (!image)
        return nullptr;
    auto resized = ImageResize::resizedImage(*image, { side, side }, gfx::InterpolationQuality::High);
    return resized ? ImageRoundedCorner::roundedCornerImage(*resized, cornerSize, borderSize) : nullptr;
}

}

fnd::Ref<KPhoneNumber> KPhoneNumber::create()
{
    return std::make_shared<KPhoneNumber>();
}

std::string KPhoneNumber::description() const
{
    return fnd::format("<KPhoneNumber %@ %@ %@>", compositeName(), m_type.value_or(""), m_phone.value_or(""));
}

const std::string& KPhoneNumber::compositeName() const
{
    if (!m_compositeName) {
        if (m_lastName && m_firstName)
            m_compositeName = *m_lastName + " " + *m_firstName;
        else if (m_lastName)
            m_compositeName = *m_lastName;
        else if (m_firstName)
            m_compositeName = *m_firstName;
        else
            m_compositeName = m_organization.value_or("Unknown");
    }
    return *m_compositeName;
}

fnd::Ref<gfx::Image> KPhoneNumber::decodedPhoto() const
{
    if (!m_contact || !m_contact->hasImageData())
        return nullptr;
    auto data = m_contact->imageData(ab::ImageFormat::Thumbnail);
    auto photo = data ? gfx::Image::createWithData(*data) : nullptr;
    if (!photo)
        fnd::Log::format("photo of %@ cannot be decoded", compositeName());
    return photo;
}

fnd::Ref<gfx::Image> KPhoneNumber::image() const
{
    auto photo = decodedPhoto();
    if (!photo)
        photo = ui::BundleImages::imageNamed(stockPhotoName);
    auto rim = roundedSquare(ui::BundleImages::imageNamed(rimImageName), imageSide, rimCornerSize, 0);
    auto framedPhoto = roundedSquare(photo, imageSide, photoCornerSize, photoBorderSize);

    auto context = gfx::ImageContext::create({ imageSide, imageSide }, false, 1);
    gfx::Rect area { 0, 0, imageSide, imageSide };
    if (rim)
        context->drawImage(*rim, area);
    if (framedPhoto)
        context->drawImage(*framedPhoto, area, gfx::BlendMode::Normal, 1);
    return context->image();
}

fnd::Ref<gfx::Image> KPhoneNumber::iconImage() const
{
    auto photo = decodedPhoto();
    if (!photo)
        return nullptr;
    return ImageResize::resizedImage(*photo, { iconSide, iconSide }, gfx::InterpolationQuality::None);
}
