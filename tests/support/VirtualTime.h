#pragma once

#include "platform/foundation/Clock.h"

#include <memory>

namespace brenzo::testing {

// Gives a test its own virtual clock, standing still at uptime 0 until the main run loop is
// advanced, and an empty main run loop. At the end the loop's leftover work is dropped unrun and
// the previous clock comes back, so nothing leaks into the next test.
class VirtualTime {
public:
    VirtualTime();
    ~VirtualTime();
    VirtualTime(const VirtualTime&) = delete;
    VirtualTime& operator=(const VirtualTime&) = delete;

    fnd::VirtualClock& clock() { return *m_clock; }
    double uptime() const { return m_clock->uptime(); }
    // The main run loop's advance(): runs what falls due, each at its time.
    void advance(double seconds);
    void runUntilIdle();

private:
    std::shared_ptr<fnd::Clock> m_previousClock;
    std::shared_ptr<fnd::VirtualClock> m_clock;
};

}
