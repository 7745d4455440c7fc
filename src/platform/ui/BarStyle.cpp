#include "platform/ui/BarStyle.h"

namespace ui {

gfx::Color barColor(BarStyle style, const std::optional<gfx::Color>& tint, bool translucent)
{
    gfx::Color color = tint ? *tint : style == BarStyle::Default ? gfx::Color(0.43, 0.52, 0.64) : gfx::Color::grey(0.08);
    if (style == BarStyle::BlackTranslucent || (translucent && style != BarStyle::Default))
        color = color.withAlpha(0.7 * color.alpha);
    return color;
}

gfx::Color barTextColor(const gfx::Color& background)
{
    double luminance = 0.3 * background.red + 0.59 * background.green + 0.11 * background.blue;
    return luminance > 0.75 ? gfx::Color::black() : gfx::Color::white();
}

}
