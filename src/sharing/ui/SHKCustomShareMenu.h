#pragma once

#include "sharing/ui/SHKShareMenu.h"

// The share menu that is made; an application may give it a look of its own.
class SHKCustomShareMenu : public SHKShareMenu {
public:
    static std::shared_ptr<SHKCustomShareMenu> create(ui::TableViewStyle style) { return make<SHKCustomShareMenu>(style); }

    using SHKShareMenu::SHKShareMenu;

    std::string_view className() const override { return "SHKCustomShareMenu"; }
};
