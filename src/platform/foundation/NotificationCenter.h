#pragma once

#include "platform/foundation/Dictionary.h"
#include "platform/foundation/ObserverToken.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace fnd {

// What a notification carries: its name, the object that posted it (compared by identity, may be
// null) and optional user information.
class Notification {
public:
    Notification(std::string name, const void* object, Ref<Dictionary> userInfo)
        : m_name(std::move(name))
        , m_object(object)
        , m_userInfo(std::move(userInfo))
    {
    }

    const std::string& name() const { return m_name; }
    const void* object() const { return m_object; }
    const Ref<Dictionary>& userInfo() const { return m_userInfo; }

private:
    std::string m_name;
    const void* m_object;
    Ref<Dictionary> m_userInfo;
};

// Delivers notifications to observers by name and, optionally, by sender. post() calls the
// matching observers synchronously on the posting thread, in the order they were added. An
// observer removed while a post is under way is not called afterwards; observers added during a
// post are called from the next post on. Observers may post, add and remove observers.
class NotificationCenter {
public:
    using Callback = std::function<void(const Notification&)>;

    NotificationCenter();
    ~NotificationCenter();
    NotificationCenter(const NotificationCenter&) = delete;
    NotificationCenter& operator=(const NotificationCenter&) = delete;

    static NotificationCenter& defaultCenter();

    // An empty name observes every name; a null sender observes every sender.
    ObserverToken addObserver(std::string name, const void* sender, Callback);
    void removeObserver(ObserverToken&);

    void post(std::string name, const void* sender = nullptr, Ref<Dictionary> userInfo = nullptr);
    void post(const Notification&);

private:
    struct Registry;
    std::shared_ptr<Registry> m_registry;
};

}
