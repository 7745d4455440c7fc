#pragma once

#include "sharing/core/SHKSharer.h"

#include <string>
#include <string_view>

// Saves the item's picture to the saved-photos album and says "Saved!".
class SHKPhotoAlbum : public SHKSharer {
public:
    static constexpr std::string_view sharerClassName = "SHKPhotoAlbum";

    static std::string sharerTitle();
    static bool canShareImage() { return true; }
    static bool shareRequiresInternetConnection() { return false; }
    static bool requiresAuthentication() { return false; }

    bool shouldAutoShare() override { return true; }
    // Reports finished once the picture is in the album, failed (with the album's error) otherwise.
    bool send() override;
    // Answers whether the picture was saved; the error tells why not, when the album knows.
    bool writeImageToAlbum(fnd::Ref<fnd::Error>* = nullptr);
};
