#include "services/foursquare/SHKFoursquareV2CheckInForm.h"

#include "platform/ui/BarButtonItem.h"
#include "platform/ui/NavigationItem.h"
#include "sharing/core/SHKLocalizedText.h"

void SHKFoursquareV2CheckInForm::viewWillAppear(bool animated)
{
    SHKCustomFormControllerLargeTextField::viewWillAppear(animated);
    setupCheckInButton();
}

void SHKFoursquareV2CheckInForm::setupCheckInButton()
{
    navigationItem()->setRightBarButtonItem(ui::BarButtonItem::createWithTitle(SHKLocalizedText("Check In"), ui::BarButtonItemStyle::Done,
        ui::Action::to(static_cast<SHKFormControllerLargeTextField*>(this), "save", &SHKFormControllerLargeTextField::save)));
}
