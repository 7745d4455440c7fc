#pragma once

#include "platform/ui/TableViewController.h"
#include "sharing/core/SHKItem.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

class SHKShareItemDelegate;

// The full list of what can be done with an item: a table titled "Share" with the section
// "Actions" (the sharers on the device) and "Services" (the web services), a row for each offered
// sharer that can share the item. A tap on a row starts that sharer and closes the menu.
//
// Edit turns every row into an on/off switch; a sharer switched off is logged out at once and,
// once saved (Done), excluded from the menu and from the action sheet's favourites: the ids are
// stored in the user defaults under "SHKExcluded". Cancel closes without saving.
//
// Menus are made by the factories, as SHKCustomShareMenu; the sharing helper presents them.
class SHKShareMenu : public ui::TableViewController {
public:
    struct Row {
        std::string className;
        std::string name;

        bool operator==(const Row&) const = default;
    };
    using Section = std::vector<Row>;

    static constexpr std::string_view cellIdentifier = "Cell";

    static std::shared_ptr<SHKShareMenu> create(ui::TableViewStyle);
    explicit SHKShareMenu(ui::TableViewStyle);
    ~SHKShareMenu() override;

    std::string_view className() const override { return "SHKShareMenu"; }

    // Setting the item rebuilds the table, without animation.
    const fnd::Ref<SHKItem>& item() const { return m_item; }
    void setItem(fnd::Ref<SHKItem>);
    // Section 0 the actions, section 1 the services.
    const std::vector<Section>& tableData() const { return m_tableData; }
    // The excluded sharer ids being edited.
    const std::vector<std::string>& exclusions() const { return m_exclusions; }
    // Retained; none by default.
    const std::shared_ptr<SHKShareItemDelegate>& shareDelegate() const { return m_shareDelegate; }
    void setShareDelegate(std::shared_ptr<SHKShareItemDelegate> delegate) { m_shareDelegate = std::move(delegate); }

    // Every offered sharer ("actions" or "services") that can share the item now, titled; ordered
    // by title when "shareMenuAlphabeticalOrder" is on, else as offered.
    Section section(std::string_view key) const;
    // Reads the offered sharers and the stored exclusions again. While browsing the excluded rows
    // go; in edit mode every row shows. Animated, the rows that come or go are faded in or out.
    void rebuildTableDataAnimated(bool animated);
    const Row* rowDataAtIndexPath(const ui::IndexPath&) const;

    void cancel();
    void edit();
    void save();

    void viewDidLoad() override;
    void viewDidDisappear(bool animated) override;
    bool shouldAutorotateToInterfaceOrientation(ui::InterfaceOrientation) const override { return true; }

    int numberOfSectionsInTableView(ui::TableView&) override;
    int numberOfRowsInSection(ui::TableView&, int section) override;
    std::optional<std::string> titleForHeaderInSection(ui::TableView&, int section) override;
    std::shared_ptr<ui::TableViewCell> cellForRowAtIndexPath(ui::TableView&, const ui::IndexPath&) override;
    void didSelectRowAtIndexPath(ui::TableView&, const ui::IndexPath&) override;
    ui::TableViewCellEditingStyle editingStyleForRowAtIndexPath(ui::TableView&, const ui::IndexPath&) override;
    bool shouldIndentWhileEditingRowAtIndexPath(ui::TableView&, const ui::IndexPath&) override { return false; }

protected:
    // Titles the menu and sets its bar buttons; the factories call it once the menu is owned.
    void setUp();

    template<typename Menu>
    static std::shared_ptr<Menu> make(ui::TableViewStyle style)
    {
        auto menu = std::make_shared<Menu>(style);
        menu->setUp();
        return menu;
    }

private:
    bool isExcluded(std::string_view sharerId) const;
    void toggleExclusion(const ui::IndexPath&);
    void startShare(Row);
    void setEditButton(bool editing, bool animated);

    fnd::Ref<SHKItem> m_item;
    std::vector<Section> m_tableData;
    std::vector<std::string> m_exclusions;
    std::shared_ptr<SHKShareItemDelegate> m_shareDelegate;
};
