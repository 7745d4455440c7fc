#include "board/EditTouchImageViewController.h"

#include "board/BoardFile.h"
#include "board/ChoiceCell.h"
#include "board/DesignPart.h"
#include "board/IndexPathValue.h"
#include "board/KTextFieldCell.h"
#include "board/PeopleListViewController.h"
#include "board/SelectionListViewController.h"
#include "board/TouchImageView.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/Format.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/String.h"
#include "platform/ui/BundleImages.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/NavigationItem.h"
#include "platform/ui/TabBarItem.h"
#include "platform/ui/TextField.h"

#include <algorithm>

std::shared_ptr<EditTouchImageViewController> EditTouchImageViewController::create(std::shared_ptr<TouchImageView> picture)
{
    auto controller = std::make_shared<EditTouchImageViewController>();
    controller->setTouchImage(std::move(picture));
    return controller;
}

EditTouchImageViewController::EditTouchImageViewController()
    : ui::TableViewController(ui::TableViewStyle::Grouped)
{
    setTitle(localized("Settings"));
    tabBarItem()->setImage(ui::BundleImages::imageNamed(tabBarImageName));
    // The bar shows the maker's logo in place of the title.
    navigationItem()->setTitleView(ui::Label::create());
}

std::string EditTouchImageViewController::localized(std::string_view key)
{
    return fnd::Bundle::main()->localizedString(key, "");
}

void EditTouchImageViewController::viewDidLoad()
{
    ui::TableViewController::viewDidLoad();
    m_typeValue = { localized("None"), localized("Webrequest"), localized("Phone Call") };
    m_typeIndex = { std::string(TouchImageView::noActionType), std::string(TouchImageView::webType), std::string(TouchImageView::phoneType) };

    m_typeCell = ChoiceCell::createWithLabel(localized("Type"), m_typeValue, 0);

    m_urlCell = KTextFieldCell::createWithStyle(ui::TableViewCellStyle::Default);
    m_urlCell->textLabel()->setText(localized("URL"));
    m_urlCell->setTextFieldCellDelegate(sharedAs<EditTouchImageViewController>());

    m_telSelectCell = ui::TableViewCell::create(ui::TableViewCellStyle::Default);
    m_telSelectCell->textLabel()->setText(localized("Select"));
    m_telSelectCell->setAccessoryType(ui::TableViewCellAccessoryType::DisclosureIndicator);

    updateEnabledControls();
    DesignPart::makeHeaderForSettingsViewNavigator(*this);
}

bool EditTouchImageViewController::pictureHasType(std::string_view type) const
{
    return m_touchImage && m_touchImage->hasType(type);
}

void EditTouchImageViewController::updateEnabledControls()
{
    if (!m_touchImage || !m_typeCell)
        return;
    // A type that is none of the three (a placeholder's) leaves the row as it was.
    if (auto& type = m_touchImage->type()) {
        auto position = std::find(m_typeIndex.begin(), m_typeIndex.end(), *type);
        if (position != m_typeIndex.end())
            m_typeCell->setSelectedIndex(static_cast<int32_t>(position - m_typeIndex.begin()));
    }
    if (pictureHasType(TouchImageView::webType))
        m_urlCell->textField()->setText(m_touchImage->parameters().value_or(""));
}

std::string EditTouchImageViewController::NextImageAvailable() const
{
    return BoardFile::nextImageAvailable();
}

// The table.

int EditTouchImageViewController::numberOfSectionsInTableView(ui::TableView&)
{
    return pictureHasType(TouchImageView::noActionType) ? 1 : 2;
}

int EditTouchImageViewController::numberOfRowsInSection(ui::TableView&, int section)
{
    if (section == TypeSection)
        return 1;
    return pictureHasType(TouchImageView::webType) || pictureHasType(TouchImageView::phoneType) ? 1 : 0;
}

std::optional<std::string> EditTouchImageViewController::titleForHeaderInSection(ui::TableView&, int section)
{
    return localized(section == TypeSection ? "Type" : "Parameters");
}

std::optional<std::string> EditTouchImageViewController::titleForFooterInSection(ui::TableView&, int section)
{
    if (section == TypeSection)
        return std::nullopt;
    return fnd::format("Tarvol v%@", fnd::Bundle::main()->objectForInfoDictionaryKey("CFBundleVersion"));
}

std::shared_ptr<ui::TableViewCell> EditTouchImageViewController::cellForRowAtIndexPath(ui::TableView&, const ui::IndexPath& indexPath)
{
    if (indexPath.section == TypeSection)
        return m_typeCell;
    if (pictureHasType(TouchImageView::webType))
        return m_urlCell;
    if (pictureHasType(TouchImageView::phoneType))
        return m_telSelectCell;
    return nullptr;
}

void EditTouchImageViewController::didSelectRowAtIndexPath(ui::TableView&, const ui::IndexPath& indexPath)
{
    if (indexPath.section == TypeSection)
        showTypeList(indexPath);
    else if (pictureHasType(TouchImageView::phoneType))
        showPeopleList();
}

void EditTouchImageViewController::showTypeList(const ui::IndexPath& indexPath)
{
    auto list = std::make_shared<SelectionListViewController>(ui::TableViewStyle::Grouped);
    list->setSubtitle(localized("Type"));
    list->setItems(m_typeCell->choices());
    list->setSelectedIndex(m_typeCell->selectedIndex());
    list->setDelegate(sharedAs<EditTouchImageViewController>());
    list->setReference(IndexPathValue::create(indexPath));
    if (auto navigation = navigationController())
        navigation->pushViewController(list, true);
}

void EditTouchImageViewController::showPeopleList()
{
    auto picker = PeopleListViewController::create(ui::TableViewStyle::Grouped);
    picker->setSelectedIndex(-1);
    picker->setDelegate(sharedAs<EditTouchImageViewController>());
    picker->setReference(fnd::String::create("1"));
    if (auto navigation = navigationController())
        navigation->pushViewController(picker, true);
}

// What the other screens report.

void EditTouchImageViewController::selectionListViewControllerSelectedIndexWithReference(SelectionListViewController&, int32_t selectedIndex,
    const fnd::Id& reference)
{
    auto indexPath = fnd::as<IndexPathValue>(reference);
    if (!indexPath || indexPath->indexPath().section != TypeSection)
        return;
    if (selectedIndex < 0 || static_cast<size_t>(selectedIndex) >= m_typeIndex.size())
        return;
    auto& type = m_typeIndex[static_cast<size_t>(selectedIndex)];
    fnd::Log::format("type: %@", type);
    if (m_touchImage)
        m_touchImage->setType(type);
    m_typeCell->setSelectedIndex(selectedIndex);
    updateEnabledControls();
    tableView()->reloadData();
    if (auto navigation = navigationController())
        navigation->popViewControllerAnimated(true);
}

void EditTouchImageViewController::textFieldCellWillReturn(KTextFieldCell& cell)
{
    if (&cell == m_urlCell.get()) {
        if (m_touchImage)
            m_touchImage->setParameters(cell.textField()->text());
        cell.textField()->resignFirstResponder();
    }
    updateEnabledControls();
}

void EditTouchImageViewController::peopleListViewControllerPhotoSelectedIndexWithNameWithPhoneWithReference(ui::ViewController&,
    const fnd::Ref<gfx::Image>& photo, int32_t, const std::string& name, const std::string& phone, const fnd::Id&)
{
    if (!m_touchImage)
        return;
    auto fileName = NextImageAvailable();
    // The picture stays as it was when its new image cannot be stored.
    if (!photo || !BoardFile::writePictureOrAlert(*photo, fileName))
        return;
    std::string digits(phone);
    std::erase(digits, ' ');

    m_touchImage->setImage(photo);
    m_touchImage->setImageName(fileName);
    m_touchImage->setType(std::string(TouchImageView::phoneType));
    m_touchImage->setParameters("tel:" + digits);
    // The picture now calls someone else: it must not keep the previous contact's name, badge and id.
    m_touchImage->setTitle(name);
    m_touchImage->setBadgeString(std::nullopt);
    m_touchImage->setBadgeColor(std::nullopt);
    m_touchImage->setId(0);
    m_touchImage->setNeedsLayout();
}
