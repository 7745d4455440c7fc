#pragma once

#include "platform/foundation/Data.h"

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace gfx {
class Image;
}

// The picture host's upload: the JPEG sent (small enough for the host) and the multipart body
// that carries it, with the status text as the picture's message.
class SHKTwitterImageUpload {
public:
    static constexpr std::string_view boundary = "0xKhTmLbOuNdArY";
    static constexpr size_t maximumJPEGLength = 700000;

    // Encodes the picture at the given quality (0...1).
    using JPEGEncoder = std::function<fnd::Ref<fnd::Data>(double quality)>;

    // Quality 0.9 first, then one tenth lower each time while the result is over the host's
    // limit; the encoding at 0.1 is sent whatever its size.
    static fnd::Ref<fnd::Data> jpegForUpload(const JPEGEncoder&);
    static fnd::Ref<fnd::Data> jpegForUpload(const gfx::Image&);

    static std::string contentType();
    // A "media" part with the picture and a "message" part with the status; for a profile
    // picture only an "image" part.
    static fnd::Ref<fnd::Data> body(const fnd::Data& jpeg, std::string_view status, bool profileUpdate);
};
