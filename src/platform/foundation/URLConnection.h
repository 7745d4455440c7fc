#pragma once

#include "platform/foundation/URLConnectionDelegate.h"

#include <atomic>
#include <functional>
#include <memory>

namespace fnd {

class ConnectionTransferSink;

// Loads one request in the background and reports to its delegate on the main run loop. While it
// loads, the connection keeps itself and its delegate alive; both are let go once the load has
// finished, failed or been cancelled. Redirects are followed, each offered to the delegate first.
class URLConnection : public std::enable_shared_from_this<URLConnection> {
public:
    // At most this many redirects are followed; one more fails the load.
    static constexpr int maximumRedirects = 16;

    // Starts at once unless told otherwise (start() from another thread takes effect on the main
    // loop). Nothing for a request without a URL.
    static Ref<URLConnection> create(const URLRequest&, std::shared_ptr<URLConnectionDelegate>, bool startImmediately = true);

    using CompletionHandler = std::function<void(const Ref<HTTPURLResponse>&, const Ref<Data>&, const Ref<Error>&)>;
    // Loads the request and calls the handler on the main run loop with the response and the whole
    // body, or with the error.
    static Ref<URLConnection> sendAsynchronousRequest(const URLRequest&, CompletionHandler);
    // Blocks the calling thread until the load ends; redirects are followed. Answers the body, or
    // nothing with the error.
    static Ref<Data> sendSynchronousRequest(const URLRequest&, Ref<HTTPURLResponse>* response, Ref<Error>* error);

    // How many connections are loading now (started and not yet finished, failed or cancelled).
    static size_t loadingCount();

    // The request as first given, and the one being loaded now (after redirects).
    const URLRequest& originalRequest() const { return m_originalRequest; }
    const URLRequest& currentRequest() const { return m_currentRequest; }

    void start();
    // No delegate call follows a cancel made on the main thread.
    void cancel();

    // A redirect's next request: the address resolved against the current one, a POST turned into
    // a GET without a body for 301, 302 and 303. Nothing when the address cannot be resolved.
    static std::optional<URLRequest> requestForRedirect(const URLRequest& current, const HTTPURLResponse& redirectResponse);

    URLConnection(const URLRequest&, std::shared_ptr<URLConnectionDelegate>);
    ~URLConnection();

private:
    friend class ConnectionTransferSink;

    void startOnMainThread();
    void startHop(const URLRequest&);
    void hopReceivedResponse(uint64_t hop, const Ref<HTTPURLResponse>&);
    void hopReceivedData(uint64_t hop, const Ref<Data>&);
    void hopFinished(uint64_t hop, const Ref<Error>&, const Ref<HTTPURLResponse>& redirectResponse, const Ref<Data>& redirectBody);
    void followRedirect(const Ref<HTTPURLResponse>&, const Ref<Data>& redirectBody);
    void finish();
    void fail(const Ref<Error>&);
    void release();

    URLRequest m_originalRequest;
    URLRequest m_currentRequest;
    std::shared_ptr<URLConnectionDelegate> m_delegate;
    // Held while loading, so that a caller need not keep the connection.
    Ref<URLConnection> m_self;
    std::atomic<bool> m_cancelled { false };
    bool m_started = false;
    uint64_t m_hop = 0;
    uint64_t m_transfer = 0;
    int m_redirects = 0;
};

}
