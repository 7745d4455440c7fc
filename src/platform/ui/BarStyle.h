#pragma once

#include "platform/graphics/Color.h"

#include <optional>

namespace ui {

// Numbered as the platform numbered them.
enum class BarStyle {
    Default = 0,
    Black = 1,
    BlackTranslucent = 2,
};

// The colour a bar is painted in: its tint when it has one, else its style's colour.
gfx::Color barColor(BarStyle, const std::optional<gfx::Color>& tint, bool translucent);
// What bar texts are drawn in on that colour.
gfx::Color barTextColor(const gfx::Color& background);

}
