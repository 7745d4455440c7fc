#pragma once

#include <any>
#include <functional>
#include <memory>
#include <string>

namespace rt {

// One class known by name: how to make an instance (as the base class it was registered with)
// and, optionally, its class-level interface, the "metaclass": an object of the product's own
// type carrying what the class answers without an instance (a title, what it can share...).
class Class {
public:
    template<typename Base>
    using Factory = std::function<std::shared_ptr<Base>()>;

    template<typename Base, typename Metaclass = void>
    static std::shared_ptr<const Class> make(std::string name, Factory<Base> factory, std::shared_ptr<const Metaclass> metaclass = nullptr)
    {
        std::any storedMetaclass;
        if (metaclass)
            storedMetaclass = std::move(metaclass);
        return std::shared_ptr<const Class>(new Class(std::move(name), std::move(factory), std::move(storedMetaclass)));
    }

    const std::string& name() const { return m_name; }

    // A new instance, or nothing when the class was registered with another base class or its
    // factory gives nothing.
    template<typename Base>
    std::shared_ptr<Base> create() const
    {
        auto* factory = std::any_cast<Factory<Base>>(&m_factory);
        return factory && *factory ? (*factory)() : nullptr;
    }

    template<typename Base>
    bool createsInstancesOf() const { return std::any_cast<Factory<Base>>(&m_factory) != nullptr; }

    // The class-level interface, or nothing when there is none of that type.
    template<typename Metaclass>
    std::shared_ptr<const Metaclass> metaclass() const
    {
        auto* stored = std::any_cast<std::shared_ptr<const Metaclass>>(&m_metaclass);
        return stored ? *stored : nullptr;
    }

private:
    Class(std::string name, std::any factory, std::any metaclass)
        : m_name(std::move(name))
        , m_factory(std::move(factory))
        , m_metaclass(std::move(metaclass))
    {
    }

    std::string m_name;
    std::any m_factory;
    std::any m_metaclass;
};

}
