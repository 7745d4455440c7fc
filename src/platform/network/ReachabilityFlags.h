#pragma once

#include <cstdint>
#include <string>

namespace net {

// What can be said about reaching an address, with the platform's bit values.
enum class ReachabilityFlag : uint32_t {
    TransientConnection = 1u << 0,
    Reachable = 1u << 1,
    ConnectionRequired = 1u << 2,
    ConnectionOnTraffic = 1u << 3,
    InterventionRequired = 1u << 4,
    ConnectionOnDemand = 1u << 5,
    IsLocalAddress = 1u << 16,
    IsDirect = 1u << 17,
    IsWWAN = 1u << 18,
};

class ReachabilityFlags {
public:
    constexpr ReachabilityFlags() = default;
    constexpr ReachabilityFlags(ReachabilityFlag flag)
        : m_bits(static_cast<uint32_t>(flag))
    {
    }
    static constexpr ReachabilityFlags fromBits(uint32_t bits)
    {
        ReachabilityFlags flags;
        flags.m_bits = bits;
        return flags;
    }

    constexpr uint32_t bits() const { return m_bits; }
    constexpr bool isEmpty() const { return m_bits == 0; }
    constexpr bool contains(ReachabilityFlag flag) const { return m_bits & static_cast<uint32_t>(flag); }
    constexpr ReachabilityFlags operator|(ReachabilityFlags other) const { return fromBits(m_bits | other.m_bits); }
    constexpr ReachabilityFlags& operator|=(ReachabilityFlags other)
    {
        m_bits |= other.m_bits;
        return *this;
    }
    constexpr bool operator==(const ReachabilityFlags&) const = default;

    // "Reachable|IsDirect", or "0" for no flags.
    std::string description() const;

private:
    uint32_t m_bits = 0;
};

constexpr ReachabilityFlags operator|(ReachabilityFlag a, ReachabilityFlag b)
{
    return ReachabilityFlags(a) | ReachabilityFlags(b);
}

}
