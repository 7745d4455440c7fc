#include "platform/network/ReachabilityFlags.h"

#include "platform/foundation/Format.h"

#include <string_view>
#include <utility>

namespace net {

std::string ReachabilityFlags::description() const
{
    static constexpr std::pair<ReachabilityFlag, std::string_view> names[] = {
        { ReachabilityFlag::TransientConnection, "TransientConnection" },
        { ReachabilityFlag::Reachable, "Reachable" },
        { ReachabilityFlag::ConnectionRequired, "ConnectionRequired" },
        { ReachabilityFlag::ConnectionOnTraffic, "ConnectionOnTraffic" },
        { ReachabilityFlag::InterventionRequired, "InterventionRequired" },
        { ReachabilityFlag::ConnectionOnDemand, "ConnectionOnDemand" },
        { ReachabilityFlag::IsLocalAddress, "IsLocalAddress" },
        { ReachabilityFlag::IsDirect, "IsDirect" },
        { ReachabilityFlag::IsWWAN, "IsWWAN" },
    };
    std::string text;
    uint32_t unnamed = m_bits;
    for (auto& [flag, name] : names) {
        if (!contains(flag))
            continue;
        unnamed &= ~static_cast<uint32_t>(flag);
        if (!text.empty())
            text += '|';
        text += name;
    }
    if (unnamed) {
        if (!text.empty())
            text += '|';
        text += fnd::format("0x%x", unnamed);
    }
    return text.empty() ? "0" : text;
}

}
