#pragma once

#include <compare>
#include <string>

namespace ui {

// A row of a table: its section and its row within the section.
struct IndexPath {
    int section = 0;
    int row = 0;

    static constexpr IndexPath forRow(int row, int section) { return { section, row }; }

    constexpr auto operator<=>(const IndexPath&) const = default;
    std::string description() const { return "[" + std::to_string(section) + ", " + std::to_string(row) + "]"; }
};

}
