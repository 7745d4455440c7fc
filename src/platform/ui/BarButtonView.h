#pragma once

#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Control.h"

namespace ui {

// The button a bar shows for an item without a view of its own: its title, image or system icon,
// with a border for the bordered and done styles. A tap sends the item's action.
class BarButtonView : public Control {
public:
    // How opaque a disabled item is drawn.
    static constexpr double disabledAlpha = 0.4;

    BarButtonView(fnd::Ref<BarButtonItem>, gfx::Color textColor);

    std::string_view className() const override { return "BarButtonView"; }

    const fnd::Ref<BarButtonItem>& item() const { return m_item; }
    // The width the item asks for in a bar.
    static double preferredWidth(const BarButtonItem&);

    void drawRect(gfx::GraphicsContext&, const gfx::Rect&) override;
    void collectPressTargets(PressTargets&) override;
    std::string treeAttributes() const override;

private:
    void drawSystemIcon(gfx::GraphicsContext&, BarButtonSystemItem, const gfx::Rect&);

    fnd::Ref<BarButtonItem> m_item;
    gfx::Color m_textColor;
};

}
