#include "sharing/core/SHKMessageComposeViewController.h"

#include "sharing/core/SHK.h"

std::shared_ptr<SHKMessageComposeViewController> SHKMessageComposeViewController::create()
{
    return MessageComposeViewController::create<SHKMessageComposeViewController>();
}

void SHKMessageComposeViewController::viewDidDisappear(bool animated)
{
    MessageComposeViewController::viewDidDisappear(animated);
    SHK::composerDidDisappear(*this);
}
