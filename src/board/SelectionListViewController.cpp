#include "board/SelectionListViewController.h"

#include "platform/ui/Label.h"

SelectionListViewController::SelectionListViewController(ui::TableViewStyle style)
    : ui::TableViewController(style)
{
}

int SelectionListViewController::numberOfRowsInSection(ui::TableView&, int)
{
    return static_cast<int>(m_items.size());
}

std::optional<std::string> SelectionListViewController::titleForHeaderInSection(ui::TableView&, int)
{
    return m_subtitle;
}

std::shared_ptr<ui::TableViewCell> SelectionListViewController::cellForRowAtIndexPath(ui::TableView& table, const ui::IndexPath& indexPath)
{
    auto cell = table.dequeueReusableCellWithIdentifier(cellIdentifier);
    if (!cell)
        cell = ui::TableViewCell::create(ui::TableViewCellStyle::Default, std::string(cellIdentifier));
    auto row = static_cast<size_t>(indexPath.row);
    cell->textLabel()->setText(row < m_items.size() ? m_items[row] : std::string());
    showMarked(*cell, indexPath.row == m_selectedIndex);
    return cell;
}

void SelectionListViewController::didSelectRowAtIndexPath(ui::TableView& table, const ui::IndexPath& indexPath)
{
    if (indexPath.row != m_selectedIndex) {
        if (auto previous = table.cellForRowAtIndexPath(ui::IndexPath::forRow(m_selectedIndex, indexPath.section)))
            showMarked(*previous, false);
        if (auto chosen = table.cellForRowAtIndexPath(indexPath))
            showMarked(*chosen, true);
        m_selectedIndex = indexPath.row;
        if (m_delegate)
            m_delegate->selectionListViewControllerSelectedIndexWithReference(*this, m_selectedIndex, m_reference);
    }
    table.deselectRowAtIndexPath(indexPath, true);
}

void SelectionListViewController::showMarked(ui::TableViewCell& cell, bool marked)
{
    cell.setAccessoryType(marked ? ui::TableViewCellAccessoryType::Checkmark : ui::TableViewCellAccessoryType::None);
    cell.textLabel()->setTextColor(marked ? selectedTextColor : gfx::Color::black());
}
