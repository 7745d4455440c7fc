#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace device {

// Names for files that must not replace earlier ones: "<prefix>NNNN<extension>" numbered after the
// files already there.
class NumberedFile {
public:
    // The first free name in the folder (which is created when missing); empty when none is free
    // or the folder cannot be made.
    static std::filesystem::path nextFreePath(const std::filesystem::path& folder, std::string_view prefix, std::string_view extension);
    // The path relative to the home folder, as effect lines show it.
    static std::string displayPath(const std::filesystem::path&);
};

}
