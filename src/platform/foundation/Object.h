#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace fnd {

class Object;

// A dynamic value: strings, numbers, collections, errors... Empty means nil.
using Id = std::shared_ptr<Object>;

template<typename T>
using Ref = std::shared_ptr<T>;

// The root of the dynamic object model. Value classes (strings, numbers) compare and hash by
// value; everything else by identity.
class Object {
public:
    virtual ~Object() = default;

    virtual std::string_view className() const = 0;
    virtual size_t hash() const;
    virtual bool isEqual(const Object& other) const;
    // The text the platform shows for the value, e.g. "(\n    1,\n    2\n)" for an array.
    virtual std::string description() const;

    // Mutable variants answer true; copyOf() then makes an immutable copy of them.
    virtual bool isMutable() const { return false; }
    virtual Id immutableCopy() const;
    virtual Id mutableCopy() const;

    // Containers answer true so that destroying deep trees can be made iterative.
    virtual bool holdsObjects() const { return false; }

protected:
    Object() = default;
    Object(const Object&) = default;
    Object& operator=(const Object&) = default;
};

// Immutable values are shared; mutable ones are copied (the platform's "copy").
Id copyOf(const Id&);
Id mutableCopyOf(const Id&);

bool isEqual(const Id&, const Id&);
std::string descriptionOf(const Id&);

template<typename T>
Ref<T> as(const Id& object)
{
    return std::dynamic_pointer_cast<T>(object);
}

template<typename T>
bool is(const Id& object)
{
    return dynamic_cast<const T*>(object.get()) != nullptr;
}

struct ObjectHash {
    size_t operator()(const Id& object) const { return object ? object->hash() : 0; }
};

struct ObjectEqual {
    bool operator()(const Id& a, const Id& b) const { return isEqual(a, b); }
};

// Containers hand their children here when they die. Children that are containers themselves are
// destroyed one after another by the outermost release instead of recursively, so that a deeply
// nested value never exhausts the stack.
class DeferredRelease {
public:
    template<typename Container>
    static void releaseAll(Container& children)
    {
        for (auto& child : children)
            release(std::move(child));
    }
    static void release(Id&&);
};

}
