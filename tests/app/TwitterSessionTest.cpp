#include "ScriptedSession.h"

#include "support/HttpForm.h"
#include "support/LoopbackServer.h"
#include "support/OAuth1Checker.h"

#include <fstream>
#include <mutex>

namespace brenzo::testing {

namespace {

// The application's own Twitter keys and callback.
constexpr const char* consumerKey = "brenzo-twitter-consumer";
constexpr const char* consumerSecret = "brenzo-twitter-secret";
constexpr const char* callback = "http://brenzo.example.com/twitter-callback";

// The service side of the whole road: request token, the consent page, access token and the
// status update, each signature checked with the independent checker.
class TwitterPeer {
public:
    TwitterPeer()
    {
        auto& http = m_server.http();
        http.Post("/oauth/request_token", [this](const httplib::Request& request, httplib::Response& response) {
            if (check(request, "", response))
                response.set_content("oauth_token=RT&oauth_token_secret=RTS&oauth_callback_confirmed=true", "text/plain");
        });
        http.Get("/oauth/authorize", [](const httplib::Request&, httplib::Response& response) {
            response.set_content("<html><head><title>Authorize Brenzo</title></head><body><a href='/oauth/allow'>Allow</a></body></html>", "text/html");
        });
        http.Get("/oauth/allow", [](const httplib::Request&, httplib::Response& response) {
            response.set_redirect(std::string(callback) + "?oauth_token=RT&oauth_verifier=V");
        });
        http.Post("/oauth/access_token", [this](const httplib::Request& request, httplib::Response& response) {
            if (check(request, "RTS", response))
                response.set_content("oauth_token=AT&oauth_token_secret=ATS", "text/plain");
        });
        http.Post("/1/statuses/update.json", [this](const httplib::Request& request, httplib::Response& response) {
            if (!check(request, "ATS", response))
                return;
            std::lock_guard guard(m_lock);
            m_statuses.push_back(formValue(decodeForm(request.body), "status").value_or("<none>"));
            response.set_content(R"({"id":1})", "application/json");
        });
        m_server.start();
    }

    std::string url() const { return m_server.url(""); }
    std::vector<std::string> statuses() const
    {
        std::lock_guard guard(m_lock);
        return m_statuses;
    }
    std::string problems() const
    {
        std::lock_guard guard(m_lock);
        return m_problems;
    }
    std::vector<std::string> calls() const
    {
        std::vector<std::string> calls;
        for (auto& request : m_server.requests())
            calls.push_back(request.method + " " + request.path);
        return calls;
    }

private:
    bool check(const httplib::Request& request, const std::string& tokenSecret, httplib::Response& response)
    {
        OAuth1Request signedRequest { request.method, m_server.url(request.target), request.get_header_value("Authorization"),
            request.get_header_value("Content-Type"), request.body, true };
        auto result = OAuth1Checker(consumerSecret, tokenSecret).check(signedRequest);
        if (result.ok && result.parameter("oauth_consumer_key") == consumerKey)
            return true;
        std::lock_guard guard(m_lock);
        m_problems += request.path + ": " + result.reason + "\n";
        response.status = 401;
        return false;
    }

    mutable std::mutex m_lock;
    std::vector<std::string> m_statuses;
    std::string m_problems;
    LoopbackServer m_server;
};

class TwitterSession : public ScriptedSession {
protected:
    // One launch with the Twitter endpoints pointed at the peer.
    Session runWithPeer(const std::string& script)
    {
        auto services = m_folder.path() / "services.txt";
        std::ofstream(services) << "tw.api=" << m_peer.url() << "\n";
        auto scriptPath = m_folder.path() / "session.txt";
        std::ofstream(scriptPath) << script;
        return runShellCommand(std::string("'") + BRENZO_APP_PATH + "' --home '" + home().string() + "' --services '" + services.string() + "' --script '"
            + scriptPath.string() + "' 2>'" + (m_folder.path() / "log.txt").string() + "'");
    }

    TwitterPeer m_peer;
};

}

TEST_F(TwitterSession, ShareToTwitterLogsInComposesAndPostsASignedStatus)
{
    auto session = runWithPeer("press \"action\"\n"
                               "press \"Twitter\"\n"
                               "wait 2\n"
                               "tree\n"
                               "press \"Allow\"\n"
                               "wait 2\n"
                               "wait 1\n"
                               "tree\n"
                               "press \"Send to Twitter\"\n"
                               "wait 0\n"
                               "tree\n"
                               "wait 2\n"
                               "quit\n");
    std::string output;
    for (auto& line : session.lines)
        output += line + "\n";
    EXPECT_EQ(session.status, 0) << output << log();

    EXPECT_EQ(m_peer.problems(), "");
    EXPECT_EQ(m_peer.calls(), (std::vector<std::string> { "POST /oauth/request_token", "GET /oauth/authorize", "GET /oauth/allow",
                                  "POST /oauth/access_token", "POST /1/statuses/update.json" }));
    EXPECT_EQ(m_peer.statuses(), std::vector<std::string> { "\"Geek or not, everyone needs Brenzo!\" 12 contacts ready to be dialed in only 2 taps "
                                                            "https://store.example.com/apps/brenzo" });
    EXPECT_TRUE(session.containsLine("title=\"Authorize Brenzo\"")) << log();
    EXPECT_TRUE(session.containsLine("controller=SHKCustomFormControllerLargeTextField")) << log();
    EXPECT_TRUE(session.containsLine("text=\"Saved!\"")) << log();
}

}
