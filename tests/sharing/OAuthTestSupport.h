#pragma once

#include "platform/foundation/Clock.h"

#include <memory>
#include <string>

namespace brenzo::testing {

// Fixes what a signed request takes from its surroundings: the process clock stands at the given
// second since 1970 and every nonce is the given text. Both come back at the end.
class FixedOAuthMoment {
public:
    FixedOAuthMoment(double secondsSince1970, std::string nonce);
    ~FixedOAuthMoment();
    FixedOAuthMoment(const FixedOAuthMoment&) = delete;
    FixedOAuthMoment& operator=(const FixedOAuthMoment&) = delete;

    fnd::VirtualClock& clock() { return *m_clock; }

private:
    std::shared_ptr<fnd::Clock> m_previousClock;
    std::shared_ptr<fnd::VirtualClock> m_clock;
};

}
