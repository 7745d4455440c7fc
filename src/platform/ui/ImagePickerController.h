#pragma once

#include "platform/foundation/Dictionary.h"
#include "platform/graphics/Image.h"
#include "platform/ui/ImagePickerControllerDelegate.h"
#include "platform/ui/NavigationController.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace ui {

// Numbered as the platform numbered them.
enum class ImagePickerSourceType {
    PhotoLibrary = 0,
    Camera = 1,
    SavedPhotosAlbum = 2,
};

// Picks a picture from the device's photos: the pictures (PNG and JPEG files) of the home's
// "Pictures/" folder, listed by name with Cancel at the right. A tap on a name, `press "NAME"`, or
// pickImageAtPath with any picture file hands the picture to the delegate. The device has no
// camera unless a test says otherwise.
class ImagePickerController : public NavigationController {
public:
    // The keys and the media type of the picked information, as the system spells them.
    static constexpr std::string_view originalImageKey = "UIImagePickerControllerOriginalImage";
    static constexpr std::string_view mediaTypeKey = "UIImagePickerControllerMediaType";
    static constexpr std::string_view imageMediaType = "public.image";

    static bool isSourceTypeAvailable(ImagePickerSourceType);
    static void setSourceTypeAvailable(ImagePickerSourceType, bool);
    // Where the device keeps its photos (the photo album saves there too).
    static std::filesystem::path photoLibraryDirectory();
    // The picture files there, by name.
    static std::vector<std::string> photoNames();

    static std::shared_ptr<ImagePickerController> create(ImagePickerSourceType = ImagePickerSourceType::PhotoLibrary);
    ImagePickerController();

    std::string_view className() const override { return "ImagePickerController"; }

    ImagePickerSourceType sourceType() const { return m_sourceType; }
    void setSourceType(ImagePickerSourceType);
    bool allowsEditing() const { return m_allowsEditing; }
    void setAllowsEditing(bool allows) { m_allowsEditing = allows; }
    const std::vector<std::string>& mediaTypes() const { return m_mediaTypes; }
    void setMediaTypes(std::vector<std::string> types) { m_mediaTypes = std::move(types); }

    // Not retained.
    std::shared_ptr<ImagePickerControllerDelegate> delegate() const { return m_delegate.lock(); }
    void setDelegate(const std::shared_ptr<ImagePickerControllerDelegate>& delegate) { m_delegate = delegate; }

    // The user's choices. A file that is not a picture picks nothing and answers false.
    bool pickImageAtPath(const std::filesystem::path&);
    void pickImage(fnd::Ref<gfx::Image>, const std::string& name = {});
    void cancel();

private:
    void setUpScreen();

    ImagePickerSourceType m_sourceType = ImagePickerSourceType::PhotoLibrary;
    bool m_allowsEditing = false;
    std::vector<std::string> m_mediaTypes { std::string(imageMediaType) };
    std::weak_ptr<ImagePickerControllerDelegate> m_delegate;
    std::shared_ptr<ViewController> m_screen;
};

}
