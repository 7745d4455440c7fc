#include "TwitterTest.h"

#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/Unicode.h"
#include "platform/twitter/TweetComposeViewController.h"
#include "services/twitter/SHKiOS5Twitter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A sheet that takes texts of at most `limit` UTF-16 units and records every offer.
struct OfferLog {
    size_t limit;
    std::vector<std::string> offers;

    bool accept(const std::string& text)
    {
        offers.push_back(text);
        return fnd::unicode::utf16Length(text) <= limit;
    }
};

std::vector<size_t> lengths(const std::vector<std::string>& texts)
{
    std::vector<size_t> result;
    for (auto& text : texts)
        result.push_back(fnd::unicode::utf16Length(text));
    return result;
}

}

TEST(TwitterTweetSheetTest, InitialTextShrinksOneCharacterAtATimeUntilTheSheetTakesIt)
{
    OfferLog sheet { 137, {} };
    auto accepted = SHKiOS5Twitter::offerInitialText(std::string(200, 'a'), [&](auto& text) { return sheet.accept(text); });
    EXPECT_EQ(lengths(sheet.offers), (std::vector<size_t> { 140, 139, 138, 137 }));
    EXPECT_EQ(accepted, std::string(137, 'a'));

    OfferLog empty { 140, {} };
    EXPECT_EQ(SHKiOS5Twitter::offerInitialText("", [&](auto& text) { return empty.accept(text); }), "");
    EXPECT_EQ(empty.offers, std::vector<std::string> { "" });

    OfferLog refusing { 0, {} };
    auto none = SHKiOS5Twitter::offerInitialText("abc", [&](auto& text) { return refusing.accept(text) && !text.empty(); });
    EXPECT_FALSE(none);
    EXPECT_EQ(refusing.offers, (std::vector<std::string> { "abc", "ab", "a", "" }));
}

TEST(TwitterTweetSheetTest, ACutNeverFallsInsideASurrogatePair)
{
    // 139 letters and an emoji: 141 units, the 140th and 141st being one character.
    const std::string emoji = "\xF0\x9F\x98\x80";
    OfferLog sheet { 140, {} };
    auto accepted = SHKiOS5Twitter::offerInitialText(std::string(139, 'a') + emoji + "b", [&](auto& text) { return sheet.accept(text); });
    EXPECT_EQ(lengths(sheet.offers), std::vector<size_t> { 139 });
    EXPECT_EQ(accepted, std::string(139, 'a'));

    OfferLog small { 2, {} };
    accepted = SHKiOS5Twitter::offerInitialText("a" + emoji + "b", [&](auto& text) { return small.accept(text); });
    EXPECT_EQ(small.offers, (std::vector<std::string> { "a" + emoji + "b", "a" + emoji, "a" }));
    EXPECT_EQ(accepted, "a");
}

namespace {

// The platform's tweet sheet switched on for one test, with the notifications a share posts.
class TwitterTweetSheetRouteTest : public brenzo::testing::TwitterTest {
protected:
    TwitterTweetSheetRouteTest()
    {
        tw::TweetComposeViewController::setAvailable(true);
        for (auto name : { SHKSharer::sendDidFinishNotification, SHKSharer::sendDidCancelNotification, SHK::hideCurrentViewFinishedNotification }) {
            m_observers.push_back(fnd::NotificationCenter::defaultCenter().addObserver(std::string(name), nullptr,
                [this, name](const fnd::Notification&) { m_posted.push_back(std::string(name)); }));
        }
    }

    ~TwitterTweetSheetRouteTest() override { tw::TweetComposeViewController::setAvailable(false); }

    std::shared_ptr<tw::TweetComposeViewController> shownSheet()
    {
        settle();
        return std::dynamic_pointer_cast<tw::TweetComposeViewController>(m_root->presentedViewController());
    }

    std::vector<fnd::ObserverToken> m_observers;
    std::vector<std::string> m_posted;
};

}

TEST_F(TwitterTweetSheetRouteTest, WithTheSheetAShareGoesToItAndTheStoredLoginIsForgotten)
{
    storeLogin();
    auto item = SHKItem::createWithURL(fnd::URL::create("http://example.com/a"), std::string(200, 't'));
    item->setImage(brenzo::testing::solidImage(4, 4, 0, 1, 0));
    auto sharer = makeSharer(item);
    EXPECT_TRUE(sharer->twitterFrameworkAvailable());
    sharer->share();

    auto sheet = shownSheet();
    ASSERT_TRUE(sheet);
    EXPECT_EQ(sheet->text(), std::string(140, 't'));
    ASSERT_EQ(sheet->urls().size(), 1u);
    EXPECT_EQ(sheet->urls().front()->absoluteString(), "http://example.com/a");
    EXPECT_EQ(sheet->images().size(), 1u);
    EXPECT_FALSE(SHK::getAuthValueForKeyForSharer("accessKey", "SHKTwitter"));
    EXPECT_FALSE(SHK::getAuthValueForKeyForSharer("accessSecret", "SHKTwitter"));
    EXPECT_TRUE(m_service.calls().empty());

    sheet->send();
    settle();
    EXPECT_FALSE(m_root->presentedViewController());
    EXPECT_EQ(m_posted, (std::vector<std::string> { "SHKSendDidFinish", "SHKHideCurrentViewFinished" }));
    // Asking again also forgets any login and answers no.
    storeLogin();
    EXPECT_FALSE(makeSharer(SHKItem::createWithText("x"))->isAuthorized());
    EXPECT_FALSE(SHK::getAuthValueForKeyForSharer("accessKey", "SHKTwitter"));
}

TEST_F(TwitterTweetSheetRouteTest, TheSheetWaitsForTheSharingScreenShownToGo)
{
    SHK::currentHelper().showViewController(ui::ViewController::create());
    settle();
    makeSharer(SHKItem::createWithText("Waiting text"))->share();
    EXPECT_FALSE(shownSheet());

    SHK::currentHelper().hideCurrentViewController();
    settle();
    auto sheet = shownSheet();
    ASSERT_TRUE(sheet);
    EXPECT_EQ(sheet->text(), "Waiting text");
    sheet->cancel();
    settle();
    EXPECT_EQ(m_posted, (std::vector<std::string> { "SHKHideCurrentViewFinished", "SHKSendDidCancel", "SHKHideCurrentViewFinished" }));
}

TEST_F(TwitterTweetSheetRouteTest, WithTheSheetForcedOffTheWebLoginIsUsed)
{
    m_configuration->forcePreIOS5 = true;
    auto sharer = makeSharer(SHKItem::createWithText("Hi"));
    EXPECT_FALSE(sharer->twitterFrameworkAvailable());
    sharer->share();
    EXPECT_TRUE(waitForAuthorizePage());
    EXPECT_FALSE(shownSheet());
    EXPECT_EQ(problems(), "");
    EXPECT_EQ(m_service.calls(), (std::vector<std::string> { "POST /oauth/request_token", "GET /oauth/authorize" }));
}

TEST_F(TwitterTweetSheetRouteTest, WithoutTheSheetTheWebLoginIsUsed)
{
    tw::TweetComposeViewController::setAvailable(false);
    storeLogin();
    auto sharer = makeSharer(SHKItem::createWithText("Hi"));
    EXPECT_FALSE(sharer->twitterFrameworkAvailable());
    EXPECT_TRUE(sharer->isAuthorized());
    SHK::removeAuthValueForKeyForSharer("accessKey", "SHKTwitter");
    sharer = makeSharer(SHKItem::createWithText("Hi"));
    sharer->share();
    EXPECT_TRUE(waitForAuthorizePage());
    EXPECT_EQ(problems(), "");
    EXPECT_EQ(m_service.calls(), (std::vector<std::string> { "POST /oauth/request_token", "GET /oauth/authorize" }));
}
