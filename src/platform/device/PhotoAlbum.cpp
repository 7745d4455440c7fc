#include "platform/device/PhotoAlbum.h"

#include "platform/device/NumberedFile.h"
#include "platform/foundation/FileManager.h"
#include "platform/foundation/RunLoop.h"
#include "platform/ui/Effects.h"
#include "platform/ui/ImagePickerController.h"

namespace device {

std::optional<std::filesystem::path> PhotoAlbum::saveImage(const gfx::Image& image, fnd::Ref<fnd::Error>* error)
{
    auto png = image.pngRepresentation();
    if (!png) {
        if (error)
            *error = fnd::Error::withDescription(std::string(fnd::FileManager::errorDomain), fnd::FileManager::writeUnknownError, "The picture could not be encoded.");
        return std::nullopt;
    }
    auto folder = ui::ImagePickerController::photoLibraryDirectory();
    auto path = NumberedFile::nextFreePath(folder, "IMG_", ".png");
    if (path.empty()) {
        if (error)
            *error = fnd::Error::withDescription(std::string(fnd::FileManager::errorDomain), fnd::FileManager::writeUnknownError,
                "The photo album folder cannot be written.");
        return std::nullopt;
    }
    if (!fnd::FileManager::writeAtomically(path, png->span(), error))
        return std::nullopt;
    ui::Effects::report("saved photo " + NumberedFile::displayPath(path));
    return path;
}

void PhotoAlbum::saveImage(fnd::Ref<gfx::Image> image, std::function<void(const fnd::Ref<fnd::Error>&)> completion)
{
    fnd::Ref<fnd::Error> error;
    if (!image)
        error = fnd::Error::withDescription(std::string(fnd::FileManager::errorDomain), fnd::FileManager::writeUnknownError, "There is no picture to save.");
    else
        saveImage(*image, &error);
    if (!completion)
        return;
    fnd::RunLoop::main().post([completion = std::move(completion), error] { completion(error); });
}

}
