#include "ScriptedSession.h"

#include "support/LoopbackServer.h"

#include <fstream>
#include <mutex>

namespace brenzo::testing {

namespace {

// Plays Facebook's mobile site: the feed dialog answers by sending the browser to the dialog's
// success address, as the service does once the post is made.
class FacebookSite {
public:
    FacebookSite()
    {
        m_server.http().Get("/dialog/feed", [this](const httplib::Request& request, httplib::Response& response) {
            std::lock_guard guard(m_lock);
            m_feeds.push_back(request.params);
            response.set_redirect("fbconnect://success?post_id=1");
        });
        m_server.start();
    }

    std::filesystem::path writeServicesFile(const std::filesystem::path& folder) const
    {
        auto path = folder / "services.txt";
        std::ofstream file(path);
        for (auto key : { "fb.graph", "fb.rest", "fb.m", "fb.login" })
            file << key << "=" << m_server.url("") << "\n";
        return path;
    }

    std::string url(const std::string& path) const { return m_server.url(path); }

    std::vector<httplib::Params> feeds() const
    {
        std::lock_guard guard(m_lock);
        return m_feeds;
    }

private:
    mutable std::mutex m_lock;
    std::vector<httplib::Params> m_feeds;
    // Last, so it stops before what its handlers touch goes away.
    LoopbackServer m_server;
};

std::string param(const httplib::Params& params, const std::string& name)
{
    auto found = params.find(name);
    return found == params.end() ? "<absent>" : found->second;
}

}

TEST_F(ScriptedSession, TheShareButtonPostsToFacebookAfterALoginThatReturnsThroughAnIncomingAddress)
{
    FacebookSite site;
    auto services = site.writeServicesFile(m_folder.path());
    auto session = run("press \"action\"\n"
                       "press \"Facebook\"\n"
                       "wait 1\n"
                       "open-url fb517390286044913://authorize#access_token=TERMINALTOKEN&expires_in=3600\n"
                       "wait 0\n"
                       "tree\n"
                       "quit\n",
        "--services '" + services.string() + "'");
    EXPECT_EQ(session.status, 0) << log();
    ASSERT_FALSE(session.lines.empty());
    EXPECT_EQ(session.lines.front(), "action sheet \"Share\" [Facebook] [Twitter] [SMS] [More...] [Cancel]");

    // No Facebook application here: the login goes to the browser, which returns to the
    // application's own address.
    EXPECT_TRUE(session.containsLine(
        "refused URL fbauth://authorize?client_id=517390286044913&type=user_agent&redirect_uri=fbconnect%3A%2F%2Fsuccess&display=touch&sdk=ios"
        "&scope=publish_stream%2Coffline_access"));
    EXPECT_TRUE(session.containsLine("opened URL " + site.url("/dialog/oauth")
        + "?client_id=517390286044913&type=user_agent&redirect_uri=fb517390286044913%3A%2F%2Fauthorize&display=touch&sdk=ios"
          "&scope=publish_stream%2Coffline_access"));

    auto feeds = site.feeds();
    ASSERT_EQ(feeds.size(), 1u) << log();
    EXPECT_EQ(param(feeds.front(), "access_token"), "TERMINALTOKEN");
    EXPECT_EQ(param(feeds.front(), "link"), "https://store.example.com/apps/brenzo");
    EXPECT_EQ(param(feeds.front(), "app_id"), "517390286044913");
    EXPECT_TRUE(session.containsLine("text=\"Saved!\""));

    auto preferences = readFile(home() / "Library" / "Preferences" / "com.brenzo.Brenzo.plist");
    EXPECT_NE(preferences.find("TERMINALTOKEN"), std::string::npos);
    EXPECT_EQ(preferences.find("kSHKStoredItem"), std::string::npos);
}

}
