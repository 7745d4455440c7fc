#pragma once

#include "platform/ui/SearchDisplayDelegate.h"

#include <memory>
#include <string>

namespace ui {

class SearchBar;
class TableView;
class TableViewDataSource;
class TableViewDelegate;
class ViewController;

// Runs a search over a controller's content: when its search bar starts editing the search becomes
// active; each change of the text (or scope) asks the delegate whether to reload the results
// table, which covers the content below the bar while there is text; Cancel (or setActive(false))
// empties the bar and takes the results away, so the content shows again.
class SearchDisplayController : public std::enable_shared_from_this<SearchDisplayController> {
public:
    // Watches the bar; the contents controller is not retained, the bar is.
    static std::shared_ptr<SearchDisplayController> create(std::shared_ptr<SearchBar>, const std::shared_ptr<ViewController>& contentsController);
    SearchDisplayController(std::shared_ptr<SearchBar>, const std::shared_ptr<ViewController>& contentsController);
    ~SearchDisplayController();

    const std::shared_ptr<SearchBar>& searchBar() const { return m_searchBar; }
    std::shared_ptr<ViewController> searchContentsController() const { return m_contents.lock(); }

    // None of the three is retained.
    std::shared_ptr<SearchDisplayDelegate> delegate() const { return m_delegate.lock(); }
    void setDelegate(const std::shared_ptr<SearchDisplayDelegate>& delegate) { m_delegate = delegate; }
    void setSearchResultsDataSource(const std::shared_ptr<TableViewDataSource>&);
    void setSearchResultsDelegate(const std::shared_ptr<TableViewDelegate>&);

    // Made on first use.
    std::shared_ptr<TableView> searchResultsTableView();
    bool isShowingResults() const;

    bool isActive() const { return m_active; }
    void setActive(bool, bool animated = false);

    // For the search bar.
    void searchBarBeganEditing();
    void searchTextChanged(const std::string&);
    void searchScopeChanged(int);
    void searchBarCancelled();

private:
    void showResults(bool);

    std::shared_ptr<SearchBar> m_searchBar;
    std::weak_ptr<ViewController> m_contents;
    std::weak_ptr<SearchDisplayDelegate> m_delegate;
    std::weak_ptr<TableViewDataSource> m_resultsDataSource;
    std::weak_ptr<TableViewDelegate> m_resultsDelegate;
    std::shared_ptr<TableView> m_resultsTable;
    bool m_active = false;
};

}
