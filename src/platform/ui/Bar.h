#pragma once

#include "platform/ui/BarStyle.h"
#include "platform/ui/View.h"

#include <optional>

namespace ui {

// What the navigation bar and the tool bar share: a style, an optional tint and translucency, and
// a background in the bar's colour with a dark hairline on the edge that meets the content.
class Bar : public View {
public:
    BarStyle barStyle() const { return m_barStyle; }
    void setBarStyle(BarStyle);
    std::optional<gfx::Color> tintColor() const { return m_tintColor; }
    void setTintColor(std::optional<gfx::Color>);
    bool isTranslucent() const { return m_translucent; }
    void setTranslucent(bool translucent) { m_translucent = translucent; }

    // The colour the bar is painted in, and the one its texts are drawn in.
    gfx::Color color() const { return barColor(m_barStyle, m_tintColor, m_translucent); }
    gfx::Color textColor() const { return barTextColor(color()); }

    void drawRect(gfx::GraphicsContext&, const gfx::Rect&) override;

protected:
    enum class HairlineEdge { Top, Bottom };
    Bar(const gfx::Rect& frame, HairlineEdge);

    // The bar's items take their look from the bar: called when the style or the tint changes.
    virtual void appearanceChanged() = 0;

private:
    HairlineEdge m_hairlineEdge;
    BarStyle m_barStyle = BarStyle::Default;
    std::optional<gfx::Color> m_tintColor;
    bool m_translucent = false;
};

}
