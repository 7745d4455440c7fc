#pragma once

#include "platform/foundation/Array.h"
#include "platform/foundation/Data.h"
#include "platform/foundation/Dictionary.h"

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

namespace fnd {

// The user's settings: a dictionary of property-list values, kept in memory and written to an XML
// property list by synchronize() and, soon after every change, by a writer thread of its own, so
// a crash loses at most a moment of changes. Safe to use from any thread; withLock() makes a
// read-modify-write (a counter, a list) atomic with respect to every other use.
class UserDefaults : public std::enable_shared_from_this<UserDefaults> {
public:
    // The process's defaults, stored at Library/Preferences/<bundle identifier>.plist of the home
    // folder and read when first asked for.
    static Ref<UserDefaults> standardUserDefaults();
    // Replaces the process's defaults (a fresh home folder, an in-memory instance in tests). With
    // nil the next standardUserDefaults() opens the file of the current home folder.
    static void setStandardUserDefaults(Ref<UserDefaults>);
    static std::filesystem::path standardFilePath();

    // Reads the file when it exists. A file that cannot be parsed, or is longer than
    // maximumFileLength, is renamed to "<name>.corrupt" and the defaults start empty. A file that
    // exists but cannot be read (no permission, no descriptor left, an I/O error) is never
    // written over: the defaults then live in memory only, and synchronize() answers false.
    static constexpr uint64_t maximumFileLength = 16 * 1024 * 1024;
    static Ref<UserDefaults> createWithFile(std::filesystem::path);
    static Ref<UserDefaults> createInMemory();

    // Writes changes that were not synchronised yet.
    ~UserDefaults();
    UserDefaults(const UserDefaults&) = delete;
    UserDefaults& operator=(const UserDefaults&) = delete;

    // Reads answer nothing (or 0, false) when the key is absent or holds a value of another type.
    Id objectForKey(std::string_view key) const;
    std::optional<std::string> stringForKey(std::string_view key) const;
    int64_t integerForKey(std::string_view key) const;
    double doubleForKey(std::string_view key) const;
    bool boolForKey(std::string_view key) const;
    Ref<Data> dataForKey(std::string_view key) const;
    Ref<Array> arrayForKey(std::string_view key) const;
    Ref<Dictionary> dictionaryForKey(std::string_view key) const;
    Ref<Dictionary> dictionaryRepresentation() const;

    // Stores a deep immutable copy. A value that is not a property list is refused (false, and a
    // log line); nil removes the key.
    bool setObjectForKey(const Id& object, std::string_view key);
    void setIntegerForKey(int64_t value, std::string_view key);
    void setDoubleForKey(double value, std::string_view key);
    void setBoolForKey(bool value, std::string_view key);
    void removeObjectForKey(std::string_view key);

    // Writes every value atomically; true when the file is up to date (always for in-memory defaults).
    bool synchronize();
    const std::optional<std::filesystem::path>& filePath() const { return m_path; }

    // Runs the function while holding the defaults' lock; other threads wait meanwhile.
    template<typename Function>
    decltype(auto) withLock(Function&& function)
    {
        std::lock_guard guard(m_lock);
        return function(*this);
    }

    explicit UserDefaults(std::optional<std::filesystem::path>);

private:
    void load();
    void setAsideUnusableFile(std::string_view reason);
    void store(std::string_view key, Id value);
    void scheduleWrite();

    const std::optional<std::filesystem::path> m_path;
    mutable std::recursive_mutex m_lock;
    std::map<std::string, Id, std::less<>> m_values;
    uint64_t m_generation = 0;

    std::mutex m_writeLock;
    uint64_t m_writtenGeneration = 0;
    bool m_lastWriteSucceeded = true;
    // Set once at load: the file could not be read, so it is left alone.
    bool m_fileUnreadable = false;

    std::mutex m_scheduleLock;
    bool m_writeScheduled = false;
};

}
