#include "platform/network/IPAddress.h"

#include <arpa/inet.h>
#include <cstring>
#include <netinet/in.h>

namespace net {

IPAddress::IPAddress(Family family, const uint8_t* bytes)
    : m_family(family)
{
    std::memcpy(m_bytes.data(), bytes, family == Family::IPv4 ? 4 : 16);
}

std::optional<IPAddress> IPAddress::fromSocketAddress(const sockaddr* address, socklen_t length)
{
    if (!address || length < static_cast<socklen_t>(sizeof(sa_family_t)))
        return std::nullopt;
    if (address->sa_family == AF_INET && length >= static_cast<socklen_t>(sizeof(sockaddr_in))) {
        sockaddr_in ipv4Address;
        std::memcpy(&ipv4Address, address, sizeof(ipv4Address));
        return IPAddress(Family::IPv4, reinterpret_cast<const uint8_t*>(&ipv4Address.sin_addr));
    }
    if (address->sa_family == AF_INET6 && length >= static_cast<socklen_t>(sizeof(sockaddr_in6))) {
        sockaddr_in6 ipv6Address;
        std::memcpy(&ipv6Address, address, sizeof(ipv6Address));
        return IPAddress(Family::IPv6, ipv6Address.sin6_addr.s6_addr);
    }
    return std::nullopt;
}

std::optional<IPAddress> IPAddress::fromText(std::string_view text)
{
    std::string terminated(text);
    uint8_t bytes[16];
    if (inet_pton(AF_INET, terminated.c_str(), bytes) == 1)
        return IPAddress(Family::IPv4, bytes);
    if (inet_pton(AF_INET6, terminated.c_str(), bytes) == 1)
        return IPAddress(Family::IPv6, bytes);
    return std::nullopt;
}

IPAddress IPAddress::ipv4(std::array<uint8_t, 4> bytes)
{
    return IPAddress(Family::IPv4, bytes.data());
}

IPAddress IPAddress::ipv6(std::array<uint8_t, 16> bytes)
{
    return IPAddress(Family::IPv6, bytes.data());
}

bool IPAddress::isUnspecified() const
{
    for (size_t index = 0; index < size(); ++index) {
        if (m_bytes[index])
            return false;
    }
    return true;
}

bool IPAddress::isLoopback() const
{
    if (m_family == Family::IPv4)
        return m_bytes[0] == 127;
    return *this == ipv6({ 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1 });
}

bool IPAddress::isLinkLocal() const
{
    if (m_family == Family::IPv4)
        return m_bytes[0] == 169 && m_bytes[1] == 254;
    return m_bytes[0] == 0xfe && (m_bytes[1] & 0xc0) == 0x80;
}

bool IPAddress::isInNetwork(const IPAddress& prefix, unsigned prefixLength) const
{
    if (prefix.m_family != m_family || prefixLength > size() * 8)
        return false;
    size_t wholeBytes = prefixLength / 8;
    if (std::memcmp(m_bytes.data(), prefix.m_bytes.data(), wholeBytes) != 0)
        return false;
    unsigned remainingBits = prefixLength % 8;
    if (!remainingBits)
        return true;
    uint8_t mask = static_cast<uint8_t>(0xff << (8 - remainingBits));
    return (m_bytes[wholeBytes] & mask) == (prefix.m_bytes[wholeBytes] & mask);
}

std::string IPAddress::toString() const
{
    char buffer[INET6_ADDRSTRLEN] = {};
    inet_ntop(m_family == Family::IPv4 ? AF_INET : AF_INET6, m_bytes.data(), buffer, sizeof(buffer));
    return buffer;
}

}
