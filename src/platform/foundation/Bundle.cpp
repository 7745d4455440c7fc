#include "platform/foundation/Bundle.h"

#include "platform/foundation/FileManager.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/PropertyList.h"
#include "platform/foundation/String.h"

#include <array>
#include <cstdlib>
#include <unistd.h>

namespace fnd {

namespace {

constexpr std::array localizationFolders { "en.lproj", "English.lproj", "Base.lproj" };

struct MainHolder {
    std::mutex lock;
    Ref<Bundle> bundle;
};

MainHolder& mainHolder()
{
    static MainHolder* holder = new MainHolder; // never destroyed: worker threads may ask during exit
    return *holder;
}

std::filesystem::path executableDirectory()
{
    std::error_code code;
    auto executable = std::filesystem::read_symlink("/proc/self/exe", code);
    return code ? std::filesystem::path() : executable.parent_path();
}

bool isResourceFolder(const std::filesystem::path& path)
{
    return FileManager::fileExists(path / "Info.plist");
}

}

Ref<Bundle> Bundle::main()
{
    auto& holder = mainHolder();
    std::lock_guard guard(holder.lock);
    if (!holder.bundle)
        holder.bundle = std::make_shared<Bundle>(locateMainResources());
    return holder.bundle;
}

void Bundle::setMain(Ref<Bundle> bundle)
{
    auto& holder = mainHolder();
    std::lock_guard guard(holder.lock);
    holder.bundle = std::move(bundle);
}

std::filesystem::path Bundle::locateMainResources()
{
    if (const char* configured = std::getenv("BRENZO_RESOURCES"); configured && *configured)
        return configured;
    auto directory = executableDirectory();
    while (!directory.empty()) {
        if (isResourceFolder(directory / "resources"))
            return directory / "resources";
        if (directory == directory.root_path())
            break;
        directory = directory.parent_path();
    }
#ifdef BRENZO_SOURCE_RESOURCES
    return BRENZO_SOURCE_RESOURCES;
#else
    return "resources";
#endif
}

Ref<Bundle> Bundle::createWithPath(std::filesystem::path path)
{
    if (!FileManager::isDirectory(path))
        return nullptr;
    return std::make_shared<Bundle>(std::move(path));
}

Bundle::Bundle(std::filesystem::path path)
    : m_path(std::move(path))
{
    auto infoPath = m_path / "Info.plist";
    if (FileManager::fileExists(infoPath)) {
        Ref<Error> error;
        m_info = as<Dictionary>(PropertyList::readFile(infoPath, &error));
        if (!m_info)
            Log::format("Bundle: cannot read %s: %@", infoPath.string(), error);
    }
    if (!m_info)
        m_info = Dictionary::create();
}

std::optional<std::filesystem::path> Bundle::pathForResource(std::string_view name, std::string_view type, std::string_view directory) const
{
    if (name.empty())
        return std::nullopt;
    std::string fileName(name);
    if (!type.empty()) {
        fileName += '.';
        fileName += type;
    }
    auto candidate = [&](const std::filesystem::path& folder) -> std::optional<std::filesystem::path> {
        auto path = folder / directory / fileName;
        bool isFolder = false;
        if (FileManager::fileExists(path, isFolder))
            return path;
        return std::nullopt;
    };
    if (auto found = candidate(m_path))
        return found;
    for (auto* localization : localizationFolders) {
        if (auto found = candidate(m_path / localization))
            return found;
    }
    return std::nullopt;
}

Id Bundle::propertyListForResource(std::string_view name) const
{
    auto path = pathForResource(name, "plist");
    if (!path)
        return nullptr;
    Ref<Error> error;
    Id contents = PropertyList::readFile(*path, &error);
    if (!contents)
        Log::format("Bundle: cannot read %s: %@", path->string(), error);
    return contents;
}

Id Bundle::objectForInfoDictionaryKey(std::string_view key) const
{
    return m_info->objectForKey(key);
}

std::string Bundle::bundleIdentifier() const
{
    return m_info->stringForKey("CFBundleIdentifier").value_or("");
}

std::shared_ptr<const StringsFile::Table> Bundle::stringsTable(std::string_view name) const
{
    std::lock_guard guard(m_tablesLock);
    if (auto found = m_tables.find(name); found != m_tables.end())
        return found->second;

    auto table = std::make_shared<StringsFile::Table>();
    std::string fileName = std::string(name) + ".strings";
    for (auto* localization : localizationFolders) {
        auto path = m_path / localization / fileName;
        if (!FileManager::fileExists(path))
            continue;
        auto contents = FileManager::contentsOfFile(path);
        std::string error;
        auto parsed = contents ? StringsFile::parse(contents->span(), &error) : std::nullopt;
        if (parsed)
            *table = std::move(*parsed);
        else
            Log::format("Bundle: cannot read the strings table %s: %s", path.string(), error);
        break;
    }
    m_tables.emplace(std::string(name), table);
    return table;
}

std::string Bundle::localizedString(std::string_view key, std::string_view value, std::string_view table) const
{
    auto strings = stringsTable(table.empty() ? "Localizable" : table);
    if (auto found = strings->find(key); found != strings->end())
        return found->second;
    return std::string(value.empty() ? key : value);
}

}
