#pragma once

#include "platform/graphics/TextMeasurer.h"

#include <cairo.h>

#include <map>
#include <mutex>
#include <utility>

namespace gfx {

// Metrics of the real fonts, through cairo and fontconfig. Unhinted, so that a layout measured
// here holds at every scale.
class CairoTextMeasurer final : public TextMeasurer {
public:
    CairoTextMeasurer() = default;
    ~CairoTextMeasurer() override;
    CairoTextMeasurer(const CairoTextMeasurer&) = delete;
    CairoTextMeasurer& operator=(const CairoTextMeasurer&) = delete;

    double widthOfText(std::string_view, const Font&) const override;
    double lineHeight(const Font&) const override;
    double ascent(const Font&) const override;

    // Makes the font current in a cairo context, with the options the measurements assume.
    static void selectFont(cairo_t*, const Font&);
    // Resolves the regular and bold faces on a worker thread, so that reading fontconfig's setup and
    // opening the font files overlap with the rest of a launch instead of delaying the first text.
    static void prepareFontsInBackground();

private:
    cairo_scaled_font_t* scaledFont(const Font&) const;
    cairo_font_extents_t fontExtents(const Font&) const;

    mutable std::mutex m_lock;
    mutable std::map<std::pair<bool, double>, cairo_scaled_font_t*> m_scaledFonts;
};

}
