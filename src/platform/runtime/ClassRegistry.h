#pragma once

#include "platform/runtime/Class.h"

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace rt {

// The process's classes by name, standing in for the platform's "class named X": the
// application's delegate, the sharers kept by name in favourites and the offline queue, and
// platform classes whose presence a part tests. Safe to use from static initialisers and from
// any thread.
class ClassRegistry {
public:
    static ClassRegistry& shared();

    ClassRegistry() = default;
    ClassRegistry(const ClassRegistry&) = delete;
    ClassRegistry& operator=(const ClassRegistry&) = delete;

    // Answers false, and keeps the class already there, when the name is taken.
    bool registerClass(std::shared_ptr<const Class>);

    template<typename Base, typename Metaclass = void>
    bool registerClass(std::string name, Class::Factory<Base> factory, std::shared_ptr<const Metaclass> metaclass = nullptr)
    {
        return registerClass(Class::make<Base, Metaclass>(std::move(name), std::move(factory), std::move(metaclass)));
    }

    // Answers whether there was such a class.
    bool unregisterClass(std::string_view name);

    bool isRegistered(std::string_view name) const;
    std::shared_ptr<const Class> classNamed(std::string_view name) const;
    // Every registered name, in alphabetical order.
    std::vector<std::string> classNames() const;

    // A new instance of the named class as `Base`; nothing for an unknown name or another base.
    template<typename Base>
    std::shared_ptr<Base> create(std::string_view name) const
    {
        auto found = classNamed(name);
        return found ? found->create<Base>() : nullptr;
    }

private:
    mutable std::mutex m_lock;
    std::map<std::string, std::shared_ptr<const Class>, std::less<>> m_classes;
};

}
