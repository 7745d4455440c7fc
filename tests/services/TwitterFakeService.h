#pragma once

#include "support/HttpForm.h"
#include "support/LoopbackServer.h"
#include "support/OAuth1Checker.h"

#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace brenzo::testing {

// Plays the micro-blog API, the link shortener and the picture host on one loopback server. Every
// signed request is checked with the independent OAuth 1.0 checker; a bad signature is answered
// with 401 and noted as a problem, so a test that ends with no problems saw only valid signatures.
class TwitterFakeService {
public:
    static constexpr const char* consumerKey = "tw-consumer";
    static constexpr const char* consumerSecret = "tw-consumer-secret";
    static constexpr const char* callback = "http://callback.test/twitter";
    static constexpr const char* requestToken = "RT";
    static constexpr const char* requestTokenSecret = "RTS";
    static constexpr const char* accessToken = "AT";
    static constexpr const char* accessTokenSecret = "ATS";

    TwitterFakeService()
    {
        auto& http = m_server.http();
        http.Post("/oauth/request_token", [this](const httplib::Request& request, httplib::Response& response) {
            if (!verify(request, response, "").ok)
                return;
            response.set_content(std::string("oauth_token=") + requestToken + "&oauth_token_secret=" + requestTokenSecret, "text/plain");
        });
        http.Get("/oauth/authorize", [](const httplib::Request&, httplib::Response& response) {
            response.set_content("<html><head><title>Authorize Brenzo?</title></head><body><a href='/oauth/allow'>Allow</a></body></html>", "text/html");
        });
        http.Get("/oauth/allow", [](const httplib::Request&, httplib::Response& response) {
            response.set_redirect(std::string(callback) + "?oauth_token=" + requestToken + "&oauth_verifier=V");
        });
        http.Post("/oauth/access_token", [this](const httplib::Request& request, httplib::Response& response) {
            // xAuth asks without a request token.
            bool xAuth = request.body.find("x_auth_mode") != std::string::npos;
            if (!verify(request, response, xAuth ? "" : requestTokenSecret).ok)
                return;
            std::lock_guard guard(m_lock);
            m_accessTokenForms.push_back(decodeForm(request.body));
            response.status = m_answers.accessTokenStatus;
            response.set_content(m_answers.accessTokenReply, "text/plain");
        });
        http.Post("/1/statuses/update.json", [this](const httplib::Request& request, httplib::Response& response) {
            if (!verify(request, response, accessTokenSecret).ok)
                return;
            std::lock_guard guard(m_lock);
            m_statuses.push_back(formValue(decodeForm(request.body), "status").value_or("<none>"));
            response.status = m_answers.statusReplyCode;
            response.set_content(m_answers.statusReply, "application/json");
            if (!m_answers.nextStatusReplies.empty()) {
                m_answers.statusReplyCode = m_answers.nextStatusReplies.front().first;
                m_answers.statusReply = m_answers.nextStatusReplies.front().second;
                m_answers.nextStatusReplies.erase(m_answers.nextStatusReplies.begin());
            }
        });
        http.Get("/1/account/verify_credentials.json", [this](const httplib::Request& request, httplib::Response& response) {
            if (!verify(request, response, accessTokenSecret).ok)
                return;
            response.set_content(R"({"id":12,"screen_name":"brenzo","location":null,"status":{"text":"hi","place":null}})", "application/json");
        });
        http.Post(R"(/1/friendships/create/(.+)\.json)", [this](const httplib::Request& request, httplib::Response& response) {
            if (!verify(request, response, accessTokenSecret).ok)
                return;
            std::lock_guard guard(m_lock);
            m_follows.push_back(request.matches[1]);
            response.set_content("{}", "application/json");
        });
        http.Get("/v3/shorten", [this](const httplib::Request&, httplib::Response& response) {
            std::lock_guard guard(m_lock);
            response.status = m_answers.shortenerStatus;
            response.set_content(m_answers.shortenerReply, "text/plain");
        });
        http.Post("/api/2/upload.xml", [this](const httplib::Request& request, httplib::Response& response) {
            if (!verifyUpload(request, response))
                return;
            std::lock_guard guard(m_lock);
            response.status = m_answers.uploadStatus;
            response.set_content(m_answers.uploadReply, "application/xml");
        });
        m_server.start();
    }

    std::string url(const std::string& path = "") const { return m_server.url(path); }
    LoopbackServer& server() { return m_server; }

    std::vector<std::string> problems() const
    {
        std::lock_guard guard(m_lock);
        return m_problems;
    }
    std::vector<std::string> statuses() const
    {
        std::lock_guard guard(m_lock);
        return m_statuses;
    }
    std::vector<std::string> follows() const
    {
        std::lock_guard guard(m_lock);
        return m_follows;
    }
    std::vector<FormPairs> accessTokenForms() const
    {
        std::lock_guard guard(m_lock);
        return m_accessTokenForms;
    }
    // "METHOD /path" of every request, in order.
    std::vector<std::string> calls() const
    {
        std::vector<std::string> calls;
        for (auto& request : m_server.requests())
            calls.push_back(request.method + " " + request.path);
        return calls;
    }

    // What the service answers.
    struct Answers {
        int accessTokenStatus = 200;
        std::string accessTokenReply = std::string("oauth_token=") + accessToken + "&oauth_token_secret=" + accessTokenSecret;
        int statusReplyCode = 200;
        std::string statusReply = R"({"id":1})";
        // Replies for the status updates after the next one, in order.
        std::vector<std::pair<int, std::string>> nextStatusReplies;
        int shortenerStatus = 200;
        std::string shortenerReply = "http://bit.ly/abc\n";
        int uploadStatus = 200;
        std::string uploadReply = "<?xml version=\"1.0\"?><image><id>9</id><URL>http://img.test/9</URL></image>";
    };

    // Changes what the service answers, under the lock its handlers read them with.
    void answer(const std::function<void(Answers&)>& change)
    {
        std::lock_guard guard(m_lock);
        change(m_answers);
    }

private:
    static OAuth1Request requestFor(const httplib::Request& request, const std::string& address, const std::string& authorization)
    {
        return { request.method, address, authorization, request.get_header_value("Content-Type"), request.body, true };
    }

    OAuth1Result check(const OAuth1Request& signedRequest, const std::string& tokenSecret, const std::string& what, httplib::Response& response)
    {
        auto result = OAuth1Checker(consumerSecret, tokenSecret).check(signedRequest);
        std::lock_guard guard(m_lock);
        if (result.ok && result.parameter("oauth_consumer_key") != consumerKey) {
            result.ok = false;
            result.reason = "consumer key " + result.parameter("oauth_consumer_key").value_or("<none>");
        }
        if (result.ok)
            return result;
        m_problems.push_back(what + ": " + result.reason);
        response.status = 401;
        response.set_content(R"({"error":"Incorrect signature"})", "application/json");
        return result;
    }

    OAuth1Result verify(const httplib::Request& request, httplib::Response& response, const std::string& tokenSecret)
    {
        auto signedRequest = requestFor(request, m_server.url(request.target), request.get_header_value("Authorization"));
        return check(signedRequest, tokenSecret, request.method + " " + request.path, response);
    }

    // OAuth Echo: the upload is signed for the picture host, and carries the API's own signed
    // request for the account, which the host replays to learn who is asking.
    bool verifyUpload(const httplib::Request& request, httplib::Response& response)
    {
        auto provider = m_server.url("/1/account/verify_credentials.json");
        if (request.get_header_value("X-Auth-Service-Provider") != provider) {
            std::lock_guard guard(m_lock);
            m_problems.push_back("upload names provider " + request.get_header_value("X-Auth-Service-Provider"));
        }
        OAuth1Request echoed { "GET", provider, request.get_header_value("X-Verify-Credentials-Authorization"), "", "", true };
        auto echoedResult = check(echoed, accessTokenSecret, "echoed credentials", response);
        if (!echoedResult.ok)
            return false;
        auto uploadResult = verify(request, response, accessTokenSecret);
        if (!uploadResult.ok)
            return false;
        auto media = request.get_file_value("media");
        auto message = request.get_file_value("message");
        std::lock_guard guard(m_lock);
        for (auto* result : { &echoedResult, &uploadResult }) {
            if (result->realm != m_server.url("/"))
                m_problems.push_back("signed without the API realm: " + result->realm.value_or("<none>"));
        }
        if (media.filename != "upload.jpg" || media.content_type != "image/jpg" || media.content.substr(0, 2) != "\xFF\xD8")
            m_problems.push_back("upload media part: " + media.filename + " " + media.content_type);
        m_uploadMessages.push_back(message.content);
        return true;
    }

    mutable std::mutex m_lock;
    Answers m_answers;
    std::vector<std::string> m_problems;
    std::vector<std::string> m_statuses;
    std::vector<std::string> m_follows;
    std::vector<FormPairs> m_accessTokenForms;

public:
    std::vector<std::string> uploadMessages() const
    {
        std::lock_guard guard(m_lock);
        return m_uploadMessages;
    }

private:
    std::vector<std::string> m_uploadMessages;
    LoopbackServer m_server;
};

}
