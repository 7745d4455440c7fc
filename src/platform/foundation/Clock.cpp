#include "platform/foundation/Clock.h"

#include <chrono>

namespace fnd {

namespace {

std::mutex& clockLock()
{
    static std::mutex lock;
    return lock;
}

std::shared_ptr<Clock>& installedClock()
{
    static std::shared_ptr<Clock> clock = std::make_shared<RealClock>();
    return clock;
}

}

Clock::~Clock() = default;

Clock& Clock::current()
{
    // The installed clock lives until the process ends or another is installed; callers do not
    // keep the reference across an installation.
    std::lock_guard guard(clockLock());
    return *installedClock();
}

std::shared_ptr<Clock> Clock::currentShared()
{
    std::lock_guard guard(clockLock());
    return installedClock();
}

void Clock::setCurrent(std::shared_ptr<Clock> clock)
{
    std::lock_guard guard(clockLock());
    // Keep every installed clock alive: references handed out by current() must stay valid.
    static std::vector<std::shared_ptr<Clock>> retired;
    retired.push_back(installedClock());
    installedClock() = std::move(clock);
}

double RealClock::now() const
{
    using namespace std::chrono;
    return duration<double>(system_clock::now().time_since_epoch()).count();
}

double RealClock::uptime() const
{
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

VirtualClock::VirtualClock(double startSince1970)
    : m_start(startSince1970)
{
}

double VirtualClock::now() const
{
    return m_start + m_uptime.load();
}

double VirtualClock::uptime() const
{
    return m_uptime.load();
}

void VirtualClock::advanceBy(double seconds)
{
    if (seconds > 0)
        m_uptime.store(m_uptime.load() + seconds);
}

void VirtualClock::setUptime(double seconds)
{
    if (seconds > m_uptime.load())
        m_uptime.store(seconds);
}

}
