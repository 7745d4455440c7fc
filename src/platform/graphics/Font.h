#pragma once

#include <string_view>

namespace gfx {

// The system font, regular or bold, at a size in points. The family is DejaVu Sans.
class Font {
public:
    static constexpr std::string_view familyName() { return "DejaVu Sans"; }

    static constexpr Font systemFont(double pointSize) { return Font(pointSize, false); }
    static constexpr Font boldSystemFont(double pointSize) { return Font(pointSize, true); }

    constexpr double pointSize() const { return m_pointSize; }
    constexpr bool isBold() const { return m_bold; }
    constexpr Font withSize(double pointSize) const { return Font(pointSize, m_bold); }

    constexpr bool operator==(const Font&) const = default;

private:
    constexpr Font(double pointSize, bool bold)
        : m_pointSize(pointSize)
        , m_bold(bold)
    {
    }

    double m_pointSize;
    bool m_bold;
};

}
