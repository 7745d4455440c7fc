#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

namespace fnd {

// All time comes from here: the real clock in the application, a virtual one in tests and scripted
// sessions, so that delays are tested exactly and without sleeping.
class Clock {
public:
    virtual ~Clock();

    // Seconds since 1970-01-01 00:00:00 UTC.
    virtual double now() const = 0;
    // Seconds on a clock that never goes backwards; what timers and delays are measured on.
    virtual double uptime() const = 0;
    virtual bool isVirtual() const { return false; }

    static Clock& current();
    static std::shared_ptr<Clock> currentShared();
    // Installs a clock for the whole process; nothing restores the real one.
    static void setCurrent(std::shared_ptr<Clock>);
};

class RealClock final : public Clock {
public:
    double now() const override;
    double uptime() const override;
};

// Stands still until advanced. The run loop advances it while running what falls due.
class VirtualClock final : public Clock {
public:
    explicit VirtualClock(double startSince1970 = 1291161600.0 /* 2010-12-01 */);

    double now() const override;
    double uptime() const override;
    bool isVirtual() const override { return true; }

    void advanceBy(double seconds);
    void setUptime(double seconds);

private:
    const double m_start;
    std::atomic<double> m_uptime { 0 };
};

}
