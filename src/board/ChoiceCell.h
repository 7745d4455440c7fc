#pragma once

#include "platform/ui/TableViewCell.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// A row that shows one choice of several as "Label: Choice", with a disclosure indicator that
// says a tap leads to the list of choices.
class ChoiceCell : public ui::TableViewCell {
public:
    static std::shared_ptr<ChoiceCell> createWithLabel(std::string label, std::vector<std::string> choices, int32_t selectedIndex);
    ChoiceCell(std::string label, std::vector<std::string> choices, int32_t selectedIndex);

    std::string_view className() const override { return "ChoiceCell"; }

    const std::string& prefix() const { return m_prefix; }
    const std::vector<std::string>& choices() const { return m_choices; }
    int32_t selectedIndex() const { return m_selectedIndex; }
    // An index that names no choice is ignored.
    void setSelectedIndex(int32_t);

    void setEnabled(bool);

private:
    bool isChoice(int32_t index) const;
    void updateText();

    std::string m_prefix;
    std::vector<std::string> m_choices;
    int32_t m_selectedIndex = -1;
};
