#pragma once

#include <string>

namespace ui {

class SearchBar;

// What a search bar tells its delegate; every operation is optional.
class SearchBarDelegate {
public:
    virtual ~SearchBarDelegate();

    virtual bool searchBarShouldBeginEditing(SearchBar&) { return true; }
    virtual void searchBarTextDidBeginEditing(SearchBar&) { }
    virtual void searchBarTextDidEndEditing(SearchBar&) { }
    virtual void searchBarTextDidChange(SearchBar&, const std::string& /* searchText */) { }
    virtual void searchBarSearchButtonClicked(SearchBar&) { }
    virtual void searchBarCancelButtonClicked(SearchBar&) { }
    virtual void searchBarSelectedScopeButtonIndexDidChange(SearchBar&, int /* selectedScope */) { }
};

}
