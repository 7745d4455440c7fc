#pragma once

#include "platform/graphics/Font.h"
#include "platform/graphics/TextLayout.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/TextInput.h"
#include "platform/ui/TextInputTraits.h"
#include "platform/ui/TextViewDelegate.h"

#include <memory>
#include <string>

namespace ui {

// Several lines of text, editable unless told otherwise: a tap makes it the first responder, typed
// text (line feeds included) goes through the delegate's change check and is reported as a change.
// The text wraps within the bounds less the content insets.
class TextView : public ScrollView, public TextInput {
public:
    static std::shared_ptr<TextView> create(const gfx::Rect& frame = {});
    explicit TextView(const gfx::Rect& frame = {});

    std::string_view className() const override { return "TextView"; }

    const std::string& text() const { return m_text; }
    // Changing the text by program tells the delegate nothing.
    void setText(std::string);
    const gfx::Font& font() const { return m_font; }
    void setFont(const gfx::Font& font) { m_font = font; setNeedsDisplay(); }
    const gfx::Color& textColor() const { return m_textColor; }
    void setTextColor(const gfx::Color& color) { m_textColor = color; setNeedsDisplay(); }
    gfx::TextAlignment textAlignment() const { return m_alignment; }
    void setTextAlignment(gfx::TextAlignment alignment) { m_alignment = alignment; setNeedsDisplay(); }
    bool isEditable() const { return m_editable; }
    void setEditable(bool editable) { m_editable = editable; }
    ReturnKeyType returnKeyType() const { return m_returnKeyType; }
    void setReturnKeyType(ReturnKeyType type) { m_returnKeyType = type; }

    // Not retained.
    std::shared_ptr<TextViewDelegate> delegate() const { return m_delegate.lock(); }
    void setDelegate(const std::shared_ptr<TextViewDelegate>& delegate) { m_delegate = delegate; }

    bool isEditing() const { return m_editing; }

    bool canBecomeFirstResponder() const override { return m_editable; }
    bool becomeFirstResponder() override;
    bool resignFirstResponder() override;

    void insertText(std::string_view) override;
    void deleteBackward() override;
    bool hasText() const override { return !m_text.empty(); }

    void touchesEnded(const TouchSet&, const Event&) override;
    void drawRect(gfx::GraphicsContext&, const gfx::Rect&) override;
    std::string treeAttributes() const override;

private:
    void replaceText(size_t location, size_t length, std::string_view replacement);

    std::string m_text;
    gfx::Font m_font = gfx::Font::systemFont(17);
    gfx::Color m_textColor = gfx::Color::black();
    gfx::TextAlignment m_alignment = gfx::TextAlignment::Left;
    bool m_editable = true;
    ReturnKeyType m_returnKeyType = ReturnKeyType::Default;
    std::weak_ptr<TextViewDelegate> m_delegate;
    bool m_editing = false;
};

}
