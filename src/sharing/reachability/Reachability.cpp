#include "sharing/reachability/Reachability.h"

#include "platform/foundation/Assertion.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/network/Reachability.h"

#include <cstring>
#include <netinet/in.h>

namespace {

constexpr const char* sourceFile = "Classes/Sharing/Classes/Sharing/Reachability/Reachability";

std::shared_ptr<Reachability> reachabilityForIPv4Address(uint32_t address, bool localWiFi)
{
    sockaddr_in socketAddress;
    std::memset(&socketAddress, 0, sizeof(socketAddress));
    socketAddress.sin_family = AF_INET;
    socketAddress.sin_addr.s_addr = htonl(address);
    auto reference = net::Reachability::createWithAddress(reinterpret_cast<const sockaddr*>(&socketAddress), sizeof(socketAddress));
    return reference ? std::make_shared<Reachability>(std::move(reference), localWiFi) : nullptr;
}

}

Reachability::Reachability(std::shared_ptr<net::Reachability> reference, bool localWiFi)
    : m_reachabilityRef(std::move(reference))
    , m_localWiFiRef(localWiFi)
{
}

Reachability::~Reachability()
{
    stopNotifier();
}

std::shared_ptr<Reachability> Reachability::reachabilityWithHostName(std::string_view hostName)
{
    auto reference = net::Reachability::createWithHostName(hostName);
    return reference ? std::make_shared<Reachability>(std::move(reference), false) : nullptr;
}

std::shared_ptr<Reachability> Reachability::reachabilityWithAddress(const sockaddr* address, socklen_t length)
{
    auto reference = net::Reachability::createWithAddress(address, length);
    return reference ? std::make_shared<Reachability>(std::move(reference), false) : nullptr;
}

std::shared_ptr<Reachability> Reachability::reachabilityForInternetConnection()
{
    return reachabilityForIPv4Address(INADDR_ANY, false);
}

std::shared_ptr<Reachability> Reachability::reachabilityForLocalWiFi()
{
    return reachabilityForIPv4Address(0xA9FE0000 /* 169.254.0.0 */, true);
}

bool Reachability::startNotifier()
{
    std::weak_ptr<Reachability> weakThis = weak_from_this();
    m_reachabilityRef->setCallback([weakThis](net::Reachability& target, net::ReachabilityFlags flags) {
        ReachabilityCallback(target, flags, weakThis.lock());
    });
    return m_reachabilityRef->scheduleOnMainRunLoop();
}

void Reachability::stopNotifier()
{
    if (!m_reachabilityRef)
        return;
    m_reachabilityRef->unscheduleFromMainRunLoop();
    m_reachabilityRef->setCallback(nullptr);
}

NetworkStatus Reachability::currentReachabilityStatus() const
{
    if (!FND_ASSERT_AT_LINE(m_reachabilityRef, sourceFile, 257, "currentNetworkStatus called with NULL reachabilityRef"))
        return NotReachable;
    auto flags = m_reachabilityRef->flags();
    if (!flags)
        return NotReachable;
    return m_localWiFiRef ? localWiFiStatusForFlags(*flags) : networkStatusForFlags(*flags);
}

bool Reachability::connectionRequired() const
{
    if (!FND_ASSERT_AT_LINE(m_reachabilityRef, sourceFile, 246, "connectionRequired called with NULL reachabilityRef"))
        return false;
    auto flags = m_reachabilityRef->flags();
    return flags && flags->contains(net::ReachabilityFlag::ConnectionRequired);
}

NetworkStatus Reachability::localWiFiStatusForFlags(net::ReachabilityFlags flags) const
{
    using net::ReachabilityFlag;
    if (flags.contains(ReachabilityFlag::Reachable) && flags.contains(ReachabilityFlag::IsDirect))
        return ReachableViaWiFi;
    return NotReachable;
}

NetworkStatus Reachability::networkStatusForFlags(net::ReachabilityFlags flags) const
{
    using net::ReachabilityFlag;
    if (!flags.contains(ReachabilityFlag::Reachable))
        return NotReachable;
    if (flags.contains(ReachabilityFlag::IsWWAN))
        return ReachableViaWWAN;
    if (!flags.contains(ReachabilityFlag::ConnectionRequired))
        return ReachableViaWiFi;
    bool connectsByItself = flags.contains(ReachabilityFlag::ConnectionOnDemand) || flags.contains(ReachabilityFlag::ConnectionOnTraffic);
    if (connectsByItself && !flags.contains(ReachabilityFlag::InterventionRequired))
        return ReachableViaWiFi;
    return NotReachable;
}

void ReachabilityCallback(net::Reachability&, net::ReachabilityFlags, const fnd::Id& info)
{
    if (!FND_ASSERT_AT_LINE(info, sourceFile, 86, "info was NULL in ReachabilityCallback"))
        return;
    if (!FND_ASSERT_AT_LINE(fnd::is<Reachability>(info), sourceFile, 87, "info was wrong class in ReachabilityCallback"))
        return;
    fnd::NotificationCenter::defaultCenter().post(std::string(Reachability::changedNotification), info.get());
}
