#pragma once

#include "platform/graphics/Image.h"

#include <string>
#include <string_view>

namespace ui {

// Pictures of the application bundle by name ("heart.png", or "heart" for a PNG), loaded once and
// kept. On a double-density screen a "name@2x.png" beside the picture is preferred. Pictures
// remember their names, so bar items and buttons can be pressed by them.
class BundleImages {
public:
    // Nothing when the bundle has no such picture or it cannot be decoded.
    static fnd::Ref<gfx::Image> imageNamed(std::string_view name);
    // The name a picture was loaded by, or "" for pictures from elsewhere.
    static std::string nameOf(const gfx::Image&);
    // Drops the loaded pictures (tests that change the bundle or the screen scale).
    static void clearCache();
};

}
