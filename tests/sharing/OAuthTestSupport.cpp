#include "OAuthTestSupport.h"

#include "platform/foundation/RunLoop.h"
#include "sharing/oauth/OAMutableURLRequest.h"

namespace brenzo::testing {

FixedOAuthMoment::FixedOAuthMoment(double secondsSince1970, std::string nonce)
    : m_previousClock(fnd::Clock::currentShared())
    , m_clock(std::make_shared<fnd::VirtualClock>(secondsSince1970))
{
    fnd::RunLoop::main().resetForTesting();
    fnd::Clock::setCurrent(m_clock);
    OAMutableURLRequest::setNonceSource([nonce] { return nonce; });
}

FixedOAuthMoment::~FixedOAuthMoment()
{
    OAMutableURLRequest::setNonceSource(nullptr);
    fnd::RunLoop::main().resetForTesting();
    fnd::Clock::setCurrent(m_previousClock);
}

}
