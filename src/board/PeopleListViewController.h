#pragma once

#include "board/BrenzoAppDelegate.h"
#include "board/KPhoneNumber.h"
#include "platform/graphics/Color.h"
#include "platform/ui/SearchBarDelegate.h"
#include "platform/ui/SearchDisplayDelegate.h"
#include "platform/ui/TableViewController.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class BrenzoViewController;
class PeopleListViewControllerDelegate;
class TouchImageView;

namespace ui {
class SearchBar;
class SearchDisplayController;
}

// The screen on which the user picks one phone number of the address book. Every number is a
// row; rows are grouped in sections by the first letter of the contact's name, in the order the
// letters first appear, with the letters as the section index. A search bar above the list finds
// names regardless of case and accents.
//
// A pick either turns the board picture the screen was opened for into a contact picture (photo,
// "tel:" address, badge, title, contact id) and saves the board, or, with a delegate, hands the
// pick to the delegate. Trash turns the picture back into a placeholder; Cancel closes the screen.
class PeopleListViewController : public ui::TableViewController, public ui::SearchDisplayDelegate, public ui::SearchBarDelegate {
public:
    using ContactList = BrenzoAppDelegate::ContactList;

    static constexpr double rowHeight = 40;
    // How long the screen waits between two looks at the contact list while it is being loaded.
    static constexpr double contactListPollInterval = 0.05;
    static constexpr std::string_view cellIdentifier = "PeopleListCell";
    static constexpr std::string_view otherLetter = "-";

    static std::shared_ptr<PeopleListViewController> create(ui::TableViewStyle = ui::TableViewStyle::Grouped);
    explicit PeopleListViewController(ui::TableViewStyle);
    ~PeopleListViewController() override;

    std::string_view className() const override { return "PeopleListViewController"; }

    // The picture a pick fills and Trash resets.
    const std::shared_ptr<TouchImageView>& touchImage() const { return m_touchImage; }
    void setTouchImage(std::shared_ptr<TouchImageView> picture) { m_touchImage = std::move(picture); }
    // The entry that counts as already chosen: picking it changes nothing.
    int32_t selectedIndex() const { return m_selectedIndex; }
    void setSelectedIndex(int32_t index) { m_selectedIndex = index; }
    // Hears of the pick in place of the picture; not retained (it is the screen's presenter).
    std::shared_ptr<PeopleListViewControllerDelegate> delegate() const { return m_delegate.lock(); }
    void setDelegate(std::weak_ptr<PeopleListViewControllerDelegate> delegate) { m_delegate = std::move(delegate); }
    // Handed back to the delegate unchanged.
    const fnd::Id& reference() const { return m_reference; }
    void setReference(fnd::Id reference) { m_reference = std::move(reference); }

    // The lists. The screen shows the search results exactly while a search is going on.
    const ContactList& entries() const { return m_entries; }
    const ContactList& qualifiedEntries() const { return m_qualifiedEntries; }
    const ContactList& currentEntries() const { return m_showsQualifiedEntries ? m_qualifiedEntries : m_entries; }
    bool isShowingSearchResults() const { return m_showsQualifiedEntries; }
    // The section letters in order of first appearance, and the letter of every current entry.
    const std::vector<std::string>& indexLetters() const { return m_indexLetters; }
    const std::vector<std::string>& indexLettersAll() const { return m_indexLettersAll; }
    // The position of the first current entry with the letter.
    std::optional<size_t> beforeIndex(std::string_view letter) const;

    const std::shared_ptr<ui::SearchBar>& searchBar() const { return m_searchBar; }
    const std::shared_ptr<ui::SearchDisplayController>& searchDisplayController() const { return m_searchDisplayController; }

    void viewDidLoad() override;
    // Waits for the contact list when it is still being loaded, then shows it (or, during a
    // search, the entries that match the search text).
    void refreshData(const fnd::Id& sender = {});
    // Shows the entries whose name contains the text, ignoring case and accents; an empty text
    // matches nothing.
    void filterEntriesForSearchText(std::string_view);
    // The name for the next picture file.
    std::string NextImageAvailable() const;
    // Trash: the picture becomes a placeholder again and the board is saved; the screen closes.
    void deleteButton(const fnd::Id& sender = {});

    // The position in the current entries of a row's entry.
    std::optional<size_t> entryIndexForRowAtIndexPath(const ui::IndexPath&) const;
    fnd::Ref<KPhoneNumber> recordForRowAtIndexPath(const ui::IndexPath&) const;

    // "-" for an empty name or one that does not start with a letter from a to z; otherwise the
    // upper-case letter.
    static std::string indexLetterOf(std::string_view name);
    // The colour of a phone label's badge.
    static gfx::Color labelColorForType(const std::optional<std::string>& type);

    // The table (both the list and the search results).
    int numberOfSectionsInTableView(ui::TableView&) override;
    int numberOfRowsInSection(ui::TableView&, int section) override;
    std::optional<std::string> titleForHeaderInSection(ui::TableView&, int section) override;
    std::vector<std::string> sectionIndexTitlesForTableView(ui::TableView&) override;
    std::optional<double> heightForRowAtIndexPath(ui::TableView&, const ui::IndexPath&) override;
    std::shared_ptr<ui::TableViewCell> cellForRowAtIndexPath(ui::TableView&, const ui::IndexPath&) override;
    void didSelectRowAtIndexPath(ui::TableView&, const ui::IndexPath&) override;

    // The search.
    void searchDisplayControllerDidBeginSearch(ui::SearchDisplayController&) override;
    bool shouldReloadTableForSearchString(ui::SearchDisplayController&, const std::string& searchString) override;
    bool shouldReloadTableForSearchScope(ui::SearchDisplayController&, int searchOption) override;
    void searchDisplayControllerDidEndSearch(ui::SearchDisplayController&) override;

private:
    // Indexes the entries (or the search results) and makes them the ones shown.
    void RebuildIndex(bool qualified);
    std::shared_ptr<const ContactList> waitForContactList() const;
    void pick(const KPhoneNumber&);
    void fillTouchImage(const KPhoneNumber&, const fnd::Ref<gfx::Image>& photo, const std::string& fileName, const std::string& phone);
    std::shared_ptr<BrenzoViewController> boardController() const;
    void fillCell(ui::TableViewCell&, const KPhoneNumber&) const;

    std::shared_ptr<TouchImageView> m_touchImage;
    int32_t m_selectedIndex = -1;
    std::weak_ptr<PeopleListViewControllerDelegate> m_delegate;
    fnd::Id m_reference;

    std::vector<std::string> m_indexLetters;
    std::vector<std::string> m_indexLettersAll;
    // Positions in the current entries, by letter: the first is the letter's "before index".
    std::map<std::string, std::vector<size_t>, std::less<>> m_positionsByLetter;
    bool m_showsQualifiedEntries = false;
    ContactList m_entries;
    ContactList m_qualifiedEntries;

    std::shared_ptr<ui::SearchBar> m_searchBar;
    std::shared_ptr<ui::SearchDisplayController> m_searchDisplayController;
};
