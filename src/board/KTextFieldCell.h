#pragma once

#include "board/KTextFieldCellDelegate.h"
#include "platform/ui/TableViewCell.h"
#include "platform/ui/TextFieldDelegate.h"

#include <memory>
#include <string>

namespace ui {
class TextField;
}

// A row with a label at the left and an editable text field beside it. The return key goes to
// the row's delegate instead of into the field.
class KTextFieldCell : public ui::TableViewCell, public ui::TextFieldDelegate {
public:
    static constexpr double fieldIndent = 110;
    static constexpr double fieldWidthReduction = 120;
    static constexpr gfx::Color enabledTextColor { 0.285, 0.376, 0.541, 1 };
    static constexpr gfx::Color disabledTextColor { 0.6, 0.6, 0.6, 1 };

    static std::shared_ptr<KTextFieldCell> createWithStyle(ui::TableViewCellStyle, std::string reuseIdentifier = {});
    KTextFieldCell(ui::TableViewCellStyle, std::string reuseIdentifier);

    std::string_view className() const override { return "KTextFieldCell"; }

    const std::shared_ptr<ui::TextField>& textField() const { return m_textField; }
    // Not retained: the row's owner is its delegate.
    std::shared_ptr<KTextFieldCellDelegate> textFieldCellDelegate() const { return m_textFieldCellDelegate.lock(); }
    void setTextFieldCellDelegate(const std::shared_ptr<KTextFieldCellDelegate>& delegate) { m_textFieldCellDelegate = delegate; }

    void setEnabled(bool);

    void layoutSubviews() override;

    void didBeginEditing(ui::TextField&) override;
    bool shouldReturn(ui::TextField&) override;

private:
    std::shared_ptr<ui::TextField> m_textField;
    std::weak_ptr<KTextFieldCellDelegate> m_textFieldCellDelegate;
};
