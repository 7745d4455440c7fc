#include "services/foursquare/SHKFoursquareV2VenuesForm.h"

#include "platform/foundation/Array.h"
#include "platform/location/LocationManager.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/NavigationItem.h"
#include "platform/ui/SearchBar.h"
#include "platform/ui/SearchDisplayController.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TableViewCell.h"
#include "services/foursquare/SHKFoursquareV2.h"
#include "services/foursquare/SHKFoursquareV2Error.h"
#include "services/foursquare/SHKFoursquareV2Request.h"
#include "services/foursquare/SHKFoursquareV2Venue.h"
#include "sharing/core/SHK.h"
#include "sharing/core/SHKLocalizedText.h"
#include "sharing/ui/SHKActivityIndicator.h"

namespace {

std::optional<std::string> trimmedQuery(std::string_view text)
{
    auto isBlank = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; };
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    if (text.empty())
        return std::nullopt;
    return std::string(text);
}

}

std::shared_ptr<SHKFoursquareV2VenuesForm> SHKFoursquareV2VenuesForm::create(const std::shared_ptr<SHKFoursquareV2>& delegate)
{
    auto form = std::make_shared<SHKFoursquareV2VenuesForm>();
    form->m_delegate = delegate;
    form->setTitle(SHKLocalizedText("Nearby Places"));
    form->navigationItem()->setLeftBarButtonItem(ui::BarButtonItem::createWithBarButtonSystemItem(ui::BarButtonSystemItem::Cancel,
        ui::Action::to(form.get(), "cancel", &SHKFoursquareV2VenuesForm::cancel)));
    return form;
}

SHKFoursquareV2VenuesForm::SHKFoursquareV2VenuesForm()
    : TableViewController(ui::TableViewStyle::Plain)
{
}

SHKFoursquareV2VenuesForm::~SHKFoursquareV2VenuesForm()
{
    if (m_locationManager)
        m_locationManager->setDelegate(nullptr);
}

void SHKFoursquareV2VenuesForm::viewDidLoad()
{
    TableViewController::viewDidLoad();
    auto self = sharedAs<SHKFoursquareV2VenuesForm>();
    m_searchBar = ui::SearchBar::create();
    m_searchBar->setPlaceholder(SHKLocalizedText("Search places"));
    m_searchBar->setDelegate(self);
    m_searchBar->sizeToFit();
    tableView()->setTableHeaderView(m_searchBar);
    m_searchDisplayController = ui::SearchDisplayController::create(m_searchBar, self);
    m_searchDisplayController->setDelegate(self);
    m_searchDisplayController->setSearchResultsDataSource(self);
    m_searchDisplayController->setSearchResultsDelegate(self);
}

void SHKFoursquareV2VenuesForm::viewDidAppear(bool animated)
{
    TableViewController::viewDidAppear(animated);
    startMonitoringLocation();
}

void SHKFoursquareV2VenuesForm::viewDidDisappear(bool animated)
{
    TableViewController::viewDidDisappear(animated);
    stopMonitoringLocation();
}

void SHKFoursquareV2VenuesForm::startMonitoringLocation()
{
    m_locationManager = loc::LocationManager::create();
    m_locationManager->setDesiredAccuracy(loc::LocationManager::accuracyBest);
    m_locationManager->setDelegate(sharedAs<SHKFoursquareV2VenuesForm>());
    m_monitorsSignificantChanges = loc::LocationManager::significantLocationChangeMonitoringAvailable();
    if (m_monitorsSignificantChanges)
        m_locationManager->startMonitoringSignificantLocationChanges();
    else
        m_locationManager->startUpdatingLocation();
    if (!m_location)
        SHKActivityIndicator::currentIndicator().displayActivity(SHKLocalizedText("Determine your location..."));
}

void SHKFoursquareV2VenuesForm::stopMonitoringLocation()
{
    if (m_locationManager) {
        if (m_monitorsSignificantChanges)
            m_locationManager->stopMonitoringSignificantLocationChanges();
        else
            m_locationManager->stopUpdatingLocation();
        m_locationManager->setDelegate(nullptr);
        m_locationManager = nullptr;
    }
    m_location = std::nullopt;
}

void SHKFoursquareV2VenuesForm::locationManagerDidUpdateToLocation(loc::LocationManager&, const loc::Location& newLocation,
    const std::optional<loc::Location>& oldLocation)
{
    m_location = newLocation;
    if (!oldLocation)
        startloadingVenues();
}

void SHKFoursquareV2VenuesForm::searchBarSearchButtonClicked(ui::SearchBar& bar)
{
    m_query = trimmedQuery(bar.text());
    if (m_query)
        startloadingVenues();
}

void SHKFoursquareV2VenuesForm::startloadingVenues()
{
    SHKActivityIndicator::currentIndicator().displayActivity(SHKLocalizedText("Searching places..."));
    auto sharer = delegate();
    m_request = SHKFoursquareV2Request::requestVenuesSearch(m_location, m_query, sharedAs<SHKFoursquareV2VenuesForm>(),
        &SHKFoursquareV2VenuesForm::finishLoadingVenues, sharer ? sharer->accessToken().value_or("") : std::string(), true);
}

void SHKFoursquareV2VenuesForm::finishLoadingVenues(SHKRequest& finished)
{
    auto protect = sharedAs<SHKFoursquareV2VenuesForm>();
    auto& request = static_cast<SHKFoursquareV2Request&>(finished);
    SHKActivityIndicator::currentIndicator().hide();
    m_venues = std::nullopt;
    if (request.success()) {
        Venues venues;
        auto response = request.getFoursquareResponse();
        auto list = response ? response->objectForKeyAs<fnd::Array>("venues") : nullptr;
        for (size_t index = 0; list && index < list->count(); ++index) {
            if (auto entry = list->objectAtIndexAs<fnd::Dictionary>(index))
                venues.push_back(SHKFoursquareV2Venue::venueFromDictionary(*entry));
        }
        if (m_searchDisplayController && m_searchDisplayController->isActive()) {
            m_filteredVenues = std::move(venues);
            m_searchDisplayController->searchResultsTableView()->reloadData();
        } else {
            m_venues = std::move(venues);
            tableView()->reloadData();
        }
    } else if (auto sharer = delegate()) {
        auto error = request.getFoursquareError();
        sharer->sendDidFailWithErrorShouldRelogin(error, error && SHKFoursquareV2Error::getFoursquareRelogin(*error));
    }
    m_request = nullptr;
}

const std::optional<SHKFoursquareV2VenuesForm::Venues>& SHKFoursquareV2VenuesForm::venuesFor(const ui::TableView& table) const
{
    bool isResults = m_searchDisplayController && m_searchDisplayController->searchResultsTableView().get() == &table;
    return isResults ? m_filteredVenues : m_venues;
}

int SHKFoursquareV2VenuesForm::numberOfSectionsInTableView(ui::TableView& table)
{
    return venuesFor(table) ? 1 : 0;
}

int SHKFoursquareV2VenuesForm::numberOfRowsInSection(ui::TableView& table, int)
{
    auto& venues = venuesFor(table);
    return venues ? static_cast<int>(venues->size()) : 0;
}

std::shared_ptr<ui::TableViewCell> SHKFoursquareV2VenuesForm::cellForRowAtIndexPath(ui::TableView& table, const ui::IndexPath& indexPath)
{
    auto cell = table.dequeueReusableCellWithIdentifier(cellIdentifier);
    if (!cell) {
        cell = ui::TableViewCell::create(ui::TableViewCellStyle::Subtitle, std::string(cellIdentifier));
        cell->setAccessoryType(ui::TableViewCellAccessoryType::DisclosureIndicator);
    }
    auto& venues = venuesFor(table);
    if (venues && indexPath.row >= 0 && static_cast<size_t>(indexPath.row) < venues->size()) {
        auto& venue = (*venues)[indexPath.row];
        cell->textLabel()->setText(venue->name.value_or(""));
        cell->detailTextLabel()->setText(venue->address.value_or(""));
    }
    return cell;
}

void SHKFoursquareV2VenuesForm::didSelectRowAtIndexPath(ui::TableView& table, const ui::IndexPath& indexPath)
{
    auto protect = sharedAs<SHKFoursquareV2VenuesForm>();
    auto& venues = venuesFor(table);
    auto sharer = delegate();
    if (!sharer || !venues || indexPath.row < 0 || static_cast<size_t>(indexPath.row) >= venues->size())
        return;
    if (auto navigation = navigationController())
        navigation->popViewControllerAnimated(false);
    sharer->setVenue((*venues)[indexPath.row]);
    sharer->setLocation(m_location);
    sharer->showFoursquareV2CheckInForm();
}

void SHKFoursquareV2VenuesForm::cancel()
{
    auto protect = sharedAs<SHKFoursquareV2VenuesForm>();
    SHK::currentHelper().hideCurrentViewControllerAnimated(true);
    if (auto sharer = delegate())
        sharer->sendDidCancel();
}
