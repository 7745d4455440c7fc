#pragma once

#include "platform/graphics/Font.h"
#include "platform/graphics/TextLayout.h"
#include "platform/ui/Control.h"
#include "platform/ui/TextFieldDelegate.h"
#include "platform/ui/TextInput.h"
#include "platform/ui/TextInputTraits.h"

#include <memory>
#include <string>

namespace ui {

enum class TextBorderStyle {
    None = 0,
    Line = 1,
    Bezel = 2,
    RoundedRect = 3,
};

// One line of editable text. A tap (or `press` with its placeholder) makes it the first responder,
// which brings the keyboard up; typed text goes through the delegate's change check, and the
// return key asks the delegate and sends the did-end-on-exit actions. A secure field shows bullets
// and never reveals its text in the view tree.
class TextField : public Control, public TextInput {
public:
    static std::shared_ptr<TextField> create(const gfx::Rect& frame = {});
    explicit TextField(const gfx::Rect& frame = {});

    std::string_view className() const override { return "TextField"; }

    const std::string& text() const { return m_text; }
    void setText(std::string);
    const std::string& placeholder() const { return m_placeholder; }
    void setPlaceholder(std::string placeholder) { m_placeholder = std::move(placeholder); setNeedsDisplay(); }
    const gfx::Font& font() const { return m_font; }
    void setFont(const gfx::Font& font) { m_font = font; setNeedsDisplay(); }
    const gfx::Color& textColor() const { return m_textColor; }
    void setTextColor(const gfx::Color& color) { m_textColor = color; setNeedsDisplay(); }
    gfx::TextAlignment textAlignment() const { return m_alignment; }
    void setTextAlignment(gfx::TextAlignment alignment) { m_alignment = alignment; setNeedsDisplay(); }
    TextBorderStyle borderStyle() const { return m_borderStyle; }
    void setBorderStyle(TextBorderStyle style) { m_borderStyle = style; setNeedsDisplay(); }
    bool clearsOnBeginEditing() const { return m_clearsOnBeginEditing; }
    void setClearsOnBeginEditing(bool clears) { m_clearsOnBeginEditing = clears; }

    bool isSecureTextEntry() const { return m_secure; }
    void setSecureTextEntry(bool secure) { m_secure = secure; setNeedsDisplay(); }
    TextAutocapitalizationType autocapitalizationType() const { return m_autocapitalization; }
    void setAutocapitalizationType(TextAutocapitalizationType type) { m_autocapitalization = type; }
    TextAutocorrectionType autocorrectionType() const { return m_autocorrection; }
    void setAutocorrectionType(TextAutocorrectionType type) { m_autocorrection = type; }
    KeyboardType keyboardType() const { return m_keyboardType; }
    void setKeyboardType(KeyboardType type) { m_keyboardType = type; }
    ReturnKeyType returnKeyType() const { return m_returnKeyType; }
    void setReturnKeyType(ReturnKeyType type) { m_returnKeyType = type; }

    // Not retained.
    std::shared_ptr<TextFieldDelegate> delegate() const { return m_delegate.lock(); }
    void setDelegate(const std::shared_ptr<TextFieldDelegate>& delegate) { m_delegate = delegate; }

    bool isEditing() const { return m_editing; }
    // What is drawn: the text, or a bullet per character for a secure field.
    std::string displayedText() const;

    bool canBecomeFirstResponder() const override { return isEnabled(); }
    bool becomeFirstResponder() override;
    bool resignFirstResponder() override;

    void insertText(std::string_view) override;
    void deleteBackward() override;
    bool hasText() const override { return !m_text.empty(); }

    void touchesEnded(const TouchSet&, const Event&) override;
    void drawRect(gfx::GraphicsContext&, const gfx::Rect&) override;
    void collectPressTargets(PressTargets&) override;
    std::string treeAttributes() const override;

private:
    void replaceCharacters(size_t location, size_t length, std::string_view replacement);

    std::string m_text;
    std::string m_placeholder;
    gfx::Font m_font = gfx::Font::systemFont(17);
    gfx::Color m_textColor = gfx::Color::black();
    gfx::TextAlignment m_alignment = gfx::TextAlignment::Left;
    TextBorderStyle m_borderStyle = TextBorderStyle::None;
    bool m_clearsOnBeginEditing = false;
    bool m_secure = false;
    TextAutocapitalizationType m_autocapitalization = TextAutocapitalizationType::None;
    TextAutocorrectionType m_autocorrection = TextAutocorrectionType::Default;
    KeyboardType m_keyboardType = KeyboardType::Default;
    ReturnKeyType m_returnKeyType = ReturnKeyType::Default;
    std::weak_ptr<TextFieldDelegate> m_delegate;
    bool m_editing = false;
};

}
