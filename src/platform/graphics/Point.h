#pragma once

namespace gfx {

struct Point {
    double x { 0 };
    double y { 0 };

    constexpr Point() = default;
    constexpr Point(double x, double y)
        : x(x)
        , y(y)
    {
    }

    static constexpr Point zero() { return {}; }

    constexpr Point operator+(const Point& other) const { return { x + other.x, y + other.y }; }
    constexpr Point operator-(const Point& other) const { return { x - other.x, y - other.y }; }
    constexpr bool operator==(const Point&) const = default;
};

}
