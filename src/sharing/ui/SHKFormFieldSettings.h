#pragma once

#include "platform/foundation/Dictionary.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What a form row holds and how its value reads back. Stored as a plain integer: a kind outside the
// list shows an empty row.
enum class FormFieldKind : int32_t {
    // A text field; the value is its text.
    Text = 0,
    // A text field without capitalisation or correction.
    TextNoCorrect = 1,
    // A secure text field without capitalisation or correction.
    Password = 2,
    // An on/off switch; the value is "1" or "0".
    Switch = 3,
    // A choice from a list on a screen of its own; the value is the chosen option text(s).
    OptionPicker = 4,
};

// One row of a form: the label shown, the key its value is returned under, the kind, the value it
// starts with and, for option pickers, what the option screen needs. Keys of the option-picker
// information:
//   "title"          the option screen's title, also named in its failure message
//   "curIndexes"     the selection: "-1" for none, else row indexes as decimal text joined with ","
//   "itemsList"      array of the option texts (filled by the option screen from a provider)
//   "static"         boolean: the list is given up front (YES) or a provider fetches it (NO)
//   "allowMultiple"  boolean, optional: several options may be chosen
//   "SHKFormOptionControllerOptionProvider"  the provider (an SHKFormOptionControllerOptionProvider)
class SHKFormFieldSettings final : public fnd::Object {
public:
    static constexpr std::string_view noSelection = "-1";

    static fnd::Ref<SHKFormFieldSettings> create(std::string label, std::string key, FormFieldKind, std::optional<std::string> start,
        fnd::Ref<fnd::MutableDictionary> optionPickerInfo = nullptr);

    SHKFormFieldSettings(std::string label, std::string key, FormFieldKind, std::optional<std::string> start, fnd::Ref<fnd::MutableDictionary> optionPickerInfo);

    const std::string& label() const { return m_label; }
    void setLabel(std::string label) { m_label = std::move(label); }
    const std::string& key() const { return m_key; }
    void setKey(std::string key) { m_key = std::move(key); }
    FormFieldKind type() const { return m_type; }
    void setType(FormFieldKind type) { m_type = type; }
    const std::optional<std::string>& start() const { return m_start; }
    void setStart(std::optional<std::string> start) { m_start = std::move(start); }
    const fnd::Ref<fnd::MutableDictionary>& optionPickerInfo() const { return m_optionPickerInfo; }
    void setOptionPickerInfo(fnd::Ref<fnd::MutableDictionary> info) { m_optionPickerInfo = std::move(info); }

    bool isTextKind() const { return m_type == FormFieldKind::Text || m_type == FormFieldKind::TextNoCorrect || m_type == FormFieldKind::Password; }

    // The option texts at the selection's indexes, joined with "," in the selection's order; "-1"
    // for no selection. Indexes that are not decimal numbers or lie outside "itemsList" are skipped,
    // and a selection with none left reads as "-1".
    std::string optionPickerValueForIndexes(std::string_view indexes) const;
    // The parts of a selection text between its commas.
    static std::vector<std::string> selectionParts(std::string_view indexes);

    std::string_view className() const override { return "SHKFormFieldSettings"; }

private:
    std::string m_label;
    std::string m_key;
    FormFieldKind m_type;
    std::optional<std::string> m_start;
    fnd::Ref<fnd::MutableDictionary> m_optionPickerInfo;
};
