#pragma once

#include "platform/ui/Control.h"

namespace ui {

// An on/off switch of the platform's size (94 x 27 points whatever the frame asks). A tap flips it
// and sends the value-changed actions; setting it by program sends nothing.
class Switch : public Control {
public:
    static constexpr gfx::Size size { 94, 27 };

    static std::shared_ptr<Switch> create(const gfx::Rect& frame = {});
    explicit Switch(const gfx::Rect& frame = {});

    std::string_view className() const override { return "Switch"; }

    bool isOn() const { return m_on; }
    void setOn(bool on, bool animated = false);
    // What a tap does.
    void toggle();

    gfx::Size sizeThatFits(gfx::Size) const override { return size; }
    void touchesEnded(const TouchSet&, const Event&) override;
    void drawRect(gfx::GraphicsContext&, const gfx::Rect&) override;
    std::string treeAttributes() const override;

private:
    bool m_on = false;
};

}
