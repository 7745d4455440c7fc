#pragma once

#include "sharing/ui/SHKActionSheet.h"

// The share action sheet that is made; an application may give it a look of its own.
class SHKCustomActionSheet : public SHKActionSheet {
public:
    std::string_view className() const override { return "SHKCustomActionSheet"; }
};
