#pragma once

namespace gfx {

struct Size {
    double width { 0 };
    double height { 0 };

    constexpr Size() = default;
    constexpr Size(double width, double height)
        : width(width)
        , height(height)
    {
    }

    static constexpr Size zero() { return {}; }

    constexpr bool operator==(const Size&) const = default;
};

}
