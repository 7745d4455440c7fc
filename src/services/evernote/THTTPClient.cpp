#include "services/evernote/THTTPClient.h"

#include "platform/foundation/Format.h"
#include "platform/foundation/URLConnection.h"

#include <thrift/transport/TTransportException.h>

#include <algorithm>
#include <cstring>

using apache::thrift::transport::TTransportException;

THTTPClient::THTTPClient(const std::string& url)
    : m_request(fnd::URL::create(url), fnd::URLRequest::CachePolicy::ReloadIgnoringLocalCacheData)
{
    m_request.setHTTPMethod("POST");
    m_request.setValueForHTTPHeaderField("application/x-thrift", "Content-Type");
    m_request.setValueForHTTPHeaderField("application/x-thrift", "Accept");
    m_request.setValueForHTTPHeaderField("Cocoa/THTTPClient", "User-Agent");
    m_requestBuffer.reserve(initialRequestCapacity);
}

uint32_t THTTPClient::read(uint8_t* buffer, uint32_t length)
{
    auto available = std::min<size_t>(length, m_reply.size() - m_readOffset);
    std::memcpy(buffer, m_reply.data() + m_readOffset, available);
    m_readOffset += available;
    countConsumedMessageBytes(static_cast<long>(available));
    return static_cast<uint32_t>(available);
}

const uint8_t* THTTPClient::borrow(uint8_t*, uint32_t* length)
{
    size_t available = m_reply.size() - m_readOffset;
    if (*length > available)
        throw TTransportException(TTransportException::END_OF_FILE, "No more data to read.");
    *length = static_cast<uint32_t>(available);
    return m_reply.data() + m_readOffset;
}

void THTTPClient::consume(uint32_t length)
{
    if (length > m_reply.size() - m_readOffset)
        throw TTransportException(TTransportException::BAD_ARGS, "consume did not follow a borrow.");
    m_readOffset += length;
    countConsumedMessageBytes(static_cast<long>(length));
}

void THTTPClient::write(const uint8_t* bytes, uint32_t length)
{
    m_requestBuffer.append(reinterpret_cast<const char*>(bytes), length);
}

void THTTPClient::flush()
{
    m_request.setHTTPBody(fnd::Data::create(m_requestBuffer));
    m_requestBuffer.clear();
    m_reply.clear();
    m_readOffset = 0;

    fnd::Ref<fnd::HTTPURLResponse> response;
    fnd::Ref<fnd::Error> error;
    auto body = fnd::URLConnection::sendSynchronousRequest(m_request, &response, &error);
    if (!response)
        throw TTransportException(TTransportException::UNKNOWN, "Could not make HTTP request");
    if (response->statusCode() != 200)
        throw TTransportException(TTransportException::UNKNOWN, fnd::format("Bad response from HTTP server: %d", response->statusCode()));
    if (error || !body)
        throw TTransportException(TTransportException::UNKNOWN, "Could not make HTTP request");
    m_reply = body->vector();
    // The reply bounds what the protocol may read (lists are checked against it too).
    resetConsumedMessageSize();
    resetConsumedMessageSize(static_cast<long>(m_reply.size()));
}
