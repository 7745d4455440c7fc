#include "platform/ui/TextField.h"

#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/Unicode.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/ui/Keyboard.h"
#include "platform/ui/Touch.h"
#include "platform/ui/TouchSet.h"

namespace ui {

TextFieldDelegate::~TextFieldDelegate() = default;

std::shared_ptr<TextField> TextField::create(const gfx::Rect& frame)
{
    return std::make_shared<TextField>(frame);
}

TextField::TextField(const gfx::Rect& frame)
    : Control(frame)
{
    setBackgroundColor(std::nullopt);
    setContentVerticalAlignment(ControlContentVerticalAlignment::Top);
}

void TextField::setText(std::string text)
{
    m_text = std::move(text);
    setNeedsDisplay();
}

std::string TextField::displayedText() const
{
    if (!m_secure)
        return m_text;
    std::string bullets;
    for (size_t index = 0; index < fnd::unicode::utf16Length(m_text); ++index)
        bullets += "\u2022";
    return bullets;
}

bool TextField::becomeFirstResponder()
{
    if (isFirstResponder())
        return true;
    if (!canBecomeFirstResponder() || !windowPointer())
        return false;
    auto protect = sharedAs<TextField>();
    auto delegate = this->delegate();
    if (delegate && !delegate->shouldBeginEditing(*this))
        return false;
    if (!Control::becomeFirstResponder())
        return false;
    m_editing = true;
    if (m_clearsOnBeginEditing)
        setText({});
    if (delegate)
        delegate->didBeginEditing(*this);
    sendActionsForControlEvents(ControlEvent::EditingDidBegin);
    fnd::NotificationCenter::defaultCenter().post("TextFieldTextDidBeginEditing", this);
    Keyboard::shared().editingBegan();
    setNeedsDisplay();
    return true;
}

bool TextField::resignFirstResponder()
{
    if (!isFirstResponder())
        return true;
    auto protect = sharedAs<TextField>();
    auto delegate = this->delegate();
    if (delegate && !delegate->shouldEndEditing(*this))
        return false;
    Control::resignFirstResponder();
    m_editing = false;
    if (delegate)
        delegate->didEndEditing(*this);
    sendActionsForControlEvents(ControlEvent::EditingDidEnd);
    fnd::NotificationCenter::defaultCenter().post("TextFieldTextDidEndEditing", this);
    Keyboard::shared().editingEnded();
    setNeedsDisplay();
    return true;
}

void TextField::replaceCharacters(size_t location, size_t length, std::string_view replacement)
{
    auto delegate = this->delegate();
    if (delegate && !delegate->shouldChangeCharactersInRange(*this, location, length, replacement))
        return;
    size_t start = fnd::unicode::byteOffsetOfUTF16Index(m_text, location);
    size_t end = fnd::unicode::byteOffsetOfUTF16Index(m_text, location + length);
    m_text.replace(start, end - start, replacement);
    setNeedsDisplay();
    sendActionsForControlEvents(ControlEvent::EditingChanged);
    fnd::NotificationCenter::defaultCenter().post("TextFieldTextDidChange", this);
}

void TextField::insertText(std::string_view text)
{
    if (!m_editing)
        return;
    auto protect = sharedAs<TextField>();
    if (text == "\n") {
        auto delegate = this->delegate();
        if (!delegate || delegate->shouldReturn(*this))
            sendActionsForControlEvents(ControlEvent::EditingDidEndOnExit);
        return;
    }
    auto sanitized = fnd::unicode::sanitizedUTF8(text);
    replaceCharacters(fnd::unicode::utf16Length(m_text), 0, sanitized);
}

void TextField::deleteBackward()
{
    if (!m_editing || m_text.empty())
        return;
    auto units = fnd::unicode::toUTF16(m_text);
    size_t length = units.size() >= 2 && units.back() >= 0xDC00 && units.back() <= 0xDFFF ? 2 : 1;
    replaceCharacters(units.size() - length, length, {});
}

void TextField::touchesEnded(const TouchSet& touches, const Event& event)
{
    bool inside = isTouchInside();
    Control::touchesEnded(touches, event);
    if (inside)
        becomeFirstResponder();
}

void TextField::drawRect(gfx::GraphicsContext& context, const gfx::Rect&)
{
    auto area = bounds();
    switch (m_borderStyle) {
    case TextBorderStyle::None:
        break;
    case TextBorderStyle::Line:
    case TextBorderStyle::Bezel:
        context.setFillColor(gfx::Color::white());
        context.fillRect(area);
        context.setStrokeColor(gfx::Color::grey(0.4));
        context.setLineWidth(1);
        context.strokeRect(area.insetBy(0.5, 0.5));
        break;
    case TextBorderStyle::RoundedRect:
        context.setFillColor(gfx::Color::white());
        context.beginPath();
        context.addRoundedRect(area.insetBy(0.5, 0.5), 6);
        context.fillPath();
        context.setStrokeColor(gfx::Color::grey(0.6));
        context.setLineWidth(1);
        context.beginPath();
        context.addRoundedRect(area.insetBy(0.5, 0.5), 6);
        context.strokePath();
        break;
    }
    double inset = m_borderStyle == TextBorderStyle::None ? 0 : 6;
    auto shown = displayedText();
    bool placeholder = shown.empty();
    auto text = placeholder ? m_placeholder : shown;
    auto color = placeholder ? gfx::Color::grey(0.7) : (isEnabled() ? m_textColor : gfx::Color::grey(0.6));
    double lineHeight = gfx::TextLayout::sizeOfLine("X", m_font).height;
    double top = contentVerticalAlignment() == ControlContentVerticalAlignment::Center ? area.midY() - lineHeight / 2 : area.minY() + inset / 2;
    gfx::Rect box { area.minX() + inset, top, std::max(0.0, area.width() - 2 * inset), lineHeight };
    context.drawText(text, box, m_font, color, m_alignment, gfx::LineBreakMode::TailTruncation, 1);
    if (m_editing) {
        double caret = placeholder ? 0 : std::min(box.width(), gfx::TextLayout::sizeOfLine(shown, m_font).width);
        context.setFillColor(gfx::Color(0.2, 0.4, 0.9));
        context.fillRect({ box.minX() + caret + 1, box.minY(), 2, lineHeight });
    }
}

void TextField::collectPressTargets(PressTargets& targets)
{
    if (m_placeholder.empty())
        return;
    PressTarget target;
    target.kind = PressTarget::Kind::Button;
    target.texts = { m_placeholder };
    target.enabled = isEnabled();
    target.description = "text field \"" + m_placeholder + "\"";
    std::weak_ptr<TextField> weakThis = sharedAs<TextField>();
    target.press = [weakThis] {
        if (auto field = weakThis.lock())
            field->becomeFirstResponder();
    };
    targets.push_back(std::move(target));
}

std::string TextField::treeAttributes() const
{
    std::string text = "text=\"" + displayedText() + "\"";
    if (!m_placeholder.empty())
        text += " placeholder=\"" + m_placeholder + "\"";
    if (m_secure)
        text += " secure";
    if (m_editing)
        text += " editing";
    auto control = Control::treeAttributes();
    return control.empty() ? text : text + " " + control;
}

}
