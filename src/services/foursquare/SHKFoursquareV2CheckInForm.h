#pragma once

#include "sharing/ui/SHKCustomFormControllerLargeTextField.h"

// The check-in message screen: the compose screen with "Check In" in place of its send button.
class SHKFoursquareV2CheckInForm : public SHKCustomFormControllerLargeTextField {
public:
    static std::shared_ptr<SHKFoursquareV2CheckInForm> create(const std::shared_ptr<SHKFormControllerLargeTextFieldDelegate>& delegate)
    {
        return make<SHKFoursquareV2CheckInForm>(delegate);
    }

    std::string_view className() const override { return "SHKFoursquareV2CheckInForm"; }

    void viewWillAppear(bool animated) override;
    void setupCheckInButton();
};
