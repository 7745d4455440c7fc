#include "platform/network/HostNetwork.h"

#include <gtest/gtest.h>

#include <netinet/in.h>

namespace {

using net::HostNetwork;
using net::IPAddress;
using net::ReachabilityFlag;
using net::ReachabilityFlags;

// The kernel's tables on a machine whose eth0 has 192.0.2.2/24 and fd00::2/64 behind the gateways
// 192.0.2.1 and fd00::1.
constexpr std::string_view ipv4Routes =
    "Iface\tDestination\tGateway \tFlags\tRefCnt\tUse\tMetric\tMask\t\tMTU\tWindow\tIRTT\n"
    "eth0\t00000000\t010200C0\t0003\t0\t0\t0\t00000000\t0\t0\t0\n"
    "eth0\t000200C0\t00000000\t0001\t0\t0\t0\t00FFFFFF\t0\t0\t0\n";
constexpr std::string_view ipv6Routes =
    "fd000000000000000000000000000000 40 00000000000000000000000000000000 00 00000000000000000000000000000000 00000100 00000001 00000000 00000001     eth0\n"
    "fe800000000000000000000000000000 40 00000000000000000000000000000000 00 00000000000000000000000000000000 00000100 00000002 00000000 00000001     eth0\n"
    "00000000000000000000000000000000 00 00000000000000000000000000000000 00 fd000000000000000000000000000001 00000400 00000002 00000000 00000003     eth0\n"
    "00000000000000000000000000000001 80 00000000000000000000000000000000 00 00000000000000000000000000000000 00000000 00000002 00000000 80200001       lo\n"
    "00000000000000000000000000000000 00 00000000000000000000000000000000 00 00000000000000000000000000000000 ffffffff 00000001 00000000 00200200       lo\n";

IPAddress address(std::string_view text)
{
    auto parsed = IPAddress::fromText(text);
    EXPECT_TRUE(parsed) << text;
    return parsed.value_or(IPAddress::ipv4({ 0, 0, 0, 0 }));
}

std::vector<HostNetwork::InterfaceAddress> loopbackOnly()
{
    return { { "lo", address("127.0.0.1"), true }, { "lo", address("::1"), true } };
}

std::vector<HostNetwork::InterfaceAddress> connectedInterfaces()
{
    auto addresses = loopbackOnly();
    addresses.push_back({ "eth0", address("192.0.2.2"), false });
    addresses.push_back({ "eth0", address("fd00::2"), false });
    addresses.push_back({ "eth0", address("fe80::fc:ff:fe00:1"), false });
    return addresses;
}

std::vector<HostNetwork::Route> allRoutes()
{
    auto routes = HostNetwork::parseIPv4Routes(ipv4Routes);
    auto more = HostNetwork::parseIPv6Routes(ipv6Routes);
    routes.insert(routes.end(), more.begin(), more.end());
    return routes;
}

const auto localAndDirect = ReachabilityFlag::Reachable | ReachabilityFlag::IsLocalAddress | ReachabilityFlags(ReachabilityFlag::IsDirect);
const auto direct = ReachabilityFlag::Reachable | ReachabilityFlag::IsDirect;
const ReachabilityFlags reachable = ReachabilityFlag::Reachable;

TEST(HostNetwork, ParsesTheKernelsRouteTables)
{
    auto routes = HostNetwork::parseIPv4Routes(ipv4Routes);
    ASSERT_EQ(routes.size(), 2u);
    EXPECT_EQ(routes[0].destination.toString(), "0.0.0.0");
    EXPECT_EQ(routes[0].prefixLength, 0u);
    EXPECT_TRUE(routes[0].viaGateway);
    EXPECT_EQ(routes[1].destination.toString(), "192.0.2.0");
    EXPECT_EQ(routes[1].prefixLength, 24u);
    EXPECT_FALSE(routes[1].viaGateway);

    // The rejecting default route of the loopback interface is no way out.
    auto ipv6 = HostNetwork::parseIPv6Routes(ipv6Routes);
    ASSERT_EQ(ipv6.size(), 4u);
    EXPECT_EQ(ipv6[0].destination.toString(), "fd00::");
    EXPECT_EQ(ipv6[0].prefixLength, 64u);
    EXPECT_EQ(ipv6[2].destination.toString(), "::");
    EXPECT_TRUE(ipv6[2].viaGateway);

    EXPECT_TRUE(HostNetwork::parseIPv4Routes("").empty());
    EXPECT_TRUE(HostNetwork::parseIPv4Routes("garbage\neth0 zz yy 0003 0 0 0 00000000\n").empty());
    EXPECT_TRUE(HostNetwork::parseIPv6Routes("0000 00 short line eth0\n").empty());
}

TEST(HostNetwork, ReachesTheInternetThroughTheDefaultRoute)
{
    HostNetwork network(connectedInterfaces(), allRoutes());
    EXPECT_EQ(network.flagsForAddress(address("0.0.0.0")), reachable);
    EXPECT_EQ(network.flagsForAddress(address("198.51.100.7")), reachable);
    EXPECT_EQ(network.flagsForAddress(address("::")), reachable);
    EXPECT_EQ(network.flagsForAddress(address("2001:db8::1")), reachable);
}

TEST(HostNetwork, TellsDirectLocalAndLinkLocalAddressesApart)
{
    HostNetwork network(connectedInterfaces(), allRoutes());
    EXPECT_EQ(network.flagsForAddress(address("192.0.2.9")), direct);
    EXPECT_EQ(network.flagsForAddress(address("fd00::9")), direct);
    EXPECT_EQ(network.flagsForAddress(address("192.0.2.2")), localAndDirect);
    EXPECT_EQ(network.flagsForAddress(address("127.0.0.1")), localAndDirect);
    EXPECT_EQ(network.flagsForAddress(address("::1")), localAndDirect);
    EXPECT_EQ(network.flagsForAddress(address("169.254.0.0")), direct);
    EXPECT_EQ(network.flagsForAddress(address("fe80::1")), direct);
}

TEST(HostNetwork, PrefersTheMostSpecificRoute)
{
    std::vector<HostNetwork::Route> routes {
        { "eth0", address("10.0.0.0"), 8, true },
        { "eth1", address("10.1.0.0"), 16, false },
    };
    auto interfaces = loopbackOnly();
    interfaces.push_back({ "eth0", address("10.9.9.9"), false });
    interfaces.push_back({ "eth1", address("10.1.0.5"), false });
    HostNetwork network(interfaces, routes);
    EXPECT_EQ(network.flagsForAddress(address("10.1.2.3")), direct);
    EXPECT_EQ(network.flagsForAddress(address("10.2.2.3")), reachable);
    EXPECT_EQ(network.flagsForAddress(address("0.0.0.0")), ReachabilityFlags());
}

TEST(HostNetwork, WithoutANetworkOnlyThisMachineIsReachable)
{
    HostNetwork noInterfaces(loopbackOnly(), allRoutes());
    EXPECT_EQ(noInterfaces.flagsForAddress(address("0.0.0.0")), ReachabilityFlags());
    EXPECT_EQ(noInterfaces.flagsForAddress(address("192.0.2.9")), ReachabilityFlags());
    EXPECT_EQ(noInterfaces.flagsForAddress(address("::")), ReachabilityFlags());
    EXPECT_EQ(noInterfaces.flagsForAddress(address("169.254.0.0")), ReachabilityFlags());
    EXPECT_EQ(noInterfaces.flagsForAddress(address("127.0.0.1")), localAndDirect);

    HostNetwork noRoutes(connectedInterfaces(), {});
    EXPECT_EQ(noRoutes.flagsForAddress(address("0.0.0.0")), ReachabilityFlags());
    EXPECT_EQ(noRoutes.flagsForAddress(address("169.254.0.0")), direct);

    HostNetwork nothingAtAll({}, {});
    EXPECT_EQ(nothingAtAll.flagsForAddress(address("0.0.0.0")), ReachabilityFlags());
}

TEST(HostNetwork, ReadsThisMachineWithoutFailing)
{
    auto network = HostNetwork::current();
    ASSERT_TRUE(network);
    EXPECT_EQ(network->flagsForAddress(address("127.0.0.1")), localAndDirect);
}

TEST(IPAddress, ReadsSocketAddressesAndText)
{
    sockaddr_in internet {};
    internet.sin_family = AF_INET;
    static_assert(sizeof(internet) == 16);
    auto any = IPAddress::fromSocketAddress(reinterpret_cast<const sockaddr*>(&internet), sizeof(internet));
    ASSERT_TRUE(any);
    EXPECT_TRUE(any->isUnspecified());
    EXPECT_EQ(any->family(), IPAddress::Family::IPv4);
    EXPECT_FALSE(IPAddress::fromSocketAddress(reinterpret_cast<const sockaddr*>(&internet), 8));
    EXPECT_FALSE(IPAddress::fromSocketAddress(nullptr, 16));
    sockaddr unix {};
    unix.sa_family = AF_UNIX;
    EXPECT_FALSE(IPAddress::fromSocketAddress(&unix, sizeof(unix)));

    EXPECT_FALSE(IPAddress::fromText("localhost"));
    EXPECT_EQ(IPAddress::fromText("2001:DB8::1")->toString(), "2001:db8::1");
    EXPECT_TRUE(address("10.1.2.3").isInNetwork(address("10.1.0.0"), 15));
    EXPECT_FALSE(address("10.3.2.3").isInNetwork(address("10.1.0.0"), 15));
    EXPECT_FALSE(address("10.1.2.3").isInNetwork(address("::"), 0));
}

TEST(ReachabilityFlags, DescribesItsFlags)
{
    EXPECT_EQ(ReachabilityFlags().description(), "0");
    EXPECT_EQ(localAndDirect.description(), "Reachable|IsLocalAddress|IsDirect");
    EXPECT_EQ(ReachabilityFlags::fromBits(1u << 30 | 1u << 18).description(), "IsWWAN|0x40000000");
}

}
