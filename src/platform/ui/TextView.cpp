#include "platform/ui/TextView.h"

#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/Unicode.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/ui/Keyboard.h"

namespace ui {

TextViewDelegate::~TextViewDelegate() = default;

std::shared_ptr<TextView> TextView::create(const gfx::Rect& frame)
{
    return std::make_shared<TextView>(frame);
}

TextView::TextView(const gfx::Rect& frame)
    : ScrollView(frame)
{
    setBackgroundColor(gfx::Color::white());
}

void TextView::setText(std::string text)
{
    m_text = std::move(text);
    setNeedsDisplay();
}

bool TextView::becomeFirstResponder()
{
    if (isFirstResponder())
        return true;
    if (!canBecomeFirstResponder() || !windowPointer())
        return false;
    auto protect = sharedAs<TextView>();
    auto delegate = this->delegate();
    if (delegate && !delegate->shouldBeginEditing(*this))
        return false;
    if (!ScrollView::becomeFirstResponder())
        return false;
    m_editing = true;
    if (delegate)
        delegate->didBeginEditing(*this);
    fnd::NotificationCenter::defaultCenter().post("TextViewTextDidBeginEditing", this);
    Keyboard::shared().editingBegan();
    setNeedsDisplay();
    return true;
}

bool TextView::resignFirstResponder()
{
    if (!isFirstResponder())
        return true;
    auto protect = sharedAs<TextView>();
    auto delegate = this->delegate();
    if (delegate && !delegate->shouldEndEditing(*this))
        return false;
    ScrollView::resignFirstResponder();
    m_editing = false;
    if (delegate)
        delegate->didEndEditing(*this);
    fnd::NotificationCenter::defaultCenter().post("TextViewTextDidEndEditing", this);
    Keyboard::shared().editingEnded();
    setNeedsDisplay();
    return true;
}

void TextView::replaceText(size_t location, size_t length, std::string_view replacement)
{
    auto protect = sharedAs<TextView>();
    auto delegate = this->delegate();
    if (delegate && !delegate->shouldChangeTextInRange(*this, location, length, replacement))
        return;
    size_t start = fnd::unicode::byteOffsetOfUTF16Index(m_text, location);
    size_t end = fnd::unicode::byteOffsetOfUTF16Index(m_text, location + length);
    m_text.replace(start, end - start, replacement);
    setNeedsDisplay();
    if (delegate)
        delegate->didChange(*this);
    fnd::NotificationCenter::defaultCenter().post("TextViewTextDidChange", this);
}

void TextView::insertText(std::string_view text)
{
    if (!m_editing)
        return;
    replaceText(fnd::unicode::utf16Length(m_text), 0, fnd::unicode::sanitizedUTF8(text));
}

void TextView::deleteBackward()
{
    if (!m_editing || m_text.empty())
        return;
    auto units = fnd::unicode::toUTF16(m_text);
    size_t length = units.size() >= 2 && units.back() >= 0xDC00 && units.back() <= 0xDFFF ? 2 : 1;
    replaceText(units.size() - length, length, {});
}

void TextView::touchesEnded(const TouchSet& touches, const Event& event)
{
    bool dragged = isDragging();
    ScrollView::touchesEnded(touches, event);
    if (!dragged)
        becomeFirstResponder();
}

void TextView::drawRect(gfx::GraphicsContext& context, const gfx::Rect&)
{
    auto area = bounds();
    auto insets = contentInset();
    gfx::Rect box { area.minX() + insets.left + 4, insets.top + 4, std::max(0.0, area.width() - insets.left - insets.right - 8), 0 };
    gfx::TextLayout layout(m_text, m_font, { box.width(), 0 }, gfx::LineBreakMode::WordWrap);
    box.size.height = std::max(layout.size().height, layout.lineHeight());
    context.drawText(m_text, box, m_font, m_textColor, m_alignment, gfx::LineBreakMode::WordWrap);
}

std::string TextView::treeAttributes() const
{
    std::string text = "text=\"" + m_text + "\"";
    if (m_editing)
        text += " editing";
    if (!m_editable)
        text += " read-only";
    return text;
}

}
