#pragma once

#include "platform/foundation/Dictionary.h"
#include "platform/foundation/StringsFile.h"

#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

namespace fnd {

// A folder of resources with its information dictionary ("Info.plist") and localised string tables
// ("en.lproj/<table>.strings"). The main bundle is the application's resource folder; a folder such
// as "Sharing.bundle" inside it is a bundle of its own.
class Bundle {
public:
    static constexpr std::string_view defaultIdentifier = "com.brenzo.Brenzo";

    // The application's resources: $BRENZO_RESOURCES when set, else a "resources" folder holding an
    // "Info.plist" next to the executable or in a folder above it, else the source tree's resources.
    static Ref<Bundle> main();
    // Replaces the main bundle (tests with a bundle of their own); nil finds the default again.
    static void setMain(Ref<Bundle>);
    static std::filesystem::path locateMainResources();

    // Nothing when the folder does not exist.
    static Ref<Bundle> createWithPath(std::filesystem::path);

    explicit Bundle(std::filesystem::path);

    const std::filesystem::path& resourcePath() const { return m_path; }

    // "<name>.<type>" (or "<name>" when the type is empty) in the resource folder, an optional
    // subfolder of it, or its English localisation folder; nothing when there is no such file.
    std::optional<std::filesystem::path> pathForResource(std::string_view name, std::string_view type, std::string_view directory = {}) const;
    // The property list "<name>.plist" of the bundle, or nothing when it is missing or unreadable.
    Id propertyListForResource(std::string_view name) const;

    // Never nil: empty when the bundle has no readable "Info.plist".
    const Ref<Dictionary>& infoDictionary() const { return m_info; }
    Id objectForInfoDictionaryKey(std::string_view key) const;
    // "CFBundleIdentifier", or "" when there is none.
    std::string bundleIdentifier() const;

    // The text for the key in the table ("Localizable" when empty). A missing key answers the given
    // value, or the key itself when the value is empty.
    std::string localizedString(std::string_view key, std::string_view value = {}, std::string_view table = {}) const;

private:
    std::shared_ptr<const StringsFile::Table> stringsTable(std::string_view name) const;

    std::filesystem::path m_path;
    Ref<Dictionary> m_info;
    mutable std::mutex m_tablesLock;
    mutable std::map<std::string, std::shared_ptr<const StringsFile::Table>, std::less<>> m_tables;
};

}
