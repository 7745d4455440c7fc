#pragma once

#include "support/HttpForm.h"

#include <httplib.h>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace brenzo::testing {

// What a loopback server was sent.
struct RecordedRequest {
    std::string method;
    // Decoded, without the query.
    std::string path;
    // The request target as sent: path and query still encoded.
    std::string target;
    // The query as received, without the "?".
    std::string query;
    // Values as the HTTP library hands them over: percent escapes already decoded (except in
    // Location and Referer).
    httplib::Headers headers;
    // Empty for multipart/form-data, whose parts the HTTP library parses into `parts`.
    std::string body;
    std::vector<MultipartPart> parts;

    // The field's value (names compared without regard to case), or nothing.
    std::optional<std::string> header(const std::string& name) const;
};

// An HTTP server on 127.0.0.1 and a free port that plays a web service in tests. Register the
// handlers on http() first, then start(); every request handled is recorded. The server stops
// when the object goes. With TLS it serves HTTPS with a self-signed certificate that no client
// trusts.
//
//     LoopbackServer server;
//     server.http().Get("/hello", [](const httplib::Request&, httplib::Response& response) {
//         response.set_content("hi", "text/plain");
//     });
//     server.start();
//     fetch(server.url("/hello"));
class LoopbackServer {
public:
    enum class Transport {
        Plain,
        SelfSignedTLS,
    };

    explicit LoopbackServer(Transport = Transport::Plain);
    ~LoopbackServer();
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    // A loopback port that nothing listens on, for refused connections.
    static int closedPort();

    httplib::Server& http() { return *m_server; }
    void start();
    // Returns once no handler runs any more, so what handlers read may go after it.
    void stop();

    int port() const { return m_port; }
    // "http://127.0.0.1:PORT" (or "https://") followed by the path.
    std::string url(const std::string& path = "/") const;

    std::vector<RecordedRequest> requests() const;
    size_t requestCount() const;
    // The last request handled; nothing before the first.
    std::optional<RecordedRequest> lastRequest() const;

    // For handlers that must answer late (a client's time-out): blocks until releaseWaiters(), the
    // server's end or the limit, whichever comes first.
    void waitUntilReleased(std::chrono::milliseconds limit);
    void releaseWaiters();

private:
    std::unique_ptr<httplib::Server> m_server;
    Transport m_transport;
    int m_port = -1;
    std::thread m_thread;

    mutable std::mutex m_lock;
    std::condition_variable m_released;
    bool m_waitersReleased = false;
    std::vector<RecordedRequest> m_requests;
};

}
