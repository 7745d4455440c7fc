#include "sharing/sharers/SHKSafari.h"

#include "platform/ui/Application.h"
#include "sharing/core/SHKLocalizedText.h"

std::string SHKSafari::sharerTitle()
{
    return SHKLocalizedText("Open in Safari");
}

bool SHKSafari::send()
{
    setQuiet(true);
    auto& url = item()->URL();
    if (url && ui::Application::shared().openURL(*url))
        sendDidFinish();
    else
        sendDidFailWithError(nullptr);
    return true;
}
