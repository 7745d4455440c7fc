#pragma once

#include "platform/graphics/Color.h"

#include <string_view>

namespace ui {
class ViewController;
}

// The settings screens' navigation bar: tinted, with the maker's logo in place of the title and a
// Done button that closes the screens over the board.
class DesignPart {
public:
    static constexpr gfx::Color barTintColor { 0.25390625, 0.25390625, 0.62890625, 1 };
    static constexpr std::string_view logoImageName = "tarvollogo.png";
    static constexpr double logoWidth = 150;
    static constexpr double logoHeight = 40;

    // Tints the bar of the controller's navigation controller and lays the logo over it.
    static void addHeaderLabel(ui::ViewController&);
    // The logo, and a Done button on the controller's navigation item that closes the settings.
    static void makeHeaderForSettingsViewNavigator(ui::ViewController&);
};
