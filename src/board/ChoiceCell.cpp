#include "board/ChoiceCell.h"

#include "platform/foundation/Format.h"
#include "platform/ui/Label.h"

std::shared_ptr<ChoiceCell> ChoiceCell::createWithLabel(std::string label, std::vector<std::string> choices, int32_t selectedIndex)
{
    return std::make_shared<ChoiceCell>(std::move(label), std::move(choices), selectedIndex);
}

ChoiceCell::ChoiceCell(std::string label, std::vector<std::string> choices, int32_t selectedIndex)
    : ui::TableViewCell(ui::TableViewCellStyle::Default)
    , m_prefix(std::move(label))
    , m_choices(std::move(choices))
{
    setAccessoryType(ui::TableViewCellAccessoryType::DisclosureIndicator);
    if (isChoice(selectedIndex))
        m_selectedIndex = selectedIndex;
    updateText();
}

bool ChoiceCell::isChoice(int32_t index) const
{
    return index >= 0 && static_cast<size_t>(index) < m_choices.size();
}

void ChoiceCell::setSelectedIndex(int32_t index)
{
    if (!isChoice(index))
        return;
    m_selectedIndex = index;
    updateText();
}

void ChoiceCell::updateText()
{
    auto choice = isChoice(m_selectedIndex) ? m_choices[static_cast<size_t>(m_selectedIndex)] : std::string();
    textLabel()->setText(fnd::format("%@: %@", m_prefix, choice));
}

void ChoiceCell::setEnabled(bool enabled)
{
    setSelectionStyle(enabled ? ui::TableViewCellSelectionStyle::Blue : ui::TableViewCellSelectionStyle::None);
    textLabel()->setEnabled(enabled);
}
