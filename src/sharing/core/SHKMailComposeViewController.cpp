#include "sharing/core/SHKMailComposeViewController.h"

#include "sharing/core/SHK.h"

std::shared_ptr<SHKMailComposeViewController> SHKMailComposeViewController::create()
{
    return MailComposeViewController::create<SHKMailComposeViewController>();
}

void SHKMailComposeViewController::viewDidDisappear(bool animated)
{
    MailComposeViewController::viewDidDisappear(animated);
    SHK::composerDidDisappear(*this);
}
