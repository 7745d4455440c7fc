#pragma once

#include "platform/network/IPAddress.h"
#include "platform/network/ReachabilityFlags.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace net {

// A snapshot of this machine's network: the addresses of the interfaces that are up and the
// routes through them. Answers how an address would be reached.
class HostNetwork {
public:
    struct InterfaceAddress {
        std::string interfaceName;
        IPAddress address;
        bool isLoopback = false;
    };
    struct Route {
        std::string interfaceName;
        IPAddress destination;
        unsigned prefixLength = 0;
        bool viaGateway = false;
    };

    // The interfaces from getifaddrs() and the routes from /proc/net/route and
    // /proc/net/ipv6_route. Nothing when the interfaces cannot be listed.
    static std::optional<HostNetwork> current();

    // Routes whose interface has no address here are dropped: nothing can leave through them.
    HostNetwork(std::vector<InterfaceAddress> addressesOfUpInterfaces, std::vector<Route>);

    // The kernel's route tables as text; lines that are not routes in use are skipped.
    static std::vector<Route> parseIPv4Routes(std::string_view procNetRoute);
    static std::vector<Route> parseIPv6Routes(std::string_view procNetIPv6Route);

    // Reachable through the most specific route (direct when it has no gateway); an address of
    // this machine is local and direct; the local link is direct whenever an interface is up.
    // The unspecified address asks for the internet: reachable when there is a default route.
    ReachabilityFlags flagsForAddress(const IPAddress&) const;

private:
    bool hasUpInterface(IPAddress::Family) const;

    std::vector<InterfaceAddress> m_addresses;
    std::vector<Route> m_routes;
};

}
