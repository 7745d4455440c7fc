#pragma once

#include "sharing/ui/SHKFormController.h"

// The form the sharers show; an application may give it a look of its own.
class SHKCustomFormController : public SHKFormController {
public:
    static std::shared_ptr<SHKCustomFormController> create(ui::TableViewStyle style, std::string title, std::string rightButtonTitle)
    {
        return make<SHKCustomFormController>(style, std::move(title), std::move(rightButtonTitle));
    }

    using SHKFormController::SHKFormController;

    std::string_view className() const override { return "SHKCustomFormController"; }
};
