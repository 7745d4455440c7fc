#include "sharing/ui/SHKFormFieldCell.h"

#include "platform/ui/Label.h"
#include "sharing/ui/SHKFormController.h"

#include <cmath>

namespace {

// The gap between the label column and the value, and at the right edge.
constexpr double valueInset = 24;
constexpr double rightMargin = 10;

}

SHKFormFieldCell::SHKFormFieldCell(std::string reuseIdentifier)
    : TableViewCell(ui::TableViewCellStyle::Value1, std::move(reuseIdentifier))
{
    setSelectionStyle(ui::TableViewCellSelectionStyle::None);
}

void SHKFormFieldCell::setSettings(fnd::Ref<SHKFormFieldSettings> settings)
{
    m_settings = std::move(settings);
    bool isOption = m_settings && m_settings->type() == FormFieldKind::OptionPicker;
    setAccessoryType(isOption ? ui::TableViewCellAccessoryType::DisclosureIndicator : ui::TableViewCellAccessoryType::None);
    setNeedsLayout();
}

void SHKFormFieldCell::setValue(std::string value)
{
    m_tmpValue = value;
    if (!m_settings)
        return;
    if (m_settings->isTextKind()) {
        if (m_textField)
            m_textField->setText(std::move(value));
    } else if (m_settings->type() == FormFieldKind::OptionPicker) {
        detailTextLabel()->setText(std::move(value));
    } else if (m_settings->type() == FormFieldKind::Switch) {
        if (m_toggle)
            m_toggle->setOn(value == "1", false);
    }
}

void SHKFormFieldCell::clearValue()
{
    setValue(std::string());
    m_tmpValue = std::nullopt;
}

std::optional<std::string> SHKFormFieldCell::getValue() const
{
    if (!m_settings)
        return std::nullopt;
    if (m_settings->isTextKind())
        return m_textField ? std::optional<std::string>(m_textField->text()) : m_tmpValue;
    if (m_settings->type() == FormFieldKind::Switch) {
        if (m_toggle)
            return std::string(m_toggle->isOn() ? "1" : "0");
        if (m_tmpValue)
            return std::string(*m_tmpValue == "1" ? "1" : "0");
        return std::nullopt;
    }
    if (m_settings->type() == FormFieldKind::OptionPicker && m_tmpValue)
        return detailTextLabel()->text();
    return std::nullopt;
}

std::shared_ptr<ui::TextField> SHKFormFieldCell::getTextField()
{
    if (!m_textField) {
        m_textField = ui::TextField::create({ 0, 0, 0, textFieldHeight });
        m_textField->setClearsOnBeginEditing(false);
        m_textField->setReturnKeyType(ui::ReturnKeyType::Done);
        m_textField->setFont(gfx::Font::systemFont(17));
        m_textField->setTextColor(gfx::Color::darkGray());
        m_textField->setDelegate(form());
        m_textField->setText(m_tmpValue.value_or(std::string()));
    }
    return m_textField;
}

void SHKFormFieldCell::setSelected(bool selected, bool animated)
{
    TableViewCell::setSelected(selected, animated);
    if (!m_settings || !m_settings->isTextKind())
        return;
    if (selected)
        getTextField()->becomeFirstResponder();
    else if (m_textField)
        m_textField->resignFirstResponder();
}

void SHKFormFieldCell::layoutSubviews()
{
    TableViewCell::layoutSubviews();
    auto content = contentView()->bounds().size;
    auto kind = m_settings ? m_settings->type() : FormFieldKind(-1);
    if (m_settings && m_settings->isTextKind()) {
        layOutTextField(content);
        return;
    }
    if (kind == FormFieldKind::Switch) {
        layOutSwitch(content);
        return;
    }
    if (kind == FormFieldKind::OptionPicker) {
        layOutOptionText(content);
        return;
    }
    if (m_textField)
        m_textField->removeFromSuperview();
    if (m_toggle)
        m_toggle->removeFromSuperview();
    showLabel(false);
    detailTextLabel()->removeFromSuperview();
}

void SHKFormFieldCell::layOutTextField(const gfx::Size& content)
{
    auto field = getTextField();
    double fieldHeight = field->frame().height();
    field->setFrame({ m_labelWidth + valueInset, std::round(content.height / 2 - fieldHeight / 2) + 2, content.width - rightMargin - valueInset - m_labelWidth,
        fieldHeight });
    bool corrects = m_settings->type() == FormFieldKind::Text;
    field->setSecureTextEntry(m_settings->type() == FormFieldKind::Password);
    if (!corrects) {
        field->setAutocapitalizationType(ui::TextAutocapitalizationType::None);
        field->setAutocorrectionType(ui::TextAutocorrectionType::No);
    }
    if (field->superviewPointer() != contentView().get())
        contentView()->addSubview(field);
    contentView()->bringSubviewToFront(*field);
    showLabel(!SHKFormController::usesPlaceholders());
    if (m_toggle)
        m_toggle->removeFromSuperview();
    detailTextLabel()->removeFromSuperview();
}

void SHKFormFieldCell::layOutSwitch(const gfx::Size& content)
{
    if (!m_toggle) {
        m_toggle = ui::Switch::create();
        m_toggle->setOn(m_tmpValue == "1", false);
    }
    auto size = m_toggle->frame().size;
    m_toggle->setFrame({ content.width - size.width - rightMargin, std::round(content.height / 2 - size.height / 2), size.width, size.height });
    if (m_toggle->superviewPointer() != contentView().get())
        contentView()->addSubview(m_toggle);
    showLabel(true);
    if (m_textField)
        m_textField->removeFromSuperview();
    detailTextLabel()->removeFromSuperview();
}

void SHKFormFieldCell::layOutOptionText(const gfx::Size& content)
{
    auto& detail = detailTextLabel();
    if (detail->superviewPointer() != contentView().get())
        contentView()->addSubview(detail);
    double height = detail->frame().height();
    detail->setFrame({ m_labelWidth + valueInset, std::round(content.height / 2 - height / 2) + 2, content.width - rightMargin - valueInset - m_labelWidth, height });
    showLabel(true);
    if (m_textField)
        m_textField->removeFromSuperview();
    if (m_toggle)
        m_toggle->removeFromSuperview();
}

void SHKFormFieldCell::showLabel(bool shown)
{
    auto& label = textLabel();
    if (!shown) {
        label->removeFromSuperview();
        return;
    }
    if (label->superviewPointer() != contentView().get())
        contentView()->addSubview(label);
}

void SHKFormFieldCell::willMoveToSuperview(ui::View* newSuperview)
{
    TableViewCell::willMoveToSuperview(newSuperview);
    if (newSuperview)
        return;
    if (auto owner = form())
        owner->cellWillLeave(*this);
}
