#include "platform/foundation/UserDefaults.h"

#include "platform/foundation/Bundle.h"
#include "platform/foundation/FileManager.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Number.h"
#include "platform/foundation/PropertyList.h"
#include "platform/foundation/String.h"
#include "platform/foundation/Thread.h"

namespace fnd {

namespace {

struct StandardHolder {
    std::mutex lock;
    Ref<UserDefaults> defaults;
};

StandardHolder& standardHolder()
{
    // Destroyed at exit, which writes what the application did not synchronise.
    static StandardHolder holder;
    return holder;
}

}

Ref<UserDefaults> UserDefaults::standardUserDefaults()
{
    auto& holder = standardHolder();
    std::lock_guard guard(holder.lock);
    if (!holder.defaults)
        holder.defaults = createWithFile(standardFilePath());
    return holder.defaults;
}

void UserDefaults::setStandardUserDefaults(Ref<UserDefaults> defaults)
{
    Ref<UserDefaults> previous;
    auto& holder = standardHolder();
    {
        std::lock_guard guard(holder.lock);
        previous = std::exchange(holder.defaults, std::move(defaults));
    }
    // The previous instance may write its file as it goes; outside the holder's lock.
}

std::filesystem::path UserDefaults::standardFilePath()
{
    std::string identifier = Bundle::main()->bundleIdentifier();
    if (identifier.empty())
        identifier = Bundle::defaultIdentifier;
    return FileManager::preferencesDirectory() / (identifier + ".plist");
}

Ref<UserDefaults> UserDefaults::createWithFile(std::filesystem::path path)
{
    auto defaults = std::make_shared<UserDefaults>(std::move(path));
    defaults->load();
    return defaults;
}

Ref<UserDefaults> UserDefaults::createInMemory()
{
    return std::make_shared<UserDefaults>(std::nullopt);
}

UserDefaults::UserDefaults(std::optional<std::filesystem::path> path)
    : m_path(std::move(path))
{
}

UserDefaults::~UserDefaults()
{
    if (m_path && !m_fileUnreadable && (m_generation != m_writtenGeneration || !m_lastWriteSucceeded))
        synchronize();
}

void UserDefaults::load()
{
    if (!m_path || !FileManager::fileExists(*m_path))
        return;
    Ref<Error> error;
    auto data = FileManager::contentsOfFile(*m_path, maximumFileLength, &error);
    if (!data) {
        if (error && error->code() == FileManager::readTooLargeError) {
            setAsideUnusableFile("is too large");
            return;
        }
        m_fileUnreadable = true;
        Log::format("User defaults: cannot read %s: %@; running on defaults in memory, the file is left as it is", m_path->string(), error);
        return;
    }
    auto contents = as<Dictionary>(PropertyList::read(data->span(), &error));
    if (!contents) {
        setAsideUnusableFile("is not a readable property list");
        return;
    }
    contents->forEachEntry([&](const Id& key, const Id& value, bool&) {
        if (auto name = as<String>(key))
            m_values.emplace(name->utf8(), value);
    });
}

// Keeps the damaged file for inspection rather than overwriting it at the next synchronize.
void UserDefaults::setAsideUnusableFile(std::string_view reason)
{
    auto asidePath = std::filesystem::path(m_path->string() + ".corrupt");
    for (int attempt = 2; FileManager::fileExists(asidePath) && attempt <= 1000; ++attempt)
        asidePath = std::filesystem::path(m_path->string() + ".corrupt." + std::to_string(attempt));
    if (!FileManager::moveItem(*m_path, asidePath)) {
        m_fileUnreadable = true;
        Log::format("User defaults: %s %s and cannot be moved aside; running on defaults in memory", m_path->string(), reason);
        return;
    }
    Log::format("User defaults: %s %s; kept aside as %s, starting empty", m_path->string(), reason, asidePath.string());
}

Id UserDefaults::objectForKey(std::string_view key) const
{
    std::lock_guard guard(m_lock);
    auto found = m_values.find(key);
    return found == m_values.end() ? nullptr : found->second;
}

std::optional<std::string> UserDefaults::stringForKey(std::string_view key) const
{
    if (auto string = as<String>(objectForKey(key)))
        return string->utf8();
    return std::nullopt;
}

int64_t UserDefaults::integerForKey(std::string_view key) const
{
    auto number = as<Number>(objectForKey(key));
    return number ? number->longLongValue() : 0;
}

double UserDefaults::doubleForKey(std::string_view key) const
{
    auto number = as<Number>(objectForKey(key));
    return number ? number->doubleValue() : 0;
}

bool UserDefaults::boolForKey(std::string_view key) const
{
    auto number = as<Number>(objectForKey(key));
    return number && number->boolValue();
}

Ref<Data> UserDefaults::dataForKey(std::string_view key) const
{
    return as<Data>(objectForKey(key));
}

Ref<Array> UserDefaults::arrayForKey(std::string_view key) const
{
    return as<Array>(objectForKey(key));
}

Ref<Dictionary> UserDefaults::dictionaryForKey(std::string_view key) const
{
    return as<Dictionary>(objectForKey(key));
}

Ref<Dictionary> UserDefaults::dictionaryRepresentation() const
{
    std::vector<DictionaryEntry> entries;
    std::lock_guard guard(m_lock);
    entries.reserve(m_values.size());
    for (auto& [key, value] : m_values)
        entries.emplace_back(String::create(key), value);
    return Dictionary::create(std::move(entries));
}

void UserDefaults::store(std::string_view key, Id value)
{
    std::lock_guard guard(m_lock);
    if (value) {
        auto found = m_values.find(key);
        if (found != m_values.end())
            found->second = std::move(value);
        else
            m_values.emplace(std::string(key), std::move(value));
    } else {
        auto found = m_values.find(key);
        if (found == m_values.end())
            return;
        m_values.erase(found);
    }
    ++m_generation;
    scheduleWrite();
}

void UserDefaults::scheduleWrite()
{
    if (!m_path || m_fileUnreadable)
        return;
    auto self = weak_from_this();
    if (self.expired())
        return;
    {
        std::lock_guard guard(m_scheduleLock);
        if (m_writeScheduled)
            return;
        m_writeScheduled = true;
    }
    // Changes made in a burst (a launch count sets several keys) are written together.
    Thread::detach("defaults writer", [self] {
        auto defaults = self.lock();
        if (!defaults)
            return;
        {
            std::lock_guard guard(defaults->m_scheduleLock);
            defaults->m_writeScheduled = false;
        }
        defaults->synchronize();
    });
}

bool UserDefaults::setObjectForKey(const Id& object, std::string_view key)
{
    if (!object) {
        store(key, nullptr);
        return true;
    }
    Id copy = PropertyList::immutableDeepCopy(object);
    if (!copy) {
        Log::format("User defaults: refusing to store a value of class %s for key %s: not a property list", object->className(), key);
        return false;
    }
    store(key, std::move(copy));
    return true;
}

void UserDefaults::setIntegerForKey(int64_t value, std::string_view key)
{
    store(key, Number::withInteger(value));
}

void UserDefaults::setDoubleForKey(double value, std::string_view key)
{
    store(key, Number::withDouble(value));
}

void UserDefaults::setBoolForKey(bool value, std::string_view key)
{
    store(key, Number::withBool(value));
}

void UserDefaults::removeObjectForKey(std::string_view key)
{
    store(key, nullptr);
}

bool UserDefaults::synchronize()
{
    if (!m_path)
        return true;
    if (m_fileUnreadable)
        return false;
    Ref<Dictionary> snapshot;
    uint64_t generation;
    {
        std::lock_guard guard(m_lock);
        snapshot = dictionaryRepresentation();
        generation = m_generation;
    }
    // Writers take turns; a snapshot older than the one on disk is not written over it.
    std::lock_guard writeGuard(m_writeLock);
    if (generation == m_writtenGeneration && m_lastWriteSucceeded)
        return true;
    if (generation < m_writtenGeneration)
        return m_lastWriteSucceeded;
    Ref<Error> error;
    bool written = FileManager::createDirectory(m_path->parent_path(), &error) && PropertyList::writeFile(snapshot, *m_path, &error);
    if (!written)
        Log::format("User defaults: cannot write %s: %@", m_path->string(), error);
    m_writtenGeneration = generation;
    m_lastWriteSucceeded = written;
    return written;
}

}
