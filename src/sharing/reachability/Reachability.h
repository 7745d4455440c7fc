#pragma once

#include "platform/foundation/Object.h"
#include "platform/network/ReachabilityFlags.h"

#include <memory>
#include <string_view>
#include <sys/socket.h>

namespace net {
class Reachability;
}

enum NetworkStatus {
    NotReachable = 0,
    ReachableViaWiFi = 1,
    ReachableViaWWAN = 2,
};

// Whether the internet (or a host, or the local link) can be reached now, classified from the
// platform's reachability flags. The flags follow the network module's override, which tests and
// the terminal driver set to play offline and online.
class Reachability final : public fnd::Object, public std::enable_shared_from_this<Reachability> {
public:
    // Posted on the default notification centre by a started notifier, with the Reachability as sender.
    static constexpr std::string_view changedNotification = "kNetworkReachabilityChangedNotification";

    // Each answers nil when the platform refuses the host name or address.
    static std::shared_ptr<Reachability> reachabilityWithHostName(std::string_view hostName);
    static std::shared_ptr<Reachability> reachabilityWithAddress(const sockaddr*, socklen_t length);
    // The IPv4 wildcard address 0.0.0.0: the internet as a whole.
    static std::shared_ptr<Reachability> reachabilityForInternetConnection();
    // The link-local network 169.254.0.0.
    static std::shared_ptr<Reachability> reachabilityForLocalWiFi();

    ~Reachability() override;

    // Watches for changes on the main run loop and posts changedNotification at each one.
    bool startNotifier();
    void stopNotifier();

    NetworkStatus currentReachabilityStatus() const;
    // False when the flags cannot be read.
    bool connectionRequired() const;

    NetworkStatus localWiFiStatusForFlags(net::ReachabilityFlags) const;
    NetworkStatus networkStatusForFlags(net::ReachabilityFlags) const;

    bool isLocalWiFi() const { return m_localWiFiRef; }

    std::string_view className() const override { return "Reachability"; }

    Reachability(std::shared_ptr<net::Reachability>, bool localWiFi);

private:
    std::shared_ptr<net::Reachability> m_reachabilityRef;
    bool m_localWiFiRef;
};

// The notifier's callback: `info` is the Reachability that started it.
void ReachabilityCallback(net::Reachability& target, net::ReachabilityFlags, const fnd::Id& info);
