#include "json/fast/JKRelease.h"

#include "json/fast/JKArray.h"
#include "json/fast/JKDictionary.h"
#include "platform/foundation/Number.h"
#include "platform/foundation/String.h"

#include <typeinfo>

namespace {

// Class identity by address: one program holds one type_info per class, and comparing names instead
// would cost a string comparison for every other class. A miss only means the slower general path.
bool isExactly(const fnd::Object& object, const std::type_info& type)
{
    return &typeid(object) == &type;
}

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
    if (isExactly(*object, typeid(JKArray)))
        holdsContainers = static_cast<JKArray*>(object)->holdsContainers();
    else if (isExactly(*object, typeid(JKDictionary)))
        holdsContainers = static_cast<JKDictionary*>(object)->holdsContainers();
    else if (isExactly(*object, typeid(fnd::String)) || isExactly(*object, typeid(fnd::Number)) || !object->holdsObjects())
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

void JKPrefetchChildContents(const fnd::Object* object)
{
    if (!object)
        return;
    if (isExactly(*object, typeid(JKArray)))
        static_cast<const JKArray*>(object)->prefetchStorage();
    else if (isExactly(*object, typeid(JKDictionary)))
        static_cast<const JKDictionary*>(object)->prefetchStorage();
}
