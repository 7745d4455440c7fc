#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <sys/socket.h>

namespace net {

// An IPv4 or IPv6 address, in network byte order.
class IPAddress {
public:
    enum class Family {
        IPv4,
        IPv6,
    };

    // Nothing for other families or a length too short for the family.
    static std::optional<IPAddress> fromSocketAddress(const sockaddr*, socklen_t length);
    // "192.0.2.1" or "2001:db8::1"; nothing for anything else, host names included.
    static std::optional<IPAddress> fromText(std::string_view);
    static IPAddress ipv4(std::array<uint8_t, 4>);
    static IPAddress ipv6(std::array<uint8_t, 16>);

    Family family() const { return m_family; }
    size_t size() const { return m_family == Family::IPv4 ? 4 : 16; }
    const uint8_t* bytes() const { return m_bytes.data(); }

    // 0.0.0.0 or "::": any address, which asks about the internet as a whole.
    bool isUnspecified() const;
    bool isLoopback() const;
    // 169.254.0.0/16 or fe80::/10: the local link, reachable without a router.
    bool isLinkLocal() const;
    // Whether the address lies in the network `prefix`/`prefixLength` of the same family.
    bool isInNetwork(const IPAddress& prefix, unsigned prefixLength) const;

    std::string toString() const;
    bool operator==(const IPAddress&) const = default;

private:
    IPAddress(Family, const uint8_t* bytes);

    Family m_family;
    std::array<uint8_t, 16> m_bytes {};
};

}
