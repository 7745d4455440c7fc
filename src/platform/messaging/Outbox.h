#pragma once

#include "platform/foundation/Error.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace msg {

// Where the simulated device puts what its composers send: the home folder's "Outbox/" (and
// "Drafts/" for mail saved as a draft). Each message is one new file, numbered after the last
// ("mail-0001.eml", "message-0001.txt"), written atomically.
class Outbox {
public:
    static std::filesystem::path directory();
    static std::filesystem::path draftsDirectory();

    // Writes the content to the next free "<prefix>-NNNN<extension>" in the folder; answers the path,
    // or nothing with the error.
    static std::optional<std::filesystem::path> write(const std::filesystem::path& folder, std::string_view prefix, std::string_view extension,
        std::string_view content, fnd::Ref<fnd::Error>* = nullptr);

    // The path as the terminal shows it: relative to the home folder.
    static std::string displayPath(const std::filesystem::path&);
};

}
