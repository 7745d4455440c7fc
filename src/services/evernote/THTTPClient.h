#pragma once

#include "platform/foundation/URLRequest.h"

#include <thrift/transport/TVirtualTransport.h>

#include <cstdint>
#include <string>
#include <vector>

// The note service's HTTP transport: what the protocol writes is collected and sent as the body of
// one POST when it flushes, and the reply's body is then read from its start. Every failure is a
// TTransportException: "Could not make HTTP request" when no reply came, "Bad response from HTTP
// server: %d" for any status but 200. One thread uses it at a time.
class THTTPClient final : public apache::thrift::transport::TVirtualTransport<THTTPClient> {
public:
    // An address that is not a URL fails at the first flush.
    explicit THTTPClient(const std::string& url);

    bool isOpen() const override { return true; }
    bool peek() override { return m_readOffset < m_reply.size(); }
    void open() override { }
    void close() override { }

    uint32_t read(uint8_t* buffer, uint32_t length);
    // The whole reply is at hand, so the protocol reads strings in place; a length beyond the
    // reply's end can never be met and fails at once, before anything is allocated for it.
    const uint8_t* borrow(uint8_t* buffer, uint32_t* length);
    void consume(uint32_t length);
    void write(const uint8_t* bytes, uint32_t length);
    void flush() override;

    const fnd::URLRequest& request() const { return m_request; }

private:
    static constexpr size_t initialRequestCapacity = 1024;

    fnd::URLRequest m_request;
    std::string m_requestBuffer;
    std::vector<uint8_t> m_reply;
    size_t m_readOffset = 0;
};
