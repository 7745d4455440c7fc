#include "FacebookTestSupport.h"

#include "json/JsonCodec.h"
#include "platform/foundation/Date.h"
#include "platform/foundation/FileManager.h"
#include "platform/foundation/String.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/graphics/Image.h"
#include "platform/ui/Application.h"
#include "platform/ui/Device.h"
#include "services/facebook/Facebook.h"
#include "services/facebook/SHKFacebook.h"
#include "sharing/ui/SHKFormControllerLargeTextField.h"

#include <gtest/gtest.h>

#include <deque>

using namespace brenzo::testing;

namespace {

constexpr std::string_view returnPrefix = "fb517390286044913://authorize";

fnd::UserDefaults& defaults()
{
    return *fnd::UserDefaults::standardUserDefaults();
}

class FacebookSharerTest : public FacebookTest {
protected:
    FacebookSharerTest()
    {
        m_server.http().Get("/dialog/oauth", [this](const httplib::Request& request, httplib::Response& response) {
            m_logins.record(request);
            response.set_redirect("fbconnect://success#access_token=DIALOGTOKEN&expires_in=3600");
        });
        m_server.http().Get("/dialog/feed", [this](const httplib::Request& request, httplib::Response& response) {
            m_feedDialogs.record(request);
            response.set_redirect(nextReply(m_feedRedirects, "fbconnect://success?post_id=1"));
        });
        m_server.http().Post("/me/photos", [this](const httplib::Request& request, httplib::Response& response) {
            m_posts.record(request);
            response.set_content("{\"id\":\"9\"}", "application/json");
        });
        m_server.http().Post("/me/feed", [this](const httplib::Request& request, httplib::Response& response) {
            m_posts.record(request);
            auto reply = nextReply(m_feedReplies, "{\"id\":\"10\"}");
            response.status = reply.find("error") == std::string::npos ? 200 : 400;
            response.set_content(reply, "application/json");
        });
        m_server.http().Get("/me", [](const httplib::Request&, httplib::Response& response) {
            response.set_content("{\"id\":\"7\",\"name\":\"Ann\",\"location\":null}", "application/json");
        });
        startServer();
        ui::Application::shared().setCanOpenScheme("fbauth", true);
    }

    // The server lives in the base fixture, longer than the queues its handlers read.
    ~FacebookSharerTest() override { m_server.stop(); }

    // The handlers read these queues on the server's threads.
    void queue(std::deque<std::string>& replies, std::string reply)
    {
        std::lock_guard guard(m_repliesLock);
        replies.push_back(std::move(reply));
    }

    std::string nextReply(std::deque<std::string>& replies, std::string otherwise)
    {
        std::lock_guard guard(m_repliesLock);
        if (replies.empty())
            return otherwise;
        auto reply = replies.front();
        replies.pop_front();
        return reply;
    }

    static void storeToken(std::string token, double secondsLeft)
    {
        defaults().setObjectForKey(fnd::String::create(token), SHKFacebook::accessTokenKey);
        defaults().setObjectForKey(fnd::Date::now()->addingTimeInterval(secondsLeft), SHKFacebook::expiryDateKey);
    }

    std::shared_ptr<SHKFacebook> share(fnd::Ref<SHKItem> item)
    {
        auto sharer = SHKSharer::create<SHKFacebook>();
        sharer->loadItem(std::move(item));
        sharer->share();
        return sharer;
    }

    static fnd::Ref<SHKItem> link()
    {
        return SHKItem::createWithURL(fnd::URL::create("https://store.example.com/apps/brenzo"), "Brenzo");
    }

    // Lets presentations and animations end.
    void pump()
    {
        m_time.runUntilIdle();
        m_time.advance(1);
        ui::Application::shared().layoutIfNeeded();
    }

    std::shared_ptr<SHKFormControllerLargeTextField> composeScreen(SHKFacebook& sharer)
    {
        pump();
        return std::dynamic_pointer_cast<SHKFormControllerLargeTextField>(sharer.topViewController());
    }

    bool finished(size_t count = 1)
    {
        return settle([&] { return notificationCount("SHKSendDidFinish") >= count; });
    }

    CallLog m_logins;
    CallLog m_feedDialogs;
    CallLog m_posts;
    std::mutex m_repliesLock;
    std::deque<std::string> m_feedRedirects;
    std::deque<std::string> m_feedReplies;
};

}

TEST_F(FacebookSharerTest, LinkShareLogsInThroughTheDialogAndPostsThroughTheFeedDialog)
{
    ui::Device::current().setMultitaskingSupported(false);
    std::weak_ptr<SHKFacebook> sharer = share(link());
    EXPECT_TRUE(defaults().dictionaryForKey(SHKFacebook::storedItemKey));
    EXPECT_FALSE(sharer.expired());

    ASSERT_TRUE(finished());
    EXPECT_EQ(m_logins.count(), 1u);
    EXPECT_EQ(m_logins.calls().front().param("scope"), "publish_stream,offline_access");
    EXPECT_EQ(defaults().stringForKey(SHKFacebook::accessTokenKey), "DIALOGTOKEN");
    EXPECT_FALSE(defaults().dictionaryForKey(SHKFacebook::storedItemKey));

    ASSERT_EQ(m_feedDialogs.count(), 1u);
    auto feed = m_feedDialogs.calls().front();
    EXPECT_EQ(feed.param("app_id"), "517390286044913");
    EXPECT_EQ(feed.param("access_token"), "DIALOGTOKEN");
    EXPECT_EQ(feed.param("link"), "https://store.example.com/apps/brenzo");
    EXPECT_EQ(feed.param("name"), "Brenzo");
    EXPECT_EQ(feed.param("redirect_uri"), "fbconnect://success");
    EXPECT_EQ(feed.param("message"), "<absent>");
    JsonCodec codec;
    auto actions = fnd::as<fnd::Dictionary>(codec.objectWithString(fnd::String::create(feed.param("actions"))));
    ASSERT_TRUE(actions) << feed.param("actions");
    EXPECT_EQ(actions->stringForKey("name"), "Get My App Name");
    EXPECT_EQ(actions->stringForKey("link"), "https://www.example.com");

    EXPECT_EQ(notifications(), (std::vector<std::string> { "SHKAuthDidFinish", "SHKSendDidFinish" }));
    EXPECT_TRUE(openedURLs().empty());
    pump();
    EXPECT_TRUE(sharer.expired());
}

TEST_F(FacebookSharerTest, PictureShareUploadsTheMultipartBodyWithTheToken)
{
    storeToken("STORED", 600);
    auto picture = solidImage(4, 3, 1, 0, 0);
    auto sharer = share(SHKItem::createWithImage(picture, "Old title"));
    auto form = composeScreen(*sharer);
    ASSERT_TRUE(form);
    EXPECT_EQ(form->image(), picture);
    ASSERT_TRUE(form->textView());
    EXPECT_EQ(form->textView()->text(), "Old title");
    form->textView()->setText("Our board");
    form->save();
    ASSERT_TRUE(finished());

    ASSERT_EQ(m_posts.count(), 1u);
    auto post = m_posts.calls().front();
    EXPECT_EQ(post.path, "/me/photos");
    EXPECT_EQ(post.param("access_token"), "STORED");
    EXPECT_EQ(post.param("caption"), "Our board");
    EXPECT_EQ(post.param("message"), "<absent>");
    EXPECT_EQ(post.param("picture"), "<absent>");
    EXPECT_EQ(post.userAgent, "FacebookConnect");
    ASSERT_EQ(post.parts.count("caption"), 1u);
    EXPECT_EQ(post.parts.find("caption")->second.content, "Our board");
    EXPECT_EQ(post.parts.count("actions"), 1u);
    // The picture part has a file name and no field name.
    ASSERT_EQ(post.parts.count(""), 1u);
    auto& part = post.parts.find("")->second;
    EXPECT_EQ(part.content_type, "image/png");
    auto uploaded = gfx::Image::createWithData(*fnd::Data::create(part.content));
    ASSERT_TRUE(uploaded);
    EXPECT_EQ(uploaded->size(), picture->size());
    EXPECT_EQ(notifications(), (std::vector<std::string> { "SHKSendDidStartNotification", "SHKSendDidFinish" }));
}

TEST_F(FacebookSharerTest, ExpiredTokenAsksForANewLoginThatSendsThePendingShare)
{
    storeToken("OLD", -1);
    share(link());
    ASSERT_EQ(openedURLs().size(), 1u);
    EXPECT_TRUE(openedURLs().front().starts_with("fbauth://authorize?client_id=517390286044913"));
    EXPECT_TRUE(m_feedDialogs.calls().empty());

    EXPECT_FALSE(SHKFacebook::handleOpenURL(*fnd::URL::create("fb42://authorize#access_token=X")));
    EXPECT_TRUE(SHKFacebook::handleOpenURL(*fnd::URL::create(std::string(returnPrefix) + "#access_token=NEW&expires_in=3600")));
    ASSERT_TRUE(finished());
    ASSERT_EQ(m_feedDialogs.count(), 1u);
    EXPECT_EQ(m_feedDialogs.calls().front().param("access_token"), "NEW");
    EXPECT_EQ(m_feedDialogs.calls().front().param("link"), "https://store.example.com/apps/brenzo");
    EXPECT_EQ(defaults().stringForKey(SHKFacebook::accessTokenKey), "NEW");
    auto expiry = fnd::as<fnd::Date>(defaults().objectForKey(SHKFacebook::expiryDateKey));
    ASSERT_TRUE(expiry);
    EXPECT_DOUBLE_EQ(expiry->timeIntervalSinceNow(), 3600);
}

TEST_F(FacebookSharerTest, ParkedPictureComesBackAndItsFileIsDeletedEvenWhenUnreadable)
{
    auto folder = fnd::FileManager::cachesDirectory() / "SHKImage";
    auto parkedFiles = [&] { return fnd::FileManager::contentsOfDirectory(folder).value_or(std::vector<std::string> {}); };
    auto picture = solidImage(5, 5, 0, 1, 0);

    auto sharer = share(SHKItem::createWithImage(picture, "Board"));
    ASSERT_EQ(parkedFiles().size(), 1u);
    EXPECT_TRUE(parkedFiles().front().starts_with("img-"));
    EXPECT_EQ(defaults().dictionaryForKey(SHKFacebook::storedItemKey)->stringForKey("imagePath"), (folder / parkedFiles().front()).string());
    EXPECT_TRUE(SHKFacebook::handleOpenURL(*fnd::URL::create(std::string(returnPrefix) + "#access_token=T")));
    EXPECT_TRUE(parkedFiles().empty());
    auto form = composeScreen(*sharer);
    ASSERT_TRUE(form);
    ASSERT_TRUE(form->image());
    EXPECT_EQ(form->image()->size(), picture->size());
    form->cancel();

    SHKFacebook::flushAccessToken();
    auto second = share(SHKItem::createWithImage(picture, "Board"));
    ASSERT_EQ(parkedFiles().size(), 1u);
    ASSERT_TRUE(fnd::FileManager::writeAtomically(folder / parkedFiles().front(), std::string_view("not a picture")));
    EXPECT_TRUE(SHKFacebook::handleOpenURL(*fnd::URL::create(std::string(returnPrefix) + "#access_token=T")));
    EXPECT_TRUE(parkedFiles().empty());
    EXPECT_FALSE(second->item()->image());
    auto secondForm = composeScreen(*second);
    ASSERT_TRUE(secondForm);
    secondForm->cancel();
}

TEST_F(FacebookSharerTest, GraphError190LogsInAgainAndResendsThePost)
{
    storeToken("STORED", 600);
    queue(m_feedReplies, "{\"error\":{\"type\":\"OAuthException\",\"code\":190,\"message\":\"Error validating access token\"}}");
    auto sharer = share(SHKItem::createWithText("Hello"));
    auto form = composeScreen(*sharer);
    ASSERT_TRUE(form);
    form->save();
    ASSERT_TRUE(settle([&] { return !openedURLs().empty(); }));
    EXPECT_EQ(sharer->pendingAction(), SHKSharer::PendingActionSend);
    EXPECT_TRUE(alertTexts().empty());
    EXPECT_EQ(notificationCount("SHKSendDidFinish"), 0u);

    EXPECT_TRUE(SHKFacebook::handleOpenURL(*fnd::URL::create(std::string(returnPrefix) + "#access_token=FRESH&expires_in=0")));
    ASSERT_TRUE(finished());
    auto posts = m_posts.calls();
    ASSERT_EQ(posts.size(), 2u);
    EXPECT_EQ(posts[0].param("access_token"), "STORED");
    EXPECT_EQ(posts[1].param("access_token"), "FRESH");
    EXPECT_EQ(posts[1].param("message"), "Hello");
    EXPECT_TRUE(alertTexts().empty());
}

TEST_F(FacebookSharerTest, FeedDialogError190LogsInAgainAndOtherCodesFail)
{
    storeToken("STORED", 600);
    queue(m_feedRedirects, "fbconnect://success?error_code=190&error_msg=Expired");
    share(link());
    ASSERT_TRUE(settle([&] { return !openedURLs().empty(); }));
    EXPECT_EQ(notificationCount("SHKSendDidFinish"), 0u);
    EXPECT_FALSE(defaults().stringForKey(SHKFacebook::accessTokenKey));
    EXPECT_TRUE(alertTexts().empty());

    EXPECT_TRUE(SHKFacebook::handleOpenURL(*fnd::URL::create(std::string(returnPrefix) + "#access_token=FRESH")));
    ASSERT_TRUE(finished());
    ASSERT_EQ(m_feedDialogs.count(), 2u);
    EXPECT_EQ(m_feedDialogs.calls().back().param("access_token"), "FRESH");

    // Posting skipped: no post id, and nothing to say about it.
    queue(m_feedRedirects, "fbconnect://success");
    auto skipped = share(link());
    ASSERT_TRUE(finished(2));
    EXPECT_TRUE(skipped->quiet());

    queue(m_feedRedirects, "fbconnect://success?error_code=100&error_msg=Invalid%20link");
    share(link());
    ASSERT_TRUE(settle([&] { return notificationCount("SHKSendDidFailWithError") == 2; }));
    pump();
    EXPECT_EQ(notificationCount("SHKSendDidFinish"), 2u);
    EXPECT_EQ(alertTexts(), (std::vector<std::string> { "Error: Invalid link" }));
}

TEST_F(FacebookSharerTest, UserInfoIsStoredAndLogoutForgetsEverything)
{
    storeToken("STORED", 600);
    auto sharer = SHKSharerClass::of<SHKFacebook>().getUserInfo();
    ASSERT_TRUE(finished());
    auto profile = defaults().dictionaryForKey(SHKFacebook::userInfoKey);
    ASSERT_TRUE(profile);
    EXPECT_EQ(profile->stringForKey("name"), "Ann");
    EXPECT_EQ(profile->stringForKey("location"), "");

    defaults().setObjectForKey(fnd::Dictionary::create(), SHKFacebook::storedItemKey);
    SHKSharerClass::of<SHKFacebook>().logout();
    for (auto key : { SHKFacebook::accessTokenKey, SHKFacebook::expiryDateKey, SHKFacebook::userInfoKey, SHKFacebook::storedItemKey })
        EXPECT_FALSE(defaults().objectForKey(key)) << key;
    EXPECT_FALSE(SHKFacebook::facebook()->isSessionValid());
    EXPECT_FALSE(SHKSharerClass::of<SHKFacebook>().isServiceAuthorized());
}
