#pragma once

#include "sharing/ui/SHKFormFieldCell.h"

// The cell every form row uses; an application may give it a look of its own.
class SHKCustomFormFieldCell : public SHKFormFieldCell {
public:
    using SHKFormFieldCell::SHKFormFieldCell;

    std::string_view className() const override { return "SHKCustomFormFieldCell"; }
};
