#include "platform/ui/Label.h"

#include "platform/graphics/GraphicsContext.h"

#include <cmath>

namespace ui {

std::shared_ptr<Label> Label::create(const gfx::Rect& frame)
{
    return std::make_shared<Label>(frame);
}

Label::Label(const gfx::Rect& frame)
    : View(frame)
{
    setBackgroundColor(gfx::Color::white());
    setUserInteractionEnabled(false);
}

void Label::setText(std::string text)
{
    m_text = std::move(text);
    setNeedsDisplay();
}

void Label::setFont(const gfx::Font& font)
{
    m_font = font;
    setNeedsDisplay();
}

void Label::setTextColor(const gfx::Color& color)
{
    m_textColor = color;
    setNeedsDisplay();
}

void Label::setTextAlignment(gfx::TextAlignment alignment)
{
    m_alignment = alignment;
    setNeedsDisplay();
}

void Label::setLineBreakMode(gfx::LineBreakMode mode)
{
    m_lineBreakMode = mode;
    setNeedsDisplay();
}

void Label::setNumberOfLines(int lines)
{
    m_numberOfLines = std::max(lines, 0);
    setNeedsDisplay();
}

void Label::setEnabled(bool enabled)
{
    m_enabled = enabled;
    setNeedsDisplay();
}

void Label::setHighlighted(bool highlighted)
{
    m_highlighted = highlighted;
    setNeedsDisplay();
}

gfx::Font Label::fontFittingWidth() const
{
    if (!m_adjustsFontSizeToFitWidth || m_numberOfLines != 1 || bounds().size.width <= 0)
        return m_font;
    double minimum = m_minimumFontSize > 0 ? m_minimumFontSize : std::min(m_font.pointSize(), 1.0);
    auto font = m_font;
    while (font.pointSize() > minimum && gfx::TextLayout::sizeOfLine(m_text, font).width > bounds().size.width)
        font = font.withSize(std::max(minimum, font.pointSize() - 1));
    return font;
}

gfx::Size Label::sizeThatFits(gfx::Size limit) const
{
    if (m_text.empty())
        return {};
    if (m_numberOfLines == 1)
        return gfx::TextLayout::sizeOfLine(m_text, m_font);
    gfx::TextLayout layout(m_text, m_font, { limit.width, 0 }, m_lineBreakMode, m_numberOfLines);
    return layout.size();
}

void Label::drawRect(gfx::GraphicsContext& context, const gfx::Rect&)
{
    if (m_text.empty())
        return;
    auto font = fontFittingWidth();
    auto area = bounds();
    gfx::TextLayout layout(m_text, font, area.size, m_lineBreakMode, m_numberOfLines);
    double textHeight = layout.lineHeight() * double(layout.lines().size());
    // Centred vertically, as the device draws labels.
    gfx::Rect textRect { area.origin.x, area.origin.y + std::floor((area.size.height - textHeight) / 2), area.size.width, textHeight };
    auto color = m_highlighted && m_highlightedTextColor ? *m_highlightedTextColor : m_textColor;
    if (!m_enabled)
        color = color.withAlpha(color.alpha * 0.45);
    if (m_shadowColor) {
        context.drawText(m_text, textRect.offsetBy(m_shadowOffset.width, m_shadowOffset.height), font, *m_shadowColor, m_alignment,
            m_lineBreakMode, m_numberOfLines);
    }
    context.drawText(m_text, textRect, font, color, m_alignment, m_lineBreakMode, m_numberOfLines);
}

std::string Label::treeAttributes() const
{
    return "text=\"" + m_text + "\"";
}

}
