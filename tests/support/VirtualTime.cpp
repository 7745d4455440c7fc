#include "support/VirtualTime.h"

#include "platform/foundation/RunLoop.h"

namespace brenzo::testing {

VirtualTime::VirtualTime()
    : m_previousClock(fnd::Clock::currentShared())
    , m_clock(std::make_shared<fnd::VirtualClock>())
{
    fnd::RunLoop::main().resetForTesting();
    fnd::Clock::setCurrent(m_clock);
}

VirtualTime::~VirtualTime()
{
    fnd::RunLoop::main().resetForTesting();
    fnd::Clock::setCurrent(m_previousClock);
}

void VirtualTime::advance(double seconds)
{
    fnd::RunLoop::main().advance(seconds);
}

void VirtualTime::runUntilIdle()
{
    fnd::RunLoop::main().runUntilIdle();
}

}
