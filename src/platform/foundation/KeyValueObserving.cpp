#include "platform/foundation/KeyValueObserving.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <vector>

namespace fnd {

struct KeyValueObservable::Registry {
    struct Entry {
        uint64_t id;
        std::string key;
        Observer observer;
        std::atomic<bool> removed { false };
    };

    std::mutex lock;
    std::vector<std::shared_ptr<Entry>> entries;
    uint64_t nextId = 1;

    void remove(uint64_t id)
    {
        std::shared_ptr<Entry> removed;
        {
            std::lock_guard guard(lock);
            auto found = std::find_if(entries.begin(), entries.end(), [&](auto& entry) { return entry->id == id; });
            if (found == entries.end())
                return;
            removed = std::move(*found);
            entries.erase(found);
            removed->removed.store(true);
        }
        // The observer's captures die here, outside the lock, unless a change under way holds them.
    }
};

KeyValueObservable::KeyValueObservable()
    : m_registry(std::make_shared<Registry>())
{
}

KeyValueObservable::KeyValueObservable(const KeyValueObservable&)
    : KeyValueObservable()
{
}

KeyValueObservable& KeyValueObservable::operator=(const KeyValueObservable&)
{
    return *this;
}

KeyValueObservable::~KeyValueObservable() = default;

ObserverToken KeyValueObservable::addObserverForKey(std::string key, Observer observer)
{
    auto entry = std::make_shared<Registry::Entry>();
    entry->key = std::move(key);
    entry->observer = std::move(observer);
    uint64_t id;
    {
        std::lock_guard guard(m_registry->lock);
        id = entry->id = m_registry->nextId++;
        m_registry->entries.push_back(std::move(entry));
    }
    return ObserverToken([registry = std::weak_ptr<Registry>(m_registry), id] {
        if (auto alive = registry.lock())
            alive->remove(id);
    });
}

void KeyValueObservable::willChangeValueForKey(std::string_view key)
{
    notify(key, KeyValueChange::WillChange);
}

void KeyValueObservable::didChangeValueForKey(std::string_view key)
{
    notify(key, KeyValueChange::DidChange);
}

void KeyValueObservable::notify(std::string_view key, KeyValueChange change)
{
    // An observer may destroy this object; from here on only local copies are used.
    auto registry = m_registry;
    std::string changedKey(key);
    std::vector<std::shared_ptr<Registry::Entry>> observing;
    {
        std::lock_guard guard(registry->lock);
        for (auto& entry : registry->entries) {
            if (entry->key == changedKey)
                observing.push_back(entry);
        }
    }
    for (auto& entry : observing) {
        if (!entry->removed.load())
            entry->observer(changedKey, change);
    }
}

}
