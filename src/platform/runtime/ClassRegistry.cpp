#include "platform/runtime/ClassRegistry.h"

#include "platform/foundation/Log.h"

namespace rt {

ClassRegistry& ClassRegistry::shared()
{
    // Made on first use, so that registrations from static initialisers find it; never destroyed,
    // so that nothing registered goes before the last lookup.
    static auto* registry = new ClassRegistry;
    return *registry;
}

bool ClassRegistry::registerClass(std::shared_ptr<const Class> newClass)
{
    if (!newClass)
        return false;
    {
        std::lock_guard guard(m_lock);
        if (m_classes.emplace(newClass->name(), newClass).second)
            return true;
    }
    fnd::Log::format("Class %s is already registered; the second registration is ignored", newClass->name());
    return false;
}

bool ClassRegistry::unregisterClass(std::string_view name)
{
    std::shared_ptr<const Class> removed;
    std::lock_guard guard(m_lock);
    auto found = m_classes.find(name);
    if (found == m_classes.end())
        return false;
    removed = std::move(found->second);
    m_classes.erase(found);
    return true;
}

bool ClassRegistry::isRegistered(std::string_view name) const
{
    return classNamed(name) != nullptr;
}

std::shared_ptr<const Class> ClassRegistry::classNamed(std::string_view name) const
{
    std::lock_guard guard(m_lock);
    auto found = m_classes.find(name);
    return found == m_classes.end() ? nullptr : found->second;
}

std::vector<std::string> ClassRegistry::classNames() const
{
    std::lock_guard guard(m_lock);
    std::vector<std::string> names;
    names.reserve(m_classes.size());
    for (auto& [name, registered] : m_classes)
        names.push_back(name);
    return names;
}

}
