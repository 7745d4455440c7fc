#pragma once

#include "platform/ui/Switch.h"
#include "platform/ui/TableViewCell.h"
#include "platform/ui/TextField.h"
#include "sharing/ui/SHKFormFieldSettings.h"

#include <memory>
#include <optional>
#include <string>

class SHKFormController;

// One form row: its label, and a text field, a switch or the chosen option text at the right, as
// the row's kind asks. A value set before the field or switch exists is applied when it is made.
class SHKFormFieldCell : public ui::TableViewCell {
public:
    static constexpr double textFieldHeight = 25;

    explicit SHKFormFieldCell(std::string reuseIdentifier);

    std::string_view className() const override { return "SHKFormFieldCell"; }

    const fnd::Ref<SHKFormFieldSettings>& settings() const { return m_settings; }
    // Also asks for a new layout.
    void setSettings(fnd::Ref<SHKFormFieldSettings>);
    double labelWidth() const { return m_labelWidth; }
    void setLabelWidth(double width) { m_labelWidth = width; setNeedsLayout(); }
    // Not retained.
    std::shared_ptr<SHKFormController> form() const { return m_form.lock(); }
    void setForm(const std::shared_ptr<SHKFormController>& form) { m_form = form; }

    // Shows the text: in the text field, the switch ("1" is on) or the option text.
    void setValue(std::string);
    // Shows no value: an empty field, the switch off, no option text.
    void clearValue();
    // What the row reads now: the field's text, "1"/"0" for a switch, the option text; nothing
    // before any value was set or entered.
    std::optional<std::string> getValue() const;
    // Made on first use.
    std::shared_ptr<ui::TextField> getTextField();
    const std::shared_ptr<ui::Switch>& toggle() const { return m_toggle; }

    void setSelected(bool selected, bool animated = false) override;
    void layoutSubviews() override;
    void willMoveToSuperview(ui::View*) override;

private:
    void layOutTextField(const gfx::Size& content);
    void layOutSwitch(const gfx::Size& content);
    void layOutOptionText(const gfx::Size& content);
    void showLabel(bool);

    fnd::Ref<SHKFormFieldSettings> m_settings;
    double m_labelWidth = 0;
    std::shared_ptr<ui::TextField> m_textField;
    std::shared_ptr<ui::Switch> m_toggle;
    std::optional<std::string> m_tmpValue;
    std::weak_ptr<SHKFormController> m_form;
};
