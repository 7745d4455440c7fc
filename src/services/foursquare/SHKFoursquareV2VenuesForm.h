#pragma once

#include "platform/location/LocationManagerDelegate.h"
#include "platform/ui/SearchBarDelegate.h"
#include "platform/ui/SearchDisplayDelegate.h"
#include "platform/ui/TableViewController.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace ui {
class SearchBar;
class SearchDisplayController;
}

class SHKFoursquareV2;
class SHKFoursquareV2Request;
class SHKRequest;
struct SHKFoursquareV2Venue;

// The places near the device: while on screen it follows the device's position and searches once
// on the first fix of each visit; the search bar narrows the list, but only when its search button
// is pressed. Picking a place moves on to the check-in message.
class SHKFoursquareV2VenuesForm : public ui::TableViewController,
                                  public loc::LocationManagerDelegate,
                                  public ui::SearchDisplayDelegate,
                                  public ui::SearchBarDelegate {
public:
    static constexpr std::string_view cellIdentifier = "SHKFoureSquareV2VenueCell";
    using Venues = std::vector<std::shared_ptr<SHKFoursquareV2Venue>>;

    // The sharer is not retained: it owns the list through its navigation stack.
    static std::shared_ptr<SHKFoursquareV2VenuesForm> create(const std::shared_ptr<SHKFoursquareV2>& delegate);
    SHKFoursquareV2VenuesForm();
    ~SHKFoursquareV2VenuesForm() override;

    std::string_view className() const override { return "SHKFoursquareV2VenuesForm"; }

    void viewDidLoad() override;
    void viewDidAppear(bool animated) override;
    void viewDidDisappear(bool animated) override;
    bool shouldAutorotateToInterfaceOrientation(ui::InterfaceOrientation) const override { return true; }

    int numberOfSectionsInTableView(ui::TableView&) override;
    int numberOfRowsInSection(ui::TableView&, int section) override;
    std::shared_ptr<ui::TableViewCell> cellForRowAtIndexPath(ui::TableView&, const ui::IndexPath&) override;
    void didSelectRowAtIndexPath(ui::TableView&, const ui::IndexPath&) override;

    bool shouldReloadTableForSearchString(ui::SearchDisplayController&, const std::string&) override { return false; }
    bool shouldReloadTableForSearchScope(ui::SearchDisplayController&, int) override { return false; }
    void searchBarSearchButtonClicked(ui::SearchBar&) override;

    void locationManagerDidUpdateToLocation(loc::LocationManager&, const loc::Location& newLocation, const std::optional<loc::Location>& oldLocation) override;

    void startMonitoringLocation();
    void stopMonitoringLocation();
    void startloadingVenues();
    void finishLoadingVenues(SHKRequest&);
    void cancel();

    std::shared_ptr<SHKFoursquareV2> delegate() const { return m_delegate.lock(); }
    const std::optional<loc::Location>& location() const { return m_location; }
    const std::optional<std::string>& query() const { return m_query; }
    const std::optional<Venues>& venues() const { return m_venues; }
    const std::optional<Venues>& filteredVenues() const { return m_filteredVenues; }
    const std::shared_ptr<ui::SearchBar>& searchBar() const { return m_searchBar; }
    const std::shared_ptr<ui::SearchDisplayController>& searchDisplayController() const { return m_searchDisplayController; }
    const std::shared_ptr<SHKFoursquareV2Request>& request() const { return m_request; }

private:
    // The list a table shows: the search results' or the main one.
    const std::optional<Venues>& venuesFor(const ui::TableView&) const;

    std::weak_ptr<SHKFoursquareV2> m_delegate;
    std::shared_ptr<SHKFoursquareV2Request> m_request;
    std::shared_ptr<loc::LocationManager> m_locationManager;
    bool m_monitorsSignificantChanges = false;
    std::optional<loc::Location> m_location;
    std::optional<std::string> m_query;
    std::optional<Venues> m_venues;
    std::optional<Venues> m_filteredVenues;
    std::shared_ptr<ui::SearchBar> m_searchBar;
    std::shared_ptr<ui::SearchDisplayController> m_searchDisplayController;
};
