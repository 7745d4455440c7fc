#pragma once

#include "platform/ui/TableViewCell.h"

// A row of the share menu; an application may give it a look of its own.
class SHKCustomShareMenuCell : public ui::TableViewCell {
public:
    using TableViewCell::TableViewCell;

    std::string_view className() const override { return "SHKCustomShareMenuCell"; }
};
