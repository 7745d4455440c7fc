#include "json/fast/JKRelease.h"

#include "json/fast/JKArray.h"
#include "json/fast/JKDictionary.h"

#include <typeinfo>

namespace {

// Class identity by address: one program holds one type_info per class, and comparing names instead
// would cost a string comparison for every other class. A miss only means the slower general path.
bool isExactly(const fnd::Object& object, const std::type_info& type)
{
    return &typeid(object) == &type;
}

}

void JKReleaseLastReference(fnd::Id&& child)
{
    fnd::Object* object = child.get();
    // The last reference to a value without children nests nothing either.
    if (!object || !object->holdsObjects()) {
        child.reset();
        return;
    }
    bool isFlatContainer = (isExactly(*object, typeid(JKArray)) && !static_cast<JKArray*>(object)->holdsContainers())
        || (isExactly(*object, typeid(JKDictionary)) && !static_cast<JKDictionary*>(object)->holdsContainers());
    if (isFlatContainer) {
        child.reset();
        return;
    }
    fnd::DeferredRelease::release(std::move(child));
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
