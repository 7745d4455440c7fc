#include "sharing/sharers/SHKPhotoAlbum.h"

#include "platform/device/PhotoAlbum.h"
#include "sharing/core/SHKLocalizedText.h"
#include "sharing/ui/SHKActivityIndicator.h"

std::string SHKPhotoAlbum::sharerTitle()
{
    return SHKLocalizedText("Save to Photo Album");
}

bool SHKPhotoAlbum::send()
{
    setQuiet(true);
    fnd::Ref<fnd::Error> error;
    if (!writeImageToAlbum(&error)) {
        sendDidFailWithError(std::move(error));
        return true;
    }
    SHKActivityIndicator::currentIndicator().displayCompleted(SHKLocalizedText("Saved!"));
    sendDidFinish();
    return true;
}

bool SHKPhotoAlbum::writeImageToAlbum(fnd::Ref<fnd::Error>* error)
{
    auto& item = *this->item();
    if (item.shareType() != SHKShareTypeImage || !item.image())
        return false;
    return device::PhotoAlbum::saveImage(*item.image(), error).has_value();
}
