#include "platform/foundation/NotificationCenter.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <vector>

namespace fnd {

struct NotificationCenter::Registry {
    struct Observer {
        uint64_t id;
        std::string name;
        const void* sender;
        Callback callback;
        std::atomic<bool> removed { false };

        bool matches(const Notification& notification) const
        {
            return (name.empty() || name == notification.name()) && (!sender || sender == notification.object());
        }
    };

    std::mutex lock;
    std::vector<std::shared_ptr<Observer>> observers;
    uint64_t nextId = 1;

    void remove(uint64_t id)
    {
        std::shared_ptr<Observer> removed;
        {
            std::lock_guard guard(lock);
            auto found = std::find_if(observers.begin(), observers.end(), [&](auto& observer) { return observer->id == id; });
            if (found == observers.end())
                return;
            removed = std::move(*found);
            observers.erase(found);
            removed->removed.store(true);
        }
        // The callback's captures die here, outside the lock, unless a post still holds them.
    }
};

NotificationCenter::NotificationCenter()
    : m_registry(std::make_shared<Registry>())
{
}

NotificationCenter::~NotificationCenter() = default;

NotificationCenter& NotificationCenter::defaultCenter()
{
    static auto* center = new NotificationCenter; // never destroyed: observers may outlive exit
    return *center;
}

ObserverToken NotificationCenter::addObserver(std::string name, const void* sender, Callback callback)
{
    auto observer = std::make_shared<Registry::Observer>();
    observer->name = std::move(name);
    observer->sender = sender;
    observer->callback = std::move(callback);
    uint64_t id;
    {
        std::lock_guard guard(m_registry->lock);
        id = observer->id = m_registry->nextId++;
        m_registry->observers.push_back(std::move(observer));
    }
    return ObserverToken([registry = std::weak_ptr<Registry>(m_registry), id] {
        if (auto alive = registry.lock())
            alive->remove(id);
    });
}

void NotificationCenter::removeObserver(ObserverToken& token)
{
    token.remove();
}

void NotificationCenter::post(std::string name, const void* sender, Ref<Dictionary> userInfo)
{
    post(Notification(std::move(name), sender, std::move(userInfo)));
}

void NotificationCenter::post(const Notification& notification)
{
    // Observers run without the lock, from a snapshot that keeps their callbacks alive.
    auto registry = m_registry;
    std::vector<std::shared_ptr<Registry::Observer>> matching;
    {
        std::lock_guard guard(registry->lock);
        for (auto& observer : registry->observers) {
            if (observer->matches(notification))
                matching.push_back(observer);
        }
    }
    for (auto& observer : matching) {
        if (!observer->removed.load())
            observer->callback(notification);
    }
}

}
