#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace fnd {

// A universally unique identifier.
class UUID {
public:
    // A new random (version 4) identifier.
    static UUID create();
    // The canonical text of a new random identifier, e.g. "68753A44-4D6F-1226-9C60-0050E4C00067".
    static std::string createString();

    const std::array<uint8_t, 16>& bytes() const { return m_bytes; }
    // 36 characters: upper-case hexadecimal in groups of 8-4-4-4-12 joined by "-".
    std::string string() const;

private:
    std::array<uint8_t, 16> m_bytes {};
};

}
