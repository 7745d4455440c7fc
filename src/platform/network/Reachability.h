#pragma once

#include "platform/network/IPAddress.h"
#include "platform/network/ReachabilityFlags.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <sys/socket.h>

namespace fnd {
class Timer;
}

namespace net {

// Whether an address or a host could be reached now, read from this machine's interfaces and
// routes. Tests and the terminal driver override what every reference answers.
//
// A reference can also watch for changes: with a callback set and scheduled on the main run loop,
// it looks again every few seconds and at each change of the override, and calls back on the main
// thread when the flags differ from the last ones it saw.
class Reachability : public std::enable_shared_from_this<Reachability> {
public:
    using Callback = std::function<void(Reachability&, ReachabilityFlags)>;

    static constexpr double pollInterval = 2.0;

    // Nil for an address that is neither IPv4 nor IPv6 or is shorter than its family's.
    static std::shared_ptr<Reachability> createWithAddress(const sockaddr*, socklen_t length);
    static std::shared_ptr<Reachability> createWithAddress(const IPAddress&);
    // Nil for an empty name. The name is looked up when the flags are read, never for longer than
    // HostResolver's time-out; a name that does not resolve (in time) is not reachable.
    static std::shared_ptr<Reachability> createWithHostName(std::string_view);

    // Nothing when the flags cannot be read.
    std::optional<ReachabilityFlags> flags() const;

    const std::optional<IPAddress>& address() const { return m_address; }
    const std::string& hostName() const { return m_hostName; }

    // Main thread. Nil removes the callback.
    void setCallback(Callback);
    bool scheduleOnMainRunLoop();
    void unscheduleFromMainRunLoop();
    bool isScheduled() const { return m_timer != nullptr; }

    // From now on every reference answers these flags, or cannot read its flags, until cleared.
    static void setOverride(ReachabilityFlags);
    static void setOverrideUnreadable();
    static void clearOverride();

    explicit Reachability(std::optional<IPAddress>, std::string hostName);
    ~Reachability();
    Reachability(const Reachability&) = delete;
    Reachability& operator=(const Reachability&) = delete;

private:
    std::optional<ReachabilityFlags> readFlags() const;
    void checkForChange();
    static void overrideChanged();

    std::optional<IPAddress> m_address;
    std::string m_hostName;
    Callback m_callback;
    std::shared_ptr<fnd::Timer> m_timer;
    std::optional<ReachabilityFlags> m_lastFlags;
};

}
