#pragma once

#include "board/SelectionListViewControllerDelegate.h"
#include "platform/ui/TableViewController.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// A pick-one list: one section headed by the subtitle, one row per item, the chosen row checked.
// A tap on another row moves the check and tells the delegate.
class SelectionListViewController : public ui::TableViewController {
public:
    static constexpr std::string_view cellIdentifier = "Cell";
    static constexpr gfx::Color selectedTextColor { 0.243, 0.306, 0.435, 1 };

    explicit SelectionListViewController(ui::TableViewStyle = ui::TableViewStyle::Plain);

    std::string_view className() const override { return "SelectionListViewController"; }

    const std::vector<std::string>& items() const { return m_items; }
    void setItems(std::vector<std::string> items) { m_items = std::move(items); }
    const std::string& subtitle() const { return m_subtitle; }
    void setSubtitle(std::string subtitle) { m_subtitle = std::move(subtitle); }
    int32_t selectedIndex() const { return m_selectedIndex; }
    void setSelectedIndex(int32_t index) { m_selectedIndex = index; }
    const std::shared_ptr<SelectionListViewControllerDelegate>& delegate() const { return m_delegate; }
    void setDelegate(std::shared_ptr<SelectionListViewControllerDelegate> delegate) { m_delegate = std::move(delegate); }
    // Handed back to the delegate as it was given.
    const fnd::Id& reference() const { return m_reference; }
    void setReference(fnd::Id reference) { m_reference = std::move(reference); }

    int numberOfSectionsInTableView(ui::TableView&) override { return 1; }
    int numberOfRowsInSection(ui::TableView&, int section) override;
    std::optional<std::string> titleForHeaderInSection(ui::TableView&, int section) override;
    std::shared_ptr<ui::TableViewCell> cellForRowAtIndexPath(ui::TableView&, const ui::IndexPath&) override;
    void didSelectRowAtIndexPath(ui::TableView&, const ui::IndexPath&) override;

private:
    static void showMarked(ui::TableViewCell&, bool marked);

    std::vector<std::string> m_items;
    std::string m_subtitle;
    int32_t m_selectedIndex = -1;
    std::shared_ptr<SelectionListViewControllerDelegate> m_delegate;
    fnd::Id m_reference;
};
