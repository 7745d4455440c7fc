#pragma once

#include "platform/network/IPAddress.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace net {

// Turns host names into addresses without ever blocking the caller for long: the lookup runs on a
// thread of its own and the caller waits for it at most a time-out (one second unless changed).
// A lookup that outlives its caller finishes on its own and is forgotten.
class HostResolver {
public:
    using Lookup = std::function<std::vector<IPAddress>(const std::string& hostName)>;

    // The addresses of the name (none when it does not resolve), or nothing when the lookup did
    // not finish in time. Numeric addresses are answered at once.
    static std::optional<std::vector<IPAddress>> resolve(const std::string& hostName);

    static double timeout();
    static void setTimeout(double seconds);
    // Replaces the system's lookup (getaddrinfo); nil puts it back.
    static void setLookup(Lookup);

    // The system's lookup: every address getaddrinfo() answers, in its order.
    static std::vector<IPAddress> systemLookup(const std::string& hostName);
};

}
