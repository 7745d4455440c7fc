#include "ServiceSharerTest.h"

#include "platform/foundation/String.h"
#include "platform/location/LocationManager.h"
#include "platform/location/LocationSimulator.h"
#include "platform/ui/SearchBar.h"
#include "platform/ui/SearchDisplayController.h"
#include "platform/ui/TableViewCell.h"
#include "platform/ui/WebView.h"
#include "services/foursquare/SHKFoursquareV2.h"
#include "services/foursquare/SHKFoursquareV2CheckInForm.h"
#include "services/foursquare/SHKFoursquareV2Error.h"
#include "services/foursquare/SHKFoursquareV2OAuthView.h"
#include "services/foursquare/SHKFoursquareV2Venue.h"
#include "services/foursquare/SHKFoursquareV2VenuesForm.h"
#include "sharing/core/MySHKConfigurator.h"
#include "support/HttpForm.h"

#include <gtest/gtest.h>

#include <locale>

namespace brenzo::testing {

namespace {

constexpr std::string_view callback = "brenzo://foursquare/done";

// A recorded search reply: one place with a primary category, one without a location, one whose
// categories are none of them primary.
constexpr std::string_view venuesReply = R"({"meta":{"code":200},"response":{"venues":[
    {"id":"v1","name":"Caf\u00e9 Amsterdam","location":{"address":"Damrak 1"},
     "categories":[{"primary":false,"icon":"bar.png"},{"primary":true,"icon":"cafe.png"}]},
    {"id":"v2","name":"Central Station","categories":[{"primary":true,"icon":"train.png"}]},
    {"id":"v3","name":"Dam Square","location":{"address":"Dam"},"categories":[{"icon":"plaza.png"}]}]}})";

class FoursquareConfigurator : public MySHKConfigurator {
public:
    explicit FoursquareConfigurator(std::string redirect)
        : m_redirect(std::move(redirect))
    {
    }
    std::string foursquareV2ClientId() const override { return "client&1"; }
    std::string foursquareV2RedirectURI() const override { return m_redirect; }

private:
    std::string m_redirect;
};

class FoursquareCheckInTest : public ServiceSharerTest {
protected:
    explicit FoursquareCheckInTest(std::string redirect = std::string(callback))
        : ServiceSharerTest(std::make_shared<FoursquareConfigurator>(std::move(redirect)), { "fsq.api", "fsq.oauth" })
    {
        loc::LocationSimulator::resetForTesting();
        reply("/venues/search", { 200, std::string(venuesReply), std::nullopt });
        reply("/checkins/add", { 200, R"({"meta":{"code":200},"response":{}})", std::nullopt });
        // The service sends the user on through a page of its own whose address names the callback.
        reply("/oauth2/authenticate", { 302, "", std::nullopt, "http://other.test/next?to=brenzo://foursquare/done#access_token=tok%2F1&expires=never&bare" });
    }

    ~FoursquareCheckInTest() override { loc::LocationSimulator::resetForTesting(); }

    static fnd::Ref<SHKItem> textItem() { return SHKItem::createWithText(std::string("a b&c")); }
    static void storeToken() { SHK::setAuthValueForKeyForSharer("tok", SHKFoursquareV2::accessTokenKey, "SHKFoursquareV2"); }
    static loc::Location amsterdam() { return { .latitude = 52.374031, .longitude = 4.889689, .horizontalAccuracy = 65, .altitude = 2.5, .verticalAccuracy = 10 }; }

    std::shared_ptr<SHKFoursquareV2VenuesForm> shownVenues()
    {
        shownForm();
        auto sharer = std::dynamic_pointer_cast<SHKSharer>(SHK::currentHelper().currentView());
        return sharer ? std::dynamic_pointer_cast<SHKFoursquareV2VenuesForm>(sharer->topViewController()) : nullptr;
    }

    static std::vector<std::string> rowsOf(ui::TableView& table)
    {
        std::vector<std::string> rows;
        table.layoutIfNeeded();
        for (int row = 0; table.numberOfSections() > 0 && row < table.numberOfRowsInSection(0); ++row) {
            auto cell = table.cellForRowAtIndexPath(ui::IndexPath::forRow(row, 0));
            rows.push_back(cell ? cell->textLabel()->text() + " / " + cell->detailTextLabel()->text() : "(no cell)");
        }
        return rows;
    }
};

class FoursquareWithoutCallbackTest : public FoursquareCheckInTest {
protected:
    FoursquareWithoutCallbackTest()
        : FoursquareCheckInTest("")
    {
    }
};

}

TEST_F(FoursquareCheckInTest, TheWebLoginTakesTheTokenFromTheCallbacksFragment)
{
    auto sharer = makeSharer<SHKFoursquareV2>(textItem());
    sharer->share();
    ASSERT_TRUE(waitUntil([&] { return sharer->accessToken().has_value(); }));
    auto sent = requests();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].path, "/oauth2/authenticate");
    EXPECT_EQ(sent[0].query, "client_id=client&1&response_type=token&redirect_uri=brenzo%3A%2F%2Ffoursquare%2Fdone");

    // Nothing in the fragment is decoded.
    EXPECT_EQ(sharer->accessToken(), "tok%2F1");
    EXPECT_EQ(SHK::getAuthValueForKeyForSharer("accessToken", "SHKFoursquareV2"), "tok%2F1");
    EXPECT_EQ(events().front(), "auth yes");
    // The pending share went on to the places.
    EXPECT_TRUE(shownVenues());

    auto pairs = SHKOAuthView::parametersOf("one=1&bare&two=a=b");
    ASSERT_TRUE(pairs);
    EXPECT_EQ(pairs->count(), 1u);
}

TEST_F(FoursquareCheckInTest, ACallbackWithoutATokenIsAFailedLogin)
{
    auto sharer = makeSharer<SHKFoursquareV2>(textItem());
    auto view = SHKFoursquareV2OAuthView::createWithURLDelegate(fnd::URL::create(m_server.url("/page")),
        std::shared_ptr<SHKOAuthViewDelegate>(sharer, sharer.get()));
    sharer->setPendingAction(SHKSharer::PendingActionShare);
    auto redirect = fnd::URLRequest(fnd::URL::create("brenzo://foursquare/done#error=access_denied"));
    EXPECT_FALSE(view->shouldStartLoadWithRequest(*view->webView(), redirect, ui::WebViewNavigationType::Other));
    settle();
    EXPECT_EQ(alertTexts(), (std::vector<std::string> { "Access Error: There was an error while sharing [Close]" }));
    EXPECT_EQ(events(), (std::vector<std::string> { "auth no" }));
    EXPECT_FALSE(SHK::getAuthValueForKeyForSharer("accessToken", "SHKFoursquareV2"));
    EXPECT_FALSE(view->delegate());
}

TEST_F(FoursquareWithoutCallbackTest, AnEmptyCallbackMatchesNoPage)
{
    auto sharer = makeSharer<SHKFoursquareV2>(textItem());
    auto view = SHKFoursquareV2OAuthView::createWithURLDelegate(fnd::URL::create(m_server.url("/page")),
        std::shared_ptr<SHKOAuthViewDelegate>(sharer, sharer.get()));
    auto page = fnd::URLRequest(fnd::URL::create(m_server.url("/oauth2/authenticate?client_id=x#access_token=t")));
    EXPECT_TRUE(view->shouldStartLoadWithRequest(*view->webView(), page, ui::WebViewNavigationType::Other));
    EXPECT_TRUE(view->delegate());
    EXPECT_TRUE(events().empty());
}

TEST_F(FoursquareCheckInTest, PlacesAreSearchedOnTheFirstFixAndByTheSearchButtonThenCheckedInAt)
{
    storeToken();
    loc::LocationSimulator::setFix(amsterdam());
    makeSharer<SHKFoursquareV2>(textItem())->share();
    auto venues = shownVenues();
    ASSERT_TRUE(venues);
    EXPECT_EQ(venues->title(), "Nearby Places");
    EXPECT_EQ(venues->searchBar()->placeholder(), "Search places");
    ASSERT_TRUE(waitUntil([&] { return venues->venues().has_value(); }));
    EXPECT_EQ(rowsOf(*venues->tableView()), (std::vector<std::string> { "Caf\xc3\xa9 Amsterdam / Damrak 1", "Central Station / ", "Dam Square / Dam" }));
    EXPECT_EQ((*venues->venues())[0]->icon, "cafe.png");
    EXPECT_FALSE((*venues->venues())[1]->address);
    EXPECT_FALSE((*venues->venues())[2]->icon);

    // A later fix of the same visit searches nothing; a search of blanks neither.
    auto moved = amsterdam();
    moved.latitude = 52.3791;
    loc::LocationSimulator::setFix(moved);
    settle();
    venues->searchBar()->setText("  \n ");
    venues->searchBarSearchButtonClicked(*venues->searchBar());
    EXPECT_FALSE(venues->query());
    settle();
    EXPECT_EQ(m_server.requestCount(), 1u);

    venues->searchDisplayController()->searchBarBeganEditing();
    venues->searchBar()->setText(" caf\xc3\xa9 & co ");
    venues->searchBarSearchButtonClicked(*venues->searchBar());
    ASSERT_TRUE(waitUntil([&] { return venues->filteredVenues().has_value(); }));
    EXPECT_EQ(rowsOf(*venues->searchDisplayController()->searchResultsTableView()).size(), 3u);

    auto sent = requests();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].method, "GET");
    EXPECT_EQ(sent[0].path, "/venues/search");
    EXPECT_EQ(sent[0].query, "oauth_token=tok&v=20110927&ll=52.37403,4.88969&llAcc=65.00&alt=2.50&altAcc=10.00");
    EXPECT_EQ(sent[1].query, "oauth_token=tok&v=20110927&ll=52.37910,4.88969&llAcc=65.00&alt=2.50&altAcc=10.00&query=caf%C3%A9%20%26%20co");

    venues->didSelectRowAtIndexPath(*venues->searchDisplayController()->searchResultsTableView(), ui::IndexPath::forRow(0, 0));
    auto sharer = venues->delegate();
    ASSERT_TRUE(sharer);
    EXPECT_EQ(sharer->venue()->venueId, "v1");
    ASSERT_TRUE(sharer->location());
    EXPECT_DOUBLE_EQ(sharer->location()->latitude, 52.3791);
    settle();
    auto checkIn = std::dynamic_pointer_cast<SHKFoursquareV2CheckInForm>(sharer->topViewController());
    ASSERT_TRUE(checkIn);
    EXPECT_EQ(checkIn->maxTextLength(), 140u);
    EXPECT_EQ(checkIn->textView()->text(), "a b&c");
    press("Check In");
    ASSERT_TRUE(waitFor(3, 2));

    sent = requests();
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_EQ(sent[2].method, "POST");
    EXPECT_EQ(sent[2].path, "/checkins/add");
    EXPECT_EQ(sent[2].query, "oauth_token=tok&v=20110927&venueId=v1&ll=52.37910,4.88969&llAcc=65.00&alt=2.50&altAcc=10.00&shout=a%20b%26c");
    EXPECT_EQ(sent[2].body, "");
    EXPECT_EQ(events(), (std::vector<std::string> { "started", "finished" }));
}

TEST_F(FoursquareCheckInTest, CheckInFailuresTakeTheirCodeFromTheMeta)
{
    storeToken();
    // The new login a rejected token asks for waits on its page.
    reply("/oauth2/authenticate", { 200, "<html><title>Log in</title></html>", std::nullopt });
    std::vector<std::pair<PeerReply, std::string>> cases = {
        { { 500, R"({"meta":{"code":500,"errorType":"server_error"}})", std::nullopt }, "failed: There was an error while sharing" },
        { { 502, "<html>Bad gateway</html>", std::nullopt }, "failed: There was an error while sharing" },
        { { 401, R"({"meta":{"code":401,"errorType":"invalid_auth"}})", std::nullopt }, "failed: Could not authenticate you. Please relogin. relogin" },
    };
    std::vector<fnd::Ref<fnd::Error>> errors;
    for (auto& [peerReply, outcome] : cases) {
        reply("/checkins/add", peerReply);
        auto eventCount = events().size();
        auto sharer = makeSharer<SHKFoursquareV2>(SHKItem::createWithText(std::string("")));
        ASSERT_TRUE(sharer->isAuthorized());
        sharer->setVenue(SHKFoursquareV2Venue::venueFromDictionary(*fnd::Dictionary::create({ { fnd::String::create("id"), fnd::String::create("v9") } })));
        sharer->startCheckInRequest();
        ASSERT_TRUE(waitFor(errors.size() + 1, eventCount + 2));
        EXPECT_EQ(events().back(), outcome);
        errors.push_back(sharer->lastError());
        takeAlerts();
    }
    // Without a fix the position items are zeros; an empty message sends no shout.
    EXPECT_EQ(requests()[0].query, "oauth_token=tok&v=20110927&venueId=v9&ll=0.00000,0.00000&llAcc=0.00&alt=0.00&altAcc=0.00");
    ASSERT_EQ(errors.size(), 3u);
    ASSERT_TRUE(errors[0] && errors[1] && errors[2]);
    EXPECT_EQ(errors[0]->domain(), "SHKFoursquareV2ErrorDomain");
    EXPECT_EQ(errors[0]->code(), 500);
    EXPECT_EQ(fnd::descriptionOf(errors[0]->userInfo()->objectForKey("SHKFoursquareV2ErrorTypeKey")), "server_error");
    EXPECT_EQ(errors[1]->code(), 0);
    EXPECT_FALSE(errors[1]->userInfo()->objectForKey("SHKFoursquareV2MetaKey"));
    EXPECT_EQ(errors[2]->code(), 401);
    auto shown = std::dynamic_pointer_cast<ui::NavigationController>(SHK::currentHelper().currentView());
    ASSERT_TRUE(shown);
    EXPECT_TRUE(std::dynamic_pointer_cast<SHKFoursquareV2OAuthView>(shown->topViewController()));
}

TEST_F(FoursquareCheckInTest, TheSharerIsOfferedOnlyWhereThePositionMayBeKnown)
{
    EXPECT_TRUE(SHKFoursquareV2::canShare());
    loc::LocationSimulator::setAuthorizationStatus(loc::AuthorizationStatus::Authorized);
    EXPECT_TRUE(SHKFoursquareV2::canShare());
    loc::LocationSimulator::setAuthorizationStatus(loc::AuthorizationStatus::Denied);
    EXPECT_FALSE(SHKFoursquareV2::canShare());
    loc::LocationSimulator::setAuthorizationStatus(loc::AuthorizationStatus::Restricted);
    EXPECT_FALSE(SHKFoursquareV2::canShare());
    loc::LocationSimulator::setAuthorizationStatus(loc::AuthorizationStatus::Authorized);
    loc::LocationSimulator::setServicesEnabled(false);
    EXPECT_FALSE(SHKFoursquareV2::canShare());
}

TEST_F(FoursquareCheckInTest, CoordinatesKeepTheirDecimalPointWhateverTheLocale)
{
    struct CommaDecimals : std::numpunct<char> {
        char do_decimal_point() const override { return ','; }
    };
    auto previous = std::locale::global(std::locale(std::locale::classic(), new CommaDecimals));
    auto url = SHKFoursquareV2Request::venuesSearchURL(amsterdam(), std::nullopt, "tok");
    std::locale::global(previous);
    ASSERT_TRUE(url);
    EXPECT_EQ(url->query(), "oauth_token=tok&v=20110927&ll=52.37403,4.88969&llAcc=65.00&alt=2.50&altAcc=10.00");
}

}
