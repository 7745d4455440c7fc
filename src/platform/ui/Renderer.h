#pragma once

#include "platform/foundation/Error.h"
#include "platform/graphics/Image.h"

#include <filesystem>

namespace gfx {
class GraphicsContext;
}

namespace ui {

class View;

// Draws views with their layers: background, the view's own drawing, its subviews, then the
// border; corner radius, clipping, transforms, alpha and a plain shadow are honoured. The screen
// is every visible window by level (presented screens and alerts included) under a 20-point
// status bar.
class Renderer {
public:
    // The 320 x 480 screen at a scale of 1 or 2 (the screen's scale when 0).
    static fnd::Ref<gfx::Image> renderScreen(double scale = 0);
    // Writes the screen as a PNG file, atomically.
    static bool writeScreenshot(const std::filesystem::path&, double scale = 0, fnd::Ref<fnd::Error>* = nullptr);
    // A view and its subviews, in a picture the size of its bounds.
    static fnd::Ref<gfx::Image> renderView(View&, double scale = 0);

    // Draws the view as its superview would, in the superview's coordinates.
    static void drawView(View&, gfx::GraphicsContext&, double inheritedAlpha = 1);
    // Draws the view's content and subviews in its own bounds' coordinates.
    static void drawContents(View&, gfx::GraphicsContext&, double alpha = 1);
    static void drawStatusBar(gfx::GraphicsContext&);
};

}
