#include "platform/device/NumberedFile.h"

#include "platform/foundation/FileManager.h"

#include <cstdio>

namespace device {

std::filesystem::path NumberedFile::nextFreePath(const std::filesystem::path& folder, std::string_view prefix, std::string_view extension)
{
    if (!fnd::FileManager::createDirectory(folder))
        return {};
    for (int number = 1; number < 1000000; ++number) {
        char digits[16];
        std::snprintf(digits, sizeof digits, "%04d", number);
        auto path = folder / (std::string(prefix) + digits + std::string(extension));
        if (!fnd::FileManager::fileExists(path))
            return path;
    }
    return {};
}

std::string NumberedFile::displayPath(const std::filesystem::path& path)
{
    auto relative = path.lexically_relative(fnd::FileManager::homeDirectory());
    return relative.empty() || relative.native().starts_with("..") ? path.string() : relative.string();
}

}
