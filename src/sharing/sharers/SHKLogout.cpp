#include "sharing/sharers/SHKLogout.h"

#include "sharing/core/SHK.h"
#include "sharing/core/SHKLocalizedText.h"
#include "sharing/ui/SHKActivityIndicator.h"

std::string SHKLogout::sharerTitle()
{
    return SHKLocalizedText("Logout");
}

bool SHKLogout::send()
{
    setQuiet(true);
    SHK::logoutOfAll();
    SHKActivityIndicator::currentIndicator().displayCompleted(SHKLocalizedText("Logged Out!"));
    sendDidFinish();
    return true;
}
