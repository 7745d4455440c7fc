#include "sharing/sharers/SHKCopy.h"

#include "platform/device/Pasteboard.h"
#include "sharing/core/SHKLocalizedText.h"
#include "sharing/ui/SHKActivityIndicator.h"

std::string SHKCopy::sharerTitle()
{
    return SHKLocalizedText("Copy");
}

bool SHKCopy::send()
{
    setQuiet(true);
    auto& item = *this->item();
    auto& pasteboard = device::Pasteboard::generalPasteboard();
    switch (item.shareType()) {
    case SHKShareTypeURL:
        if (item.URL())
            pasteboard.setString(item.URL()->absoluteString());
        break;
    case SHKShareTypeImage:
        placeImageOnPasteboard();
        break;
    case SHKShareTypeText:
        if (item.text())
            pasteboard.setString(*item.text());
        break;
    default:
        break;
    }
    SHKActivityIndicator::currentIndicator().displayCompleted(SHKLocalizedText("Copied!"));
    sendDidFinish();
    return true;
}

void SHKCopy::placeImageOnPasteboard()
{
    if (auto& image = item()->image())
        device::Pasteboard::generalPasteboard().setImage(image);
}
