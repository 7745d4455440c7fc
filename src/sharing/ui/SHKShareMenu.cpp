#include "sharing/ui/SHKShareMenu.h"

#include "platform/foundation/Array.h"
#include "platform/foundation/String.h"
#include "platform/foundation/Unicode.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationItem.h"
#include "platform/ui/Switch.h"
#include "sharing/core/SHK.h"
#include "sharing/core/SHKConfiguration.h"
#include "sharing/core/SHKLocalizedText.h"
#include "sharing/core/SHKSharerMetaclass.h"
#include "sharing/ui/SHKCustomShareMenu.h"
#include "sharing/ui/SHKCustomShareMenuCell.h"
#include "sharing/ui/SHKShareWithSharer.h"

#include <algorithm>

namespace {

const DefaultSHKConfigurator& configuration()
{
    return SHKConfiguration::sharedInstance()->configurator();
}

std::vector<std::string> storedExclusions()
{
    std::vector<std::string> ids;
    if (auto stored = fnd::UserDefaults::standardUserDefaults()->arrayForKey(SHK::excludedSharersKey)) {
        for (auto& object : *stored) {
            if (auto id = fnd::as<fnd::String>(object))
                ids.push_back(id->utf8());
        }
    }
    return ids;
}

void storeExclusions(const std::vector<std::string>& ids)
{
    std::vector<fnd::Id> objects;
    for (auto& id : ids)
        objects.push_back(fnd::String::create(id));
    auto defaults = fnd::UserDefaults::standardUserDefaults();
    defaults->setObjectForKey(fnd::Array::create(std::move(objects)), SHK::excludedSharersKey);
    defaults->synchronize();
}

}

std::shared_ptr<SHKShareMenu> SHKShareMenu::create(ui::TableViewStyle style)
{
    return make<SHKShareMenu>(style);
}

SHKShareMenu::SHKShareMenu(ui::TableViewStyle style)
    : TableViewController(style)
{
}

SHKShareMenu::~SHKShareMenu() = default;

void SHKShareMenu::setUp()
{
    setTitle(SHKLocalizedText("Share"));
    navigationItem()->setLeftBarButtonItem(
        ui::BarButtonItem::createWithBarButtonSystemItem(ui::BarButtonSystemItem::Cancel, ui::Action::to(this, "cancel", &SHKShareMenu::cancel)));
    setEditButton(false, false);
}

void SHKShareMenu::setEditButton(bool editing, bool animated)
{
    auto button = editing
        ? ui::BarButtonItem::createWithBarButtonSystemItem(ui::BarButtonSystemItem::Done, ui::Action::to(this, "save", &SHKShareMenu::save))
        : ui::BarButtonItem::createWithBarButtonSystemItem(ui::BarButtonSystemItem::Edit, ui::Action::to(this, "edit", &SHKShareMenu::edit));
    navigationItem()->setRightBarButtonItem(std::move(button), animated);
}

void SHKShareMenu::setItem(fnd::Ref<SHKItem> item)
{
    m_item = std::move(item);
    rebuildTableDataAnimated(false);
}

SHKShareMenu::Section SHKShareMenu::section(std::string_view key) const
{
    auto type = m_item ? m_item->shareType() : SHKShareTypeUndefined;
    Section rows;
    for (auto& sharerId : SHK::offeredSharerIds(key)) {
        auto sharerClass = SHKSharerMetaclass::named(sharerId);
        if (sharerClass && sharerClass->canShare() && sharerClass->canShareType(type))
            rows.push_back({ sharerId, sharerClass->sharerTitle() });
    }
    if (!rows.empty() && configuration().shareMenuAlphabeticalOrder()) {
        std::stable_sort(rows.begin(), rows.end(), [](const Row& first, const Row& second) {
            return fnd::unicode::lowercased(first.name) < fnd::unicode::lowercased(second.name);
        });
    }
    return rows;
}

bool SHKShareMenu::isExcluded(std::string_view sharerId) const
{
    return std::find(m_exclusions.begin(), m_exclusions.end(), sharerId) != m_exclusions.end();
}

void SHKShareMenu::rebuildTableDataAnimated(bool animated)
{
    auto table = tableView();
    table->setAllowsSelectionDuringEditing(true);
    m_tableData = { section("actions"), section("services") };
    m_exclusions = storedExclusions();

    bool editing = table->isEditing();
    if (editing && !animated) {
        // Edit mode shows every sharer.
        if (table->hasLoadedData())
            table->reloadData();
        return;
    }

    std::vector<ui::IndexPath> excludedRows;
    for (size_t sectionIndex = 0; sectionIndex < m_tableData.size(); ++sectionIndex) {
        Section kept;
        auto& rows = m_tableData[sectionIndex];
        for (size_t rowIndex = 0; rowIndex < rows.size(); ++rowIndex) {
            if (isExcluded(rows[rowIndex].className))
                excludedRows.push_back(ui::IndexPath::forRow(static_cast<int>(rowIndex), static_cast<int>(sectionIndex)));
            else if (!editing)
                kept.push_back(rows[rowIndex]);
        }
        if (!editing)
            rows = std::move(kept);
    }

    if (!animated) {
        // A table that has shown rows already must show the new ones.
        if (table->hasLoadedData())
            table->reloadData();
        return;
    }
    table->beginUpdates();
    if (editing)
        table->insertRowsAtIndexPaths(excludedRows, ui::TableViewRowAnimation::Fade);
    else
        table->deleteRowsAtIndexPaths(excludedRows, ui::TableViewRowAnimation::Fade);
    table->endUpdates();
}

const SHKShareMenu::Row* SHKShareMenu::rowDataAtIndexPath(const ui::IndexPath& indexPath) const
{
    if (indexPath.section < 0 || indexPath.section >= static_cast<int>(m_tableData.size()))
        return nullptr;
    auto& rows = m_tableData[indexPath.section];
    if (indexPath.row < 0 || indexPath.row >= static_cast<int>(rows.size()))
        return nullptr;
    return &rows[indexPath.row];
}

void SHKShareMenu::cancel()
{
    SHK::currentHelper().hideCurrentViewControllerAnimated(true);
}

void SHKShareMenu::edit()
{
    setEditing(true, true);
    rebuildTableDataAnimated(true);
    setEditButton(true, true);
}

void SHKShareMenu::save()
{
    storeExclusions(m_exclusions);
    setEditing(false, true);
    rebuildTableDataAnimated(true);
    setEditButton(false, true);
}

void SHKShareMenu::viewDidLoad()
{
    TableViewController::viewDidLoad();
    auto table = tableView();
    table->setSeparatorStyle(ui::TableViewCellSeparatorStyle::SingleLine);
    if (auto color = configuration().formBackgroundColor())
        table->setBackgroundColor(*color);
}

void SHKShareMenu::viewDidDisappear(bool animated)
{
    TableViewController::viewDidDisappear(animated);
    SHK::currentHelper().viewWasDismissed();
}

int SHKShareMenu::numberOfSectionsInTableView(ui::TableView&)
{
    return static_cast<int>(m_tableData.size());
}

int SHKShareMenu::numberOfRowsInSection(ui::TableView&, int section)
{
    if (section < 0 || section >= static_cast<int>(m_tableData.size()))
        return 0;
    return static_cast<int>(m_tableData[section].size());
}

std::optional<std::string> SHKShareMenu::titleForHeaderInSection(ui::TableView& table, int section)
{
    if (numberOfRowsInSection(table, section) == 0)
        return std::nullopt;
    switch (section) {
    case 0:
        return SHKLocalizedText("Actions");
    case 1:
        return SHKLocalizedText("Services");
    default:
        return std::nullopt;
    }
}

std::shared_ptr<ui::TableViewCell> SHKShareMenu::cellForRowAtIndexPath(ui::TableView& table, const ui::IndexPath& indexPath)
{
    auto cell = table.dequeueReusableCellWithIdentifier(cellIdentifier);
    if (!cell) {
        cell = std::make_shared<SHKCustomShareMenuCell>(ui::TableViewCellStyle::Default, std::string(cellIdentifier));
        cell->setAccessoryType(ui::TableViewCellAccessoryType::DisclosureIndicator);
    }
    auto* row = rowDataAtIndexPath(indexPath);
    cell->textLabel()->setText(row ? row->name : std::string());

    auto toggle = std::dynamic_pointer_cast<ui::Switch>(cell->editingAccessoryView());
    if (!toggle) {
        toggle = ui::Switch::create();
        toggle->setUserInteractionEnabled(false);
        cell->setEditingAccessoryView(toggle);
    }
    // Set on every use: a reused cell must not show the switch of the row it showed before.
    toggle->setOn(row && !isExcluded(row->className));
    return cell;
}

void SHKShareMenu::didSelectRowAtIndexPath(ui::TableView& table, const ui::IndexPath& indexPath)
{
    auto* row = rowDataAtIndexPath(indexPath);
    if (!row)
        return;
    if (table.isEditing()) {
        toggleExclusion(indexPath);
        table.deselectRowAtIndexPath(indexPath, false);
        return;
    }
    startShare(*row);
    SHK::currentHelper().hideCurrentViewControllerAnimated(true);
}

void SHKShareMenu::toggleExclusion(const ui::IndexPath& indexPath)
{
    auto sharerId = rowDataAtIndexPath(indexPath)->className;
    bool switchedOn = isExcluded(sharerId);
    if (switchedOn) {
        std::erase(m_exclusions, sharerId);
    } else {
        m_exclusions.push_back(sharerId);
        // At once, even if the change is never saved.
        SHK::logoutOfService(sharerId);
    }
    if (auto cell = tableView()->cellForRowAtIndexPath(indexPath)) {
        if (auto toggle = std::dynamic_pointer_cast<ui::Switch>(cell->editingAccessoryView()))
            toggle->setOn(switchedOn, true);
    }
}

void SHKShareMenu::startShare(Row row)
{
    SHKShareWithSharer(row.className, m_item, m_shareDelegate);
}

ui::TableViewCellEditingStyle SHKShareMenu::editingStyleForRowAtIndexPath(ui::TableView&, const ui::IndexPath&)
{
    return ui::TableViewCellEditingStyle::None;
}
