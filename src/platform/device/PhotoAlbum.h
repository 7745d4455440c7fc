#pragma once

#include "platform/foundation/Error.h"
#include "platform/graphics/Image.h"

#include <filesystem>
#include <functional>
#include <optional>

namespace device {

// The saved-photos album: the home's "Pictures/" folder, which the image picker lists. Each saved
// picture is a new PNG file ("IMG_0001.png"), written atomically and reported as an effect line.
class PhotoAlbum {
public:
    // Answers where the picture went, or nothing with the error.
    static std::optional<std::filesystem::path> saveImage(const gfx::Image&, fnd::Ref<fnd::Error>* = nullptr);
    // The same, with the outcome handed to the completion on the next turn of the main run loop.
    static void saveImage(fnd::Ref<gfx::Image>, std::function<void(const fnd::Ref<fnd::Error>&)> completion);
};

}
