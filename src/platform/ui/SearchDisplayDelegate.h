#pragma once

#include <string>

namespace ui {

class SearchDisplayController;
class TableView;

// What a search display controller tells and asks its delegate; every operation is optional. The
// reload questions default to yes.
class SearchDisplayDelegate {
public:
    virtual ~SearchDisplayDelegate();

    virtual void searchDisplayControllerWillBeginSearch(SearchDisplayController&) { }
    virtual void searchDisplayControllerDidBeginSearch(SearchDisplayController&) { }
    virtual void searchDisplayControllerWillEndSearch(SearchDisplayController&) { }
    virtual void searchDisplayControllerDidEndSearch(SearchDisplayController&) { }
    virtual void didLoadSearchResultsTableView(SearchDisplayController&, TableView&) { }
    virtual bool shouldReloadTableForSearchString(SearchDisplayController&, const std::string& /* searchString */) { return true; }
    virtual bool shouldReloadTableForSearchScope(SearchDisplayController&, int /* searchOption */) { return true; }
};

}
