#pragma once

#include <cstdint>

namespace gfx {

// One pixel as 8-bit components, not premultiplied.
struct Pixel {
    uint8_t red { 0 };
    uint8_t green { 0 };
    uint8_t blue { 0 };
    uint8_t alpha { 0 };

    constexpr bool operator==(const Pixel&) const = default;
};

}
