#include "platform/foundation/URLRequest.h"

namespace fnd {

URLRequest::URLRequest(Ref<URL> url, CachePolicy cachePolicy, double timeoutInterval)
    : m_url(std::move(url))
    , m_timeoutInterval(timeoutInterval)
    , m_cachePolicy(cachePolicy)
{
}

URLRequest::~URLRequest() = default;

void URLRequest::setHTTPBody(const Ref<Data>& body)
{
    // A caller's mutable data must not change the request after the fact.
    m_body = body ? std::static_pointer_cast<Data>(body->immutableCopy()) : nullptr;
}

}
