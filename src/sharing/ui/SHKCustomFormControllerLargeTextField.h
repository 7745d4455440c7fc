#pragma once

#include "sharing/ui/SHKFormControllerLargeTextField.h"

// The compose screen the services make; an application may give it a look of its own.
class SHKCustomFormControllerLargeTextField : public SHKFormControllerLargeTextField {
public:
    static std::shared_ptr<SHKCustomFormControllerLargeTextField> create(const std::shared_ptr<SHKFormControllerLargeTextFieldDelegate>& delegate)
    {
        return make<SHKCustomFormControllerLargeTextField>(delegate);
    }

    std::string_view className() const override { return "SHKCustomFormControllerLargeTextField"; }
};
