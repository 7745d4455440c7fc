#include "platform/graphics/CairoTextMeasurer.h"

#include "platform/foundation/Thread.h"
#include "platform/foundation/Unicode.h"

#include <cmath>
#include <string>

namespace gfx {

namespace {

cairo_font_face_t* fontFace(bool bold)
{
    static cairo_font_face_t* regular = cairo_toy_font_face_create(std::string(Font::familyName()).c_str(), CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    static cairo_font_face_t* heavy = cairo_toy_font_face_create(std::string(Font::familyName()).c_str(), CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    return bold ? heavy : regular;
}

bool hasUsableSize(const Font& font)
{
    return std::isfinite(font.pointSize()) && font.pointSize() > 0;
}

const cairo_font_options_t* fontOptions()
{
    static cairo_font_options_t* options = [] {
        cairo_font_options_t* created = cairo_font_options_create();
        cairo_font_options_set_hint_metrics(created, CAIRO_HINT_METRICS_OFF);
        cairo_font_options_set_hint_style(created, CAIRO_HINT_STYLE_NONE);
        return created;
    }();
    return options;
}

}

CairoTextMeasurer::~CairoTextMeasurer()
{
    for (auto& entry : m_scaledFonts)
        cairo_scaled_font_destroy(entry.second);
}

void CairoTextMeasurer::selectFont(cairo_t* context, const Font& font)
{
    cairo_set_font_face(context, fontFace(font.isBold()));
    cairo_set_font_size(context, font.pointSize());
    cairo_set_font_options(context, fontOptions());
}

void CairoTextMeasurer::prepareFontsInBackground()
{
    fnd::Thread::detach("font warm-up", [] {
        for (bool bold : { false, true }) {
            // A scaled font makes cairo open the face that the name resolved to.
            cairo_matrix_t identity;
            cairo_matrix_init_identity(&identity);
            cairo_scaled_font_destroy(cairo_scaled_font_create(fontFace(bold), &identity, &identity, fontOptions()));
        }
    });
}

cairo_scaled_font_t* CairoTextMeasurer::scaledFont(const Font& font) const
{
    std::lock_guard guard(m_lock);
    auto key = std::make_pair(font.isBold(), font.pointSize());
    auto found = m_scaledFonts.find(key);
    if (found != m_scaledFonts.end())
        return found->second;
    cairo_matrix_t fontMatrix;
    cairo_matrix_t deviceMatrix;
    cairo_matrix_init_scale(&fontMatrix, font.pointSize(), font.pointSize());
    cairo_matrix_init_identity(&deviceMatrix);
    cairo_scaled_font_t* created = cairo_scaled_font_create(fontFace(font.isBold()), &fontMatrix, &deviceMatrix, fontOptions());
    m_scaledFonts.emplace(key, created);
    return created;
}

double CairoTextMeasurer::widthOfText(std::string_view text, const Font& font) const
{
    if (text.empty() || !hasUsableSize(font))
        return 0;
    // Malformed text would put the shared scaled font into an error state for good.
    std::string checked = fnd::unicode::isValidUTF8(text) ? std::string(text) : fnd::unicode::sanitizedUTF8(text);
    cairo_text_extents_t extents;
    cairo_scaled_font_text_extents(scaledFont(font), checked.c_str(), &extents);
    return extents.x_advance;
}

cairo_font_extents_t CairoTextMeasurer::fontExtents(const Font& font) const
{
    cairo_font_extents_t extents {};
    if (hasUsableSize(font))
        cairo_scaled_font_extents(scaledFont(font), &extents);
    return extents;
}

double CairoTextMeasurer::lineHeight(const Font& font) const
{
    return fontExtents(font).height;
}

double CairoTextMeasurer::ascent(const Font& font) const
{
    return fontExtents(font).ascent;
}

}

// Fontconfig keeps a few patterns of every font it resolved until the process ends, without any
// pointer that LeakSanitizer can follow; they are not ours to free. Inert in builds without it.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}
