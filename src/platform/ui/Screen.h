#pragma once

#include "platform/graphics/Rect.h"

namespace ui {

// The device's one screen: 320 x 480 points with a 20-point status bar at the top, at scale 1 or 2.
class Screen {
public:
    static Screen& mainScreen();

    static constexpr double statusBarHeight = 20;

    gfx::Rect bounds() const { return { 0, 0, 320, 480 }; }
    // The screen less the status bar while it shows: (0, 20, 320, 460).
    gfx::Rect applicationFrame() const;
    // Pixels per point.
    double scale() const { return m_scale; }
    // 1 or 2; other values count as 1.
    void setScale(double);

private:
    Screen() = default;
    double m_scale = 1;
};

}
