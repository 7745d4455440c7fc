#include "board/PeopleListViewController.h"

#include "board/BoardFile.h"
#include "board/BrenzoViewController.h"
#include "board/PeopleListViewControllerDelegate.h"
#include "board/TDBadgedCell.h"
#include "board/TouchImageView.h"
#include "platform/foundation/Format.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Unicode.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/BundleImages.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationItem.h"
#include "platform/ui/SearchBar.h"
#include "platform/ui/SearchDisplayController.h"

#include <algorithm>
#include <chrono>

namespace {

constexpr gfx::Color firstNameColor { 0, 0, 0, 1 };
constexpr gfx::Color lastNameColor { 0, 0, 1, 1 };
constexpr gfx::Color separatorColor { 1.0, 0.8, 10.0 / 255, 1 };
// The plain text label keeps the name for layout; the multipart label inside it shows it.
constexpr gfx::Color hiddenTextColor { 1.0, 0.8, 10.0 / 255, 0 };
constexpr double nameFontSize = 14;
constexpr double phoneFontSize = 13;

std::string withoutBlanks(std::string_view text)
{
    std::string result(text);
    std::erase(result, ' ');
    return result;
}

}

std::shared_ptr<PeopleListViewController> PeopleListViewController::create(ui::TableViewStyle style)
{
    return std::make_shared<PeopleListViewController>(style);
}

PeopleListViewController::PeopleListViewController(ui::TableViewStyle style)
    : TableViewController(style)
{
    m_entries.reserve(24);
    m_qualifiedEntries.reserve(24);
}

PeopleListViewController::~PeopleListViewController() = default;

// Set-up and loading.

void PeopleListViewController::viewDidLoad()
{
    TableViewController::viewDidLoad();
    auto self = sharedAs<PeopleListViewController>();

    m_searchBar = ui::SearchBar::create();
    m_searchBar->setDelegate(self);
    m_searchBar->sizeToFit();
    tableView()->setTableHeaderView(m_searchBar);
    m_searchBar->setFrame({ 0, 0, 320, ui::SearchBar::height });

    m_searchDisplayController = ui::SearchDisplayController::create(m_searchBar, self);
    m_searchDisplayController->setDelegate(self);
    m_searchDisplayController->setSearchResultsDataSource(self);
    m_searchDisplayController->setSearchResultsDelegate(self);

    refreshData();
    tableView()->setScrollEnabled(true);

    auto cancelAction = ui::Action::to(self, "dismissSettingsView", [](PeopleListViewController& picker) { picker.dismissViewController(true); });
    if (auto board = BrenzoAppDelegate::delegate() ? BrenzoAppDelegate::delegate()->viewController() : nullptr)
        cancelAction = ui::Action::to(board, "dismissSettingsView", &BrenzoViewController::dismissSettingsView);
    navigationItem()->setLeftBarButtonItem(ui::BarButtonItem::createWithBarButtonSystemItem(ui::BarButtonSystemItem::Cancel, std::move(cancelAction)));
    navigationItem()->setRightBarButtonItem(ui::BarButtonItem::createWithBarButtonSystemItem(ui::BarButtonSystemItem::Trash,
        ui::Action::to(self, "deleteButton", &PeopleListViewController::deleteButton)));
}

std::shared_ptr<const PeopleListViewController::ContactList> PeopleListViewController::waitForContactList() const
{
    auto application = BrenzoAppDelegate::delegate();
    // Without the application's delegate there is no loader to wait for.
    if (!application)
        return std::make_shared<const ContactList>();
    auto list = application->allContact();
    while (!list) {
        fnd::Log::write("waiting");
        // The loader always publishes, and its publication wakes this wait at once.
        list = application->waitForAllContact(contactListPollInterval);
    }
    return list;
}

void PeopleListViewController::refreshData(const fnd::Id&)
{
    fnd::Log::write("refresh");
    m_entries.clear();
    m_qualifiedEntries.clear();
    auto list = waitForContactList();
    m_entries.insert(m_entries.end(), list->begin(), list->end());

    if (m_showsQualifiedEntries)
        filterEntriesForSearchText(m_searchBar ? m_searchBar->text() : std::string());
    else
        RebuildIndex(false);
    if (isViewLoaded())
        tableView()->reloadData();
}

// The index.

std::string PeopleListViewController::indexLetterOf(std::string_view name)
{
    if (name.empty())
        return std::string(otherLetter);
    char first = name.front();
    if (first >= 'a' && first <= 'z')
        return std::string(1, char(first - 'a' + 'A'));
    if (first >= 'A' && first <= 'Z')
        return std::string(1, first);
    return std::string(otherLetter);
}

void PeopleListViewController::RebuildIndex(bool qualified)
{
    m_showsQualifiedEntries = qualified;
    m_indexLetters.clear();
    m_indexLettersAll.clear();
    m_positionsByLetter.clear();

    auto& list = currentEntries();
    m_indexLettersAll.reserve(list.size());
    for (size_t position = 0; position < list.size(); ++position) {
        auto letter = indexLetterOf(list[position]->compositeName());
        auto& positions = m_positionsByLetter[letter];
        if (positions.empty())
            m_indexLetters.push_back(letter);
        positions.push_back(position);
        m_indexLettersAll.push_back(std::move(letter));
    }
}

std::optional<size_t> PeopleListViewController::beforeIndex(std::string_view letter) const
{
    auto found = m_positionsByLetter.find(letter);
    if (found == m_positionsByLetter.end())
        return std::nullopt;
    return found->second.front();
}

std::optional<size_t> PeopleListViewController::entryIndexForRowAtIndexPath(const ui::IndexPath& indexPath) const
{
    if (indexPath.section < 0 || size_t(indexPath.section) >= m_indexLetters.size() || indexPath.row < 0)
        return std::nullopt;
    auto& positions = m_positionsByLetter.find(m_indexLetters[size_t(indexPath.section)])->second;
    if (size_t(indexPath.row) >= positions.size())
        return std::nullopt;
    return positions[size_t(indexPath.row)];
}

fnd::Ref<KPhoneNumber> PeopleListViewController::recordForRowAtIndexPath(const ui::IndexPath& indexPath) const
{
    auto index = entryIndexForRowAtIndexPath(indexPath);
    return index ? currentEntries()[*index] : nullptr;
}

// The search.

void PeopleListViewController::filterEntriesForSearchText(std::string_view text)
{
    m_qualifiedEntries.clear();
    if (!text.empty()) {
        std::copy_if(m_entries.begin(), m_entries.end(), std::back_inserter(m_qualifiedEntries),
            [&](auto& record) { return fnd::unicode::containsIgnoringCaseAndDiacritics(record->compositeName(), text); });
    }
    RebuildIndex(true);
}

void PeopleListViewController::searchDisplayControllerDidBeginSearch(ui::SearchDisplayController&)
{
    fnd::Log::write("searchDisplayControllerDidBeginSearch");
}

bool PeopleListViewController::shouldReloadTableForSearchString(ui::SearchDisplayController&, const std::string& searchString)
{
    filterEntriesForSearchText(searchString);
    return true;
}

bool PeopleListViewController::shouldReloadTableForSearchScope(ui::SearchDisplayController&, int)
{
    filterEntriesForSearchText(m_searchBar ? m_searchBar->text() : std::string());
    return true;
}

void PeopleListViewController::searchDisplayControllerDidEndSearch(ui::SearchDisplayController&)
{
    m_showsQualifiedEntries = false;
    refreshData();
}

// The table.

int PeopleListViewController::numberOfSectionsInTableView(ui::TableView&)
{
    return int(m_indexLetters.size());
}

int PeopleListViewController::numberOfRowsInSection(ui::TableView&, int section)
{
    if (section < 0 || size_t(section) >= m_indexLetters.size())
        return 0;
    return int(m_positionsByLetter.find(m_indexLetters[size_t(section)])->second.size());
}

std::optional<std::string> PeopleListViewController::titleForHeaderInSection(ui::TableView&, int section)
{
    if (section < 0 || size_t(section) >= m_indexLetters.size())
        return std::nullopt;
    return m_indexLetters[size_t(section)];
}

std::vector<std::string> PeopleListViewController::sectionIndexTitlesForTableView(ui::TableView&)
{
    return m_indexLetters;
}

std::optional<double> PeopleListViewController::heightForRowAtIndexPath(ui::TableView&, const ui::IndexPath&)
{
    return rowHeight;
}

gfx::Color PeopleListViewController::labelColorForType(const std::optional<std::string>& type)
{
    if (type == "iPhone")
        return { 1.0, 0.8, 10.0 / 255, 1 };
    if (type == "mobile")
        return { 45.0 / 255, 242.0 / 255, 140.0 / 255, 1 };
    if (type == "work")
        return { 0.792, 0.197, 0.219, 1 };
    return { 45.0 / 255, 65.0 / 255, 239.0 / 255, 1 };
}

std::shared_ptr<ui::TableViewCell> PeopleListViewController::cellForRowAtIndexPath(ui::TableView& table, const ui::IndexPath& indexPath)
{
    auto cell = table.dequeueReusableCellWithIdentifier(cellIdentifier);
    if (!cell) {
        cell = TDBadgedCell::create(ui::TableViewCellStyle::Subtitle, std::string(cellIdentifier));
        cell->setAccessoryType(ui::TableViewCellAccessoryType::None);
        cell->detailTextLabel()->setFont(gfx::Font::systemFont(phoneFontSize));
        cell->textLabel()->setFont(gfx::Font::boldSystemFont(nameFontSize));
        cell->textLabel()->setTextColor(hiddenTextColor);
    }
    if (auto record = recordForRowAtIndexPath(indexPath))
        fillCell(*cell, *record);
    return cell;
}

void PeopleListViewController::fillCell(ui::TableViewCell& cell, const KPhoneNumber& record) const
{
    auto* badgedCell = dynamic_cast<TDBadgedCell*>(&cell);
    if (!badgedCell)
        return;
    auto font = gfx::Font::boldSystemFont(nameFontSize);
    auto& label = *badgedCell->multipartLabel();
    auto& first = record.firstName();
    auto& last = record.lastName();
    if (first && last) {
        label.updateNumberOfLabels(3);
        label.setTextAndFontAndColorForLabel(*first, font, firstNameColor, 0);
        label.setTextAndFontAndColorForLabel(" ", font, separatorColor, 1);
        label.setTextAndFontAndColorForLabel(*last, font, lastNameColor, 2);
        cell.textLabel()->setText(fnd::format("%@ %@", *first, *last));
    } else {
        label.updateNumberOfLabels(1);
        // Without any name, the organisation, or else the name the index uses ("Unknown").
        auto name = first ? *first : last ? *last : record.organization().value_or(record.compositeName());
        label.setTextAndFontAndColorForLabel(name, font, first ? firstNameColor : lastNameColor, 0);
        cell.textLabel()->setText(std::move(name));
    }

    cell.imageView()->setImage(record.iconImage());
    cell.detailTextLabel()->setText(record.phone().value_or(""));
    badgedCell->setBadgeString(record.type());
    badgedCell->setBadgeColor(labelColorForType(record.type()));
    badgedCell->setShowShadow(false);
    cell.setNeedsLayout();
}

// Picking.

std::string PeopleListViewController::NextImageAvailable() const
{
    return BoardFile::nextImageAvailable();
}

std::shared_ptr<BrenzoViewController> PeopleListViewController::boardController() const
{
    if (m_touchImage) {
        if (auto board = m_touchImage->boardController())
            return board;
    }
    auto application = BrenzoAppDelegate::delegate();
    return application ? application->viewController() : nullptr;
}

void PeopleListViewController::didSelectRowAtIndexPath(ui::TableView& table, const ui::IndexPath& indexPath)
{
    auto protect = sharedAs<PeopleListViewController>();
    auto index = entryIndexForRowAtIndexPath(indexPath);
    if (index && int64_t(*index) != m_selectedIndex)
        pick(*currentEntries()[*index]);
    table.deselectRowAtIndexPath(indexPath, true);
}

void PeopleListViewController::pick(const KPhoneNumber& record)
{
    auto fileName = NextImageAvailable();
    auto photo = record.image();
    if (!photo)
        photo = ui::BundleImages::imageNamed(KPhoneNumber::stockPhotoName);
    auto phone = withoutBlanks(record.phone().value_or(""));

    if (auto delegate = m_delegate.lock()) {
        // "Last First" when the record has both names, as the one-line name has them.
        delegate->peopleListViewControllerPhotoSelectedIndexWithNameWithPhoneWithReference(*this, photo, m_selectedIndex, record.compositeName(),
            phone, m_reference);
    } else if (m_touchImage) {
        fillTouchImage(record, photo, fileName, phone);
    }
    dismissViewController(true);
}

void PeopleListViewController::fillTouchImage(const KPhoneNumber& record, const fnd::Ref<gfx::Image>& photo, const std::string& fileName,
    const std::string& phone)
{
    // A picture that names a file which was never written would vanish at the next launch.
    if (!photo || !BoardFile::writePictureOrAlert(*photo, fileName))
        return;
    auto& picture = *m_touchImage;
    picture.setImage(photo);
    picture.setImageName(fileName);
    picture.setType(std::string(TouchImageView::phoneType));
    picture.setParameters("tel:" + phone);
    picture.setBadgeString(record.type());
    picture.setBadgeColor(labelColorForType(record.type()));
    picture.setTitle(record.compositeName());
    picture.setId(record.contact() ? record.contact()->recordId() : 0);
    picture.layoutSubviews();
    if (auto board = boardController())
        board->saveXML();
}

void PeopleListViewController::deleteButton(const fnd::Id&)
{
    auto protect = sharedAs<PeopleListViewController>();
    // Opened without a picture (from the board's edit tool bar), there is nothing to reset.
    if (m_touchImage) {
        m_touchImage->setDefault();
        m_touchImage->layoutSubviews();
        if (auto board = boardController())
            board->saveXML();
    }
    dismissViewController(true);
}
