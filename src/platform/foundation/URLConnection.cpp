#include "platform/foundation/URLConnection.h"

#include "platform/foundation/CurlTransfer.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/URLError.h"
#include "platform/foundation/URLLoader.h"

#include <condition_variable>
#include <mutex>

namespace fnd {

URLConnectionDelegate::~URLConnectionDelegate() = default;

std::optional<URLRequest> URLConnectionDelegate::willSendRequest(URLConnection&, const URLRequest& proposed, const Ref<HTTPURLResponse>&)
{
    return proposed;
}

// Hands one hop's events over to the main run loop.
class ConnectionTransferSink final : public TransferSink {
public:
    ConnectionTransferSink(Ref<URLConnection> connection, uint64_t hop)
        : m_connection(std::move(connection))
        , m_hop(hop)
    {
    }

    void transferReceivedResponse(const Ref<HTTPURLResponse>& response) override
    {
        RunLoop::main().post([connection = m_connection, hop = m_hop, response] {
            connection->hopReceivedResponse(hop, response);
        });
    }

    void transferReceivedData(std::vector<uint8_t>&& bytes) override
    {
        RunLoop::main().post([connection = m_connection, hop = m_hop, data = Data::create(std::move(bytes))] {
            connection->hopReceivedData(hop, data);
        });
    }

    void transferFinished(Outcome&& outcome) override
    {
        auto body = outcome.redirectResponse ? Data::create(std::move(outcome.redirectBody)) : nullptr;
        // The last event: the connection is let go here, so that it can end as soon as the main loop is done with it.
        RunLoop::main().post([connection = std::move(m_connection), hop = m_hop, error = outcome.error, redirect = outcome.redirectResponse, body] {
            connection->hopFinished(hop, error, redirect, body);
        });
    }

private:
    Ref<URLConnection> m_connection;
    uint64_t m_hop;
};

namespace {

// Collects a whole response for a completion handler.
class CompletionDelegate final : public URLConnectionDelegate {
public:
    explicit CompletionDelegate(URLConnection::CompletionHandler handler)
        : m_handler(std::move(handler))
    {
    }

    void didReceiveResponse(URLConnection&, const Ref<HTTPURLResponse>& response) override
    {
        m_response = response;
        m_body.clear();
    }

    void didReceiveData(URLConnection&, const Ref<Data>& data) override
    {
        m_body.insert(m_body.end(), data->bytes(), data->bytes() + data->length());
    }

    void didFinishLoading(URLConnection&) override
    {
        m_handler(m_response, Data::create(std::move(m_body)), nullptr);
    }

    void didFailWithError(URLConnection&, const Ref<Error>& error) override
    {
        m_handler(nullptr, nullptr, error);
    }

private:
    URLConnection::CompletionHandler m_handler;
    Ref<HTTPURLResponse> m_response;
    std::vector<uint8_t> m_body;
};

// A load that the calling thread waits for; redirects are followed on the loader's thread.
class SynchronousLoad final : public TransferSink, public std::enable_shared_from_this<SynchronousLoad> {
public:
    explicit SynchronousLoad(const URLRequest& request)
        : m_request(request)
    {
    }

    void start()
    {
        Ref<Error> error;
        auto transfer = CurlTransfer::create(m_request, shared_from_this(), &error);
        if (!transfer) {
            end(error);
            return;
        }
        URLLoader::shared().start(std::move(transfer));
    }

    void transferReceivedResponse(const Ref<HTTPURLResponse>& response) override
    {
        std::lock_guard guard(m_lock);
        m_response = response;
        m_body.clear();
    }

    void transferReceivedData(std::vector<uint8_t>&& bytes) override
    {
        std::lock_guard guard(m_lock);
        m_body.insert(m_body.end(), bytes.begin(), bytes.end());
    }

    void transferFinished(Outcome&& outcome) override
    {
        if (outcome.error || !outcome.redirectResponse) {
            end(outcome.error);
            return;
        }
        auto next = URLConnection::requestForRedirect(m_request, *outcome.redirectResponse);
        if (!next) {
            std::lock_guard guard(m_lock);
            m_response = outcome.redirectResponse;
            m_body = std::move(outcome.redirectBody);
        } else if (++m_redirects > URLConnection::maximumRedirects) {
            end(URLError::create(URLError::HTTPTooManyRedirects, m_request.url().get()));
            return;
        } else {
            m_request = std::move(*next);
            start();
            return;
        }
        end(nullptr);
    }

    Ref<Data> wait(Ref<HTTPURLResponse>* response, Ref<Error>* error)
    {
        std::unique_lock lock(m_lock);
        m_ended.wait(lock, [&] { return m_done; });
        if (response)
            *response = m_error ? nullptr : m_response;
        if (error)
            *error = m_error;
        return m_error ? nullptr : Data::create(std::move(m_body));
    }

private:
    void end(const Ref<Error>& error)
    {
        std::lock_guard guard(m_lock);
        m_error = error;
        m_done = true;
        m_ended.notify_all();
    }

    URLRequest m_request;
    int m_redirects = 0;
    std::mutex m_lock;
    std::condition_variable m_ended;
    bool m_done = false;
    Ref<HTTPURLResponse> m_response;
    std::vector<uint8_t> m_body;
    Ref<Error> m_error;
};

bool sameOrigin(const URL& first, const URL& second)
{
    return first.scheme() == second.scheme() && first.host() == second.host() && first.port() == second.port();
}

}

Ref<URLConnection> URLConnection::create(const URLRequest& request, std::shared_ptr<URLConnectionDelegate> delegate, bool startImmediately)
{
    if (!request.url())
        return nullptr;
    auto connection = std::make_shared<URLConnection>(request, std::move(delegate));
    if (startImmediately)
        connection->start();
    return connection;
}

Ref<URLConnection> URLConnection::sendAsynchronousRequest(const URLRequest& request, CompletionHandler handler)
{
    if (!request.url()) {
        RunLoop::main().post([handler = std::move(handler)] { handler(nullptr, nullptr, URLError::create(URLError::BadURL)); });
        return nullptr;
    }
    return create(request, std::make_shared<CompletionDelegate>(std::move(handler)));
}

Ref<Data> URLConnection::sendSynchronousRequest(const URLRequest& request, Ref<HTTPURLResponse>* response, Ref<Error>* error)
{
    auto load = std::make_shared<SynchronousLoad>(request);
    load->start();
    return load->wait(response, error);
}

URLConnection::URLConnection(const URLRequest& request, std::shared_ptr<URLConnectionDelegate> delegate)
    : m_originalRequest(request)
    , m_currentRequest(request)
    , m_delegate(std::move(delegate))
{
}

URLConnection::~URLConnection() = default;

void URLConnection::start()
{
    if (!RunLoop::isMainThread()) {
        RunLoop::main().post([connection = shared_from_this()] { connection->startOnMainThread(); });
        return;
    }
    startOnMainThread();
}

static std::atomic<size_t>& loadingConnections()
{
    static std::atomic<size_t> count { 0 };
    return count;
}

size_t URLConnection::loadingCount()
{
    return loadingConnections();
}

void URLConnection::startOnMainThread()
{
    if (m_started || m_cancelled)
        return;
    m_started = true;
    m_self = shared_from_this();
    ++loadingConnections();
    startHop(m_currentRequest);
}

void URLConnection::cancel()
{
    m_cancelled = true;
    auto cancelOnMainThread = [connection = shared_from_this()] {
        if (connection->m_transfer)
            URLLoader::shared().cancel(std::exchange(connection->m_transfer, 0));
        connection->release();
    };
    if (RunLoop::isMainThread())
        cancelOnMainThread();
    else
        RunLoop::main().post(cancelOnMainThread);
}

void URLConnection::startHop(const URLRequest& request)
{
    m_currentRequest = request;
    uint64_t hop = ++m_hop;
    Ref<Error> error;
    auto transfer = CurlTransfer::create(request, std::make_shared<ConnectionTransferSink>(shared_from_this(), hop), &error);
    if (!transfer) {
        // Reported on a later turn of the loop, as every other outcome is.
        RunLoop::main().post([connection = shared_from_this(), hop, error] { connection->hopFinished(hop, error, nullptr, nullptr); });
        return;
    }
    m_transfer = URLLoader::shared().start(std::move(transfer));
}

void URLConnection::hopReceivedResponse(uint64_t hop, const Ref<HTTPURLResponse>& response)
{
    if (m_cancelled || hop != m_hop)
        return;
    if (auto delegate = m_delegate)
        delegate->didReceiveResponse(*this, response);
}

void URLConnection::hopReceivedData(uint64_t hop, const Ref<Data>& data)
{
    if (m_cancelled || hop != m_hop)
        return;
    if (auto delegate = m_delegate)
        delegate->didReceiveData(*this, data);
}

void URLConnection::hopFinished(uint64_t hop, const Ref<Error>& error, const Ref<HTTPURLResponse>& redirectResponse, const Ref<Data>& redirectBody)
{
    if (m_cancelled || hop != m_hop)
        return;
    m_transfer = 0;
    if (error)
        fail(error);
    else if (redirectResponse)
        followRedirect(redirectResponse, redirectBody);
    else
        finish();
}

void URLConnection::followRedirect(const Ref<HTTPURLResponse>& response, const Ref<Data>& body)
{
    auto next = requestForRedirect(m_currentRequest, *response);
    if (next && ++m_redirects > maximumRedirects) {
        fail(URLError::create(URLError::HTTPTooManyRedirects, m_originalRequest.url().get()));
        return;
    }
    auto delegate = m_delegate;
    if (next && delegate)
        next = delegate->willSendRequest(*this, *next, response);
    if (m_cancelled)
        return;
    if (next && next->url()) {
        startHop(*next);
        return;
    }
    // Refused (or unusable): the redirect itself is the answer.
    if (delegate)
        delegate->didReceiveResponse(*this, response);
    if (!m_cancelled && delegate && body && body->length())
        delegate->didReceiveData(*this, body);
    if (!m_cancelled)
        finish();
}

void URLConnection::finish()
{
    auto protect = shared_from_this();
    if (auto delegate = m_delegate)
        delegate->didFinishLoading(*this);
    release();
}

void URLConnection::fail(const Ref<Error>& error)
{
    auto protect = shared_from_this();
    if (auto delegate = m_delegate)
        delegate->didFailWithError(*this, error);
    release();
}

void URLConnection::release()
{
    m_delegate = nullptr;
    if (m_self)
        --loadingConnections();
    m_self = nullptr;
}

std::optional<URLRequest> URLConnection::requestForRedirect(const URLRequest& current, const HTTPURLResponse& redirectResponse)
{
    auto location = redirectResponse.valueForHTTPHeaderField("Location");
    if (!location || !current.url())
        return std::nullopt;
    auto target = URL::create(*location, *current.url());
    if (!target || (target->scheme() != "http" && target->scheme() != "https"))
        return std::nullopt;

    URLRequest next = current;
    next.setURL(target);
    int status = redirectResponse.statusCode();
    bool becomesGet = (status == 303 && current.httpMethod() != "HEAD") || ((status == 301 || status == 302) && current.httpMethod() == "POST");
    if (becomesGet) {
        next.setHTTPMethod("GET");
        next.setHTTPBody(nullptr);
        next.removeHTTPHeaderField("Content-Type");
        next.removeHTTPHeaderField("Content-Length");
    }
    // Credentials meant for one site are not handed to another.
    if (!sameOrigin(*current.url(), *target)) {
        next.removeHTTPHeaderField("Authorization");
        next.removeHTTPHeaderField("Cookie");
    }
    return next;
}

}
