#include "services/twitter/SHKTwitterImageUpload.h"

#include "platform/foundation/Format.h"
#include "platform/graphics/Image.h"

namespace {

// Tenths from 0.9 down to 0.1, counted in whole steps so that the last one is exactly 0.1.
constexpr int firstQualityTenths = 9;
constexpr int lastQualityTenths = 1;

}

fnd::Ref<fnd::Data> SHKTwitterImageUpload::jpegForUpload(const JPEGEncoder& encode)
{
    fnd::Ref<fnd::Data> jpeg;
    for (int tenths = firstQualityTenths; tenths >= lastQualityTenths; --tenths) {
        jpeg = encode(tenths / 10.0);
        if (jpeg && jpeg->length() <= maximumJPEGLength)
            break;
    }
    return jpeg;
}

fnd::Ref<fnd::Data> SHKTwitterImageUpload::jpegForUpload(const gfx::Image& image)
{
    return jpegForUpload([&image](double quality) { return image.jpegRepresentation(quality); });
}

std::string SHKTwitterImageUpload::contentType()
{
    return fnd::format("multipart/form-data; boundary=%@", boundary);
}

fnd::Ref<fnd::Data> SHKTwitterImageUpload::body(const fnd::Data& jpeg, std::string_view status, bool profileUpdate)
{
    auto body = fnd::Data::createMutable();
    auto line = [&body](std::string_view text) {
        body->append(text);
        body->append("\r\n");
    };
    line(fnd::format("--%@", boundary));
    line(profileUpdate ? R"(Content-Disposition: form-data; name="image"; filename="upload.jpg")"
                       : R"(Content-Disposition: form-data; name="media"; filename="upload.jpg")");
    line("Content-Type: image/jpg");
    line("");
    body->append(jpeg.span());
    line("");
    if (!profileUpdate) {
        line(fnd::format("--%@", boundary));
        line(R"(Content-Disposition: form-data; name="message")");
        line("");
        line(status);
    }
    line(fnd::format("--%@--", boundary));
    return body;
}
