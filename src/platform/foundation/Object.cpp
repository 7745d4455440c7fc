#include "platform/foundation/Object.h"

#include "platform/foundation/Format.h"

#include <functional>
#include <vector>

namespace fnd {

size_t Object::hash() const
{
    return std::hash<const void*>()(this);
}

bool Object::isEqual(const Object& other) const
{
    return this == &other;
}

std::string Object::description() const
{
    return format("<%s: %p>", className(), static_cast<const void*>(this));
}

Id Object::immutableCopy() const
{
    return nullptr;
}

Id Object::mutableCopy() const
{
    return nullptr;
}

Id copyOf(const Id& object)
{
    if (!object || !object->isMutable())
        return object;
    return object->immutableCopy();
}

Id mutableCopyOf(const Id& object)
{
    if (!object)
        return nullptr;
    return object->mutableCopy();
}

bool isEqual(const Id& a, const Id& b)
{
    if (a == b)
        return true;
    if (!a || !b)
        return false;
    return a->isEqual(*b);
}

std::string descriptionOf(const Id& object)
{
    return object ? object->description() : "(null)";
}

namespace {

struct ReleaseQueue {
    std::vector<Id> pending;
    bool draining = false;
};

thread_local ReleaseQueue releaseQueue;

}

void DeferredRelease::release(Id&& child)
{
    if (!child)
        return;
    // Only the last owner of a container may defer it; anything else just drops a reference.
    if (!child->holdsObjects() || child.use_count() > 1) {
        child.reset();
        return;
    }
    auto& queue = releaseQueue;
    queue.pending.push_back(std::move(child));
    if (queue.draining)
        return;
    queue.draining = true;
    while (!queue.pending.empty()) {
        Id next = std::move(queue.pending.back());
        queue.pending.pop_back();
        next.reset();
    }
    queue.draining = false;
}

}
