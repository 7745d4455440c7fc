#pragma once

namespace gfx {

// A device RGB colour with alpha, each component in 0...1 (values outside are clamped when drawn).
struct Color {
    double red { 0 };
    double green { 0 };
    double blue { 0 };
    double alpha { 1 };

    constexpr Color() = default;
    constexpr Color(double red, double green, double blue, double alpha = 1)
        : red(red)
        , green(green)
        , blue(blue)
        , alpha(alpha)
    {
    }

    static constexpr Color grey(double white, double alpha = 1) { return { white, white, white, alpha }; }
    static constexpr Color black() { return grey(0); }
    static constexpr Color darkGray() { return grey(1.0 / 3); }
    static constexpr Color gray() { return grey(0.5); }
    static constexpr Color lightGray() { return grey(2.0 / 3); }
    static constexpr Color white() { return grey(1); }
    static constexpr Color clear() { return grey(0, 0); }

    constexpr Color withAlpha(double newAlpha) const { return { red, green, blue, newAlpha }; }

    constexpr bool operator==(const Color&) const = default;
};

}
