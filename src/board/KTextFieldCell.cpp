#include "board/KTextFieldCell.h"

#include "platform/ui/Label.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TextField.h"

std::shared_ptr<KTextFieldCell> KTextFieldCell::createWithStyle(ui::TableViewCellStyle style, std::string reuseIdentifier)
{
    auto cell = std::make_shared<KTextFieldCell>(style, std::move(reuseIdentifier));
    cell->m_textField->setDelegate(cell);
    return cell;
}

KTextFieldCell::KTextFieldCell(ui::TableViewCellStyle style, std::string reuseIdentifier)
    : ui::TableViewCell(style, std::move(reuseIdentifier))
    , m_textField(ui::TextField::create())
{
    setSelectionStyle(ui::TableViewCellSelectionStyle::None);
    m_textField->setContentVerticalAlignment(ui::ControlContentVerticalAlignment::Center);
    m_textField->setReturnKeyType(ui::ReturnKeyType::Next);
    addSubview(m_textField);
}

void KTextFieldCell::layoutSubviews()
{
    ui::TableViewCell::layoutSubviews();
    auto content = contentView()->frame();
    m_textField->setFrame({ content.minX() + fieldIndent, content.minY(), content.width() - fieldWidthReduction, content.height() });
}

void KTextFieldCell::didBeginEditing(ui::TextField&)
{
    // The keyboard covers the lower rows: show the table from its top.
    if (auto table = tableView())
        table->setContentOffset({ 0, 0 }, true);
}

bool KTextFieldCell::shouldReturn(ui::TextField&)
{
    if (auto delegate = textFieldCellDelegate())
        delegate->textFieldCellWillReturn(*this);
    return false;
}

void KTextFieldCell::setEnabled(bool enabled)
{
    textLabel()->setEnabled(enabled);
    m_textField->setEnabled(enabled);
    m_textField->setTextColor(enabled ? enabledTextColor : disabledTextColor);
}
