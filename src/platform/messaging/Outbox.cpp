#include "platform/messaging/Outbox.h"

#include "platform/foundation/FileManager.h"

#include <cstdio>

namespace msg {

std::filesystem::path Outbox::directory()
{
    return fnd::FileManager::homeDirectory() / "Outbox";
}

std::filesystem::path Outbox::draftsDirectory()
{
    return fnd::FileManager::homeDirectory() / "Drafts";
}

std::optional<std::filesystem::path> Outbox::write(const std::filesystem::path& folder, std::string_view prefix, std::string_view extension,
    std::string_view content, fnd::Ref<fnd::Error>* error)
{
    if (!fnd::FileManager::createDirectory(folder, error))
        return std::nullopt;
    for (int number = 1; number < 1000000; ++number) {
        char name[32];
        std::snprintf(name, sizeof name, "-%04d", number);
        auto path = folder / (std::string(prefix) + name + std::string(extension));
        if (fnd::FileManager::fileExists(path))
            continue;
        if (!fnd::FileManager::writeAtomically(path, content, error))
            return std::nullopt;
        return path;
    }
    return std::nullopt;
}

std::string Outbox::displayPath(const std::filesystem::path& path)
{
    auto relative = path.lexically_relative(fnd::FileManager::homeDirectory());
    return relative.empty() || relative.native().starts_with("..") ? path.string() : relative.string();
}

}
