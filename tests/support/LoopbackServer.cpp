#include "support/LoopbackServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <openssl/evp.h>
#include <openssl/x509.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace brenzo::testing {

namespace {

// A server with a fresh elliptic-curve key and a certificate for 127.0.0.1 signed by that key.
std::unique_ptr<httplib::Server> makeSelfSignedServer()
{
    std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)> key(EVP_EC_gen("P-256"), EVP_PKEY_free);
    std::unique_ptr<X509, decltype(&X509_free)> certificate(X509_new(), X509_free);
    if (!key || !certificate)
        throw std::runtime_error("cannot make a test certificate");
    ASN1_INTEGER_set(X509_get_serialNumber(certificate.get()), 1);
    X509_gmtime_adj(X509_getm_notBefore(certificate.get()), 0);
    X509_gmtime_adj(X509_getm_notAfter(certificate.get()), 24 * 60 * 60);
    X509_set_pubkey(certificate.get(), key.get());
    X509_NAME* name = X509_get_subject_name(certificate.get());
    X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC, reinterpret_cast<const unsigned char*>("127.0.0.1"), -1, -1, 0);
    X509_set_issuer_name(certificate.get(), name);
    if (!X509_sign(certificate.get(), key.get(), EVP_sha256()))
        throw std::runtime_error("cannot sign a test certificate");
    // The server's context keeps its own references.
    return std::make_unique<httplib::SSLServer>(certificate.get(), key.get());
}

}

std::optional<std::string> RecordedRequest::header(const std::string& name) const
{
    auto found = headers.find(name);
    if (found == headers.end())
        return std::nullopt;
    return found->second;
}

int LoopbackServer::closedPort()
{
    int descriptor = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(descriptor, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    ::getsockname(descriptor, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(descriptor);
    return ntohs(address.sin_port);
}

LoopbackServer::LoopbackServer(Transport transport)
    : m_server(transport == Transport::SelfSignedTLS ? makeSelfSignedServer() : std::make_unique<httplib::Server>())
    , m_transport(transport)
{
    m_port = m_server->bind_to_any_port("127.0.0.1");
    if (m_port <= 0)
        throw std::runtime_error("cannot bind a loopback port");
    // One request per connection: a client's idle kept-alive connection would hold up stop().
    m_server->set_keep_alive_max_count(1);
    // Recorded after the handler but before the response goes out, so a client that has its answer
    // always finds its request recorded.
    m_server->set_post_routing_handler([this](const httplib::Request& request, httplib::Response&) {
        RecordedRequest record;
        record.method = request.method;
        record.path = request.path;
        record.target = request.target;
        auto question = request.target.find('?');
        if (question != std::string::npos)
            record.query = request.target.substr(question + 1);
        record.headers = request.headers;
        record.body = request.body;
        record.parts = partsOf(request.files);
        std::lock_guard guard(m_lock);
        m_requests.push_back(std::move(record));
    });
}

LoopbackServer::~LoopbackServer()
{
    stop();
}

void LoopbackServer::stop()
{
    releaseWaiters();
    m_server->stop();
    if (m_thread.joinable())
        m_thread.join();
}

void LoopbackServer::start()
{
    // The socket already listens, so clients may connect before this thread accepts them.
    m_thread = std::thread([this] { m_server->listen_after_bind(); });
    // stop() is ignored until the server runs, so a quick test could otherwise leave it accepting for ever.
    while (!m_server->is_running())
        std::this_thread::yield();
}

std::string LoopbackServer::url(const std::string& path) const
{
    std::string scheme = m_transport == Transport::SelfSignedTLS ? "https" : "http";
    return scheme + "://127.0.0.1:" + std::to_string(m_port) + path;
}

std::vector<RecordedRequest> LoopbackServer::requests() const
{
    std::lock_guard guard(m_lock);
    return m_requests;
}

size_t LoopbackServer::requestCount() const
{
    std::lock_guard guard(m_lock);
    return m_requests.size();
}

std::optional<RecordedRequest> LoopbackServer::lastRequest() const
{
    std::lock_guard guard(m_lock);
    if (m_requests.empty())
        return std::nullopt;
    return m_requests.back();
}

void LoopbackServer::waitUntilReleased(std::chrono::milliseconds limit)
{
    std::unique_lock lock(m_lock);
    m_released.wait_for(lock, limit, [this] { return m_waitersReleased; });
}

void LoopbackServer::releaseWaiters()
{
    std::lock_guard guard(m_lock);
    m_waitersReleased = true;
    m_released.notify_all();
}

}
