#include "json/fast/JKRelease.h"

#include "platform/foundation/Number.h"
#include "platform/foundation/String.h"

namespace {

// How many decoder containers are being destroyed inside one another on this thread. Up to a bound,
// a container holding containers is destroyed at once, which nests a few frames per level; deeper
// ones go through the platform's deferred release, which never nests.
thread_local unsigned t_nestedReleases = 0;
constexpr unsigned nestedReleaseLimit = 64;

}

void JKReleaseLastReference(fnd::Id&& child)
{
    fnd::Object* object = child.get();
    if (!object) {
        child.reset();
        return;
    }
    bool holdsContainers;
    if (JKIsExactly(*object, typeid(JKArray)))
        holdsContainers = static_cast<JKArray*>(object)->holdsContainers();
    else if (JKIsExactly(*object, typeid(JKDictionary)))
        holdsContainers = static_cast<JKDictionary*>(object)->holdsContainers();
    else if (JKIsExactly(*object, typeid(fnd::String)) || JKIsExactly(*object, typeid(fnd::Number)) || !object->holdsObjects())
        holdsContainers = false;
    else {
        fnd::DeferredRelease::release(std::move(child));
        return;
    }
    if (!holdsContainers) {
        child.reset();
        return;
    }
    if (t_nestedReleases >= nestedReleaseLimit) {
        fnd::DeferredRelease::release(std::move(child));
        return;
    }
    ++t_nestedReleases;
    child.reset();
    --t_nestedReleases;
}
