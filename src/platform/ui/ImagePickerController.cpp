#include "platform/ui/ImagePickerController.h"

#include "platform/foundation/FileManager.h"
#include "platform/foundation/String.h"
#include "platform/ui/Effects.h"
#include "platform/ui/ImagePickerScreen.h"

#include <algorithm>
#include <atomic>

namespace ui {

namespace {

std::atomic<bool> cameraAvailable { false };
std::atomic<bool> libraryAvailable { true };
std::atomic<bool> albumAvailable { true };

std::atomic<bool>& availability(ImagePickerSourceType type)
{
    switch (type) {
    case ImagePickerSourceType::Camera:
        return cameraAvailable;
    case ImagePickerSourceType::SavedPhotosAlbum:
        return albumAvailable;
    case ImagePickerSourceType::PhotoLibrary:
        break;
    }
    return libraryAvailable;
}

bool isPictureName(const std::string& name)
{
    auto extension = std::filesystem::path(name).extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension == ".png" || extension == ".jpg" || extension == ".jpeg";
}

}

ImagePickerControllerDelegate::~ImagePickerControllerDelegate() = default;

bool ImagePickerController::isSourceTypeAvailable(ImagePickerSourceType type)
{
    return availability(type);
}

void ImagePickerController::setSourceTypeAvailable(ImagePickerSourceType type, bool available)
{
    availability(type) = available;
}

std::filesystem::path ImagePickerController::photoLibraryDirectory()
{
    return fnd::FileManager::homeDirectory() / "Pictures";
}

std::vector<std::string> ImagePickerController::photoNames()
{
    std::vector<std::string> names;
    auto entries = fnd::FileManager::contentsOfDirectory(photoLibraryDirectory());
    if (!entries)
        return names;
    for (auto& name : *entries) {
        if (isPictureName(name))
            names.push_back(name);
    }
    return names;
}

std::shared_ptr<ImagePickerController> ImagePickerController::create(ImagePickerSourceType type)
{
    auto picker = std::make_shared<ImagePickerController>();
    picker->setSourceType(type);
    picker->setUpScreen();
    return picker;
}

ImagePickerController::ImagePickerController() = default;

void ImagePickerController::setUpScreen()
{
    m_screen = std::make_shared<ImagePickerScreen>(sharedAs<ImagePickerController>());
    m_screen->setTitle(m_sourceType == ImagePickerSourceType::SavedPhotosAlbum ? "Saved Photos" : "Photos");
    pushViewController(m_screen, false);
}

void ImagePickerController::setSourceType(ImagePickerSourceType type)
{
    m_sourceType = type;
    if (m_screen)
        m_screen->setTitle(type == ImagePickerSourceType::SavedPhotosAlbum ? "Saved Photos" : "Photos");
}

bool ImagePickerController::pickImageAtPath(const std::filesystem::path& path)
{
    auto image = gfx::Image::createWithContentsOfFile(path);
    if (!image)
        return false;
    pickImage(std::move(image), path.filename().string());
    return true;
}

void ImagePickerController::pickImage(fnd::Ref<gfx::Image> image, const std::string& name)
{
    if (!image)
        return;
    auto protect = sharedAs<ImagePickerController>();
    auto info = fnd::MutableDictionary::create();
    info->setObjectForKey(image, originalImageKey);
    info->setObjectForKey(fnd::String::create(imageMediaType), mediaTypeKey);
    Effects::report("picked photo " + (name.empty() ? std::string("(image)") : name));
    if (auto delegate = this->delegate()) {
        delegate->didFinishPickingMediaWithInfo(*this, info);
        return;
    }
    dismissViewController(true);
}

void ImagePickerController::cancel()
{
    auto protect = sharedAs<ImagePickerController>();
    if (auto delegate = this->delegate()) {
        delegate->imagePickerControllerDidCancel(*this);
        return;
    }
    dismissViewController(true);
}

}
