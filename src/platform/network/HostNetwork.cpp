#include "platform/network/HostNetwork.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cstring>
#include <fstream>
#include <ifaddrs.h>
#include <memory>
#include <net/if.h>
#include <net/route.h>
#include <sstream>

namespace net {

namespace {

std::string readFile(const char* path)
{
    std::ifstream file(path);
    std::ostringstream contents;
    contents << file.rdbuf();
    return contents.str();
}

std::vector<std::string_view> fieldsOf(std::string_view line)
{
    std::vector<std::string_view> fields;
    size_t position = 0;
    while (position < line.size()) {
        position = line.find_first_not_of(" \t", position);
        if (position == std::string_view::npos)
            break;
        size_t end = std::min(line.find_first_of(" \t", position), line.size());
        fields.push_back(line.substr(position, end - position));
        position = end;
    }
    return fields;
}

template<typename Visitor>
void forEachLine(std::string_view text, Visitor visit)
{
    while (!text.empty()) {
        size_t end = std::min(text.find('\n'), text.size());
        visit(text.substr(0, end));
        text.remove_prefix(std::min(end + 1, text.size()));
    }
}

std::optional<uint32_t> parseHex32(std::string_view text)
{
    uint32_t value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

std::optional<std::array<uint8_t, 16>> parseHex128(std::string_view text)
{
    if (text.size() != 32)
        return std::nullopt;
    std::array<uint8_t, 16> bytes {};
    for (size_t index = 0; index < bytes.size(); ++index) {
        auto [end, error] = std::from_chars(text.data() + 2 * index, text.data() + 2 * index + 2, bytes[index], 16);
        if (error != std::errc() || end != text.data() + 2 * index + 2)
            return std::nullopt;
    }
    return bytes;
}

// The kernel prints each IPv4 address as the host's reading of its network-order bytes.
IPAddress ipv4FromKernelHex(uint32_t value)
{
    std::array<uint8_t, 4> bytes;
    std::memcpy(bytes.data(), &value, 4);
    return IPAddress::ipv4(bytes);
}

}

std::vector<HostNetwork::Route> HostNetwork::parseIPv4Routes(std::string_view text)
{
    // Iface Destination Gateway Flags RefCnt Use Metric Mask MTU Window IRTT
    std::vector<Route> routes;
    forEachLine(text, [&](std::string_view line) {
        auto fields = fieldsOf(line);
        if (fields.size() < 8)
            return;
        auto destination = parseHex32(fields[1]);
        auto flags = parseHex32(fields[3]);
        auto mask = parseHex32(fields[7]);
        if (!destination || !flags || !mask || !(*flags & RTF_UP) || (*flags & RTF_REJECT))
            return;
        routes.push_back({ std::string(fields[0]), ipv4FromKernelHex(*destination), static_cast<unsigned>(std::popcount(*mask)), (*flags & RTF_GATEWAY) != 0 });
    });
    return routes;
}

std::vector<HostNetwork::Route> HostNetwork::parseIPv6Routes(std::string_view text)
{
    // destination prefix source source-prefix next-hop metric refcount use flags interface
    std::vector<Route> routes;
    forEachLine(text, [&](std::string_view line) {
        auto fields = fieldsOf(line);
        if (fields.size() < 10)
            return;
        auto destination = parseHex128(fields[0]);
        auto prefixLength = parseHex32(fields[1]);
        auto flags = parseHex32(fields[8]);
        if (!destination || !prefixLength || *prefixLength > 128 || !flags || !(*flags & RTF_UP) || (*flags & RTF_REJECT))
            return;
        routes.push_back({ std::string(fields[9]), IPAddress::ipv6(*destination), *prefixLength, (*flags & RTF_GATEWAY) != 0 });
    });
    return routes;
}

std::optional<HostNetwork> HostNetwork::current()
{
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0)
        return std::nullopt;
    std::unique_ptr<ifaddrs, decltype(&freeifaddrs)> owner(list, freeifaddrs);

    std::vector<InterfaceAddress> addresses;
    for (auto* entry = list; entry; entry = entry->ifa_next) {
        bool isUp = (entry->ifa_flags & IFF_UP) && (entry->ifa_flags & IFF_RUNNING);
        if (!isUp || !entry->ifa_addr)
            continue;
        socklen_t length = entry->ifa_addr->sa_family == AF_INET6 ? sizeof(sockaddr_in6) : sizeof(sockaddr_in);
        if (auto address = IPAddress::fromSocketAddress(entry->ifa_addr, length))
            addresses.push_back({ entry->ifa_name, *address, (entry->ifa_flags & IFF_LOOPBACK) != 0 });
    }
    auto routes = parseIPv4Routes(readFile("/proc/net/route"));
    auto ipv6Routes = parseIPv6Routes(readFile("/proc/net/ipv6_route"));
    routes.insert(routes.end(), ipv6Routes.begin(), ipv6Routes.end());
    return HostNetwork(std::move(addresses), std::move(routes));
}

HostNetwork::HostNetwork(std::vector<InterfaceAddress> addresses, std::vector<Route> routes)
    : m_addresses(std::move(addresses))
{
    for (auto& route : routes) {
        bool leavesThroughAnAddressedInterface = std::any_of(m_addresses.begin(), m_addresses.end(), [&](const InterfaceAddress& entry) {
            return entry.interfaceName == route.interfaceName && !entry.isLoopback && entry.address.family() == route.destination.family();
        });
        if (leavesThroughAnAddressedInterface)
            m_routes.push_back(std::move(route));
    }
}

bool HostNetwork::hasUpInterface(IPAddress::Family family) const
{
    return std::any_of(m_addresses.begin(), m_addresses.end(), [&](const InterfaceAddress& entry) {
        return !entry.isLoopback && entry.address.family() == family;
    });
}

ReachabilityFlags HostNetwork::flagsForAddress(const IPAddress& address) const
{
    constexpr auto localAndDirect = ReachabilityFlag::Reachable | ReachabilityFlag::IsLocalAddress | ReachabilityFlags(ReachabilityFlag::IsDirect);
    bool isOwnAddress = std::any_of(m_addresses.begin(), m_addresses.end(), [&](const InterfaceAddress& entry) { return entry.address == address; });
    if (address.isLoopback() || isOwnAddress)
        return localAndDirect;
    if (address.isLinkLocal())
        return hasUpInterface(address.family()) ? ReachabilityFlag::Reachable | ReachabilityFlag::IsDirect : ReachabilityFlags();

    const Route* best = nullptr;
    for (auto& route : m_routes) {
        if (address.isInNetwork(route.destination, route.prefixLength) && (!best || route.prefixLength > best->prefixLength))
            best = &route;
    }
    if (!best)
        return {};
    ReachabilityFlags flags = ReachabilityFlag::Reachable;
    if (!best->viaGateway && best->prefixLength > 0)
        flags |= ReachabilityFlag::IsDirect;
    return flags;
}

}
