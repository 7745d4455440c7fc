#pragma once

#include "platform/graphics/Font.h"
#include "platform/graphics/TextLayout.h"
#include "platform/ui/View.h"

#include <optional>
#include <string>

namespace ui {

// Read-only text. Measured with the process's text measurer (gfx::TextMeasurer), so layout tests
// can install a fixed one. As on the device, a label is white, takes no touches, shows one line
// cut at the tail, and centres its text vertically.
class Label : public View {
public:
    static std::shared_ptr<Label> create(const gfx::Rect& frame = {});
    explicit Label(const gfx::Rect& frame = {});

    std::string_view className() const override { return "Label"; }

    const std::string& text() const { return m_text; }
    void setText(std::string);
    const gfx::Font& font() const { return m_font; }
    void setFont(const gfx::Font&);
    const gfx::Color& textColor() const { return m_textColor; }
    void setTextColor(const gfx::Color&);
    std::optional<gfx::Color> highlightedTextColor() const { return m_highlightedTextColor; }
    void setHighlightedTextColor(std::optional<gfx::Color> color) { m_highlightedTextColor = color; }
    gfx::TextAlignment textAlignment() const { return m_alignment; }
    void setTextAlignment(gfx::TextAlignment);
    gfx::LineBreakMode lineBreakMode() const { return m_lineBreakMode; }
    void setLineBreakMode(gfx::LineBreakMode);
    // 0 means as many as fit.
    int numberOfLines() const { return m_numberOfLines; }
    void setNumberOfLines(int);
    bool adjustsFontSizeToFitWidth() const { return m_adjustsFontSizeToFitWidth; }
    void setAdjustsFontSizeToFitWidth(bool adjusts) { m_adjustsFontSizeToFitWidth = adjusts; }
    double minimumFontSize() const { return m_minimumFontSize; }
    void setMinimumFontSize(double size) { m_minimumFontSize = size; }
    std::optional<gfx::Color> shadowColor() const { return m_shadowColor; }
    void setShadowColor(std::optional<gfx::Color> color) { m_shadowColor = color; }
    gfx::Size shadowOffset() const { return m_shadowOffset; }
    void setShadowOffset(gfx::Size offset) { m_shadowOffset = offset; }
    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool);
    bool isHighlighted() const { return m_highlighted; }
    void setHighlighted(bool);

    // The font the text is drawn in: the font, shrunk towards the minimum size to fit the width
    // when the label adjusts it.
    gfx::Font fontFittingWidth() const;

    gfx::Size sizeThatFits(gfx::Size) const override;
    void drawRect(gfx::GraphicsContext&, const gfx::Rect&) override;
    std::string treeAttributes() const override;

private:
    std::string m_text;
    gfx::Font m_font = gfx::Font::systemFont(17);
    gfx::Color m_textColor = gfx::Color::black();
    std::optional<gfx::Color> m_highlightedTextColor;
    gfx::TextAlignment m_alignment = gfx::TextAlignment::Left;
    gfx::LineBreakMode m_lineBreakMode = gfx::LineBreakMode::TailTruncation;
    int m_numberOfLines = 1;
    bool m_adjustsFontSizeToFitWidth = false;
    double m_minimumFontSize = 0;
    std::optional<gfx::Color> m_shadowColor;
    gfx::Size m_shadowOffset { 0, -1 };
    bool m_enabled = true;
    bool m_highlighted = false;
};

}
