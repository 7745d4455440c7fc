#include "json/fast/JKRelease.h"

#include "json/fast/JKArray.h"
#include "json/fast/JKDictionary.h"

#include <typeinfo>

void JKReleaseChild(fnd::Id&& child)
{
    fnd::Object* object = child.get();
    if (object && child.use_count() == 1) {
        const std::type_info& type = typeid(*object);
        bool isFlatContainer = (type == typeid(JKArray) && !static_cast<JKArray*>(object)->holdsContainers())
            || (type == typeid(JKDictionary) && !static_cast<JKDictionary*>(object)->holdsContainers());
        if (isFlatContainer) {
            child.reset();
            return;
        }
    }
    fnd::DeferredRelease::release(std::move(child));
}

void JKPrefetchChildContents(const fnd::Object* object)
{
    if (!object)
        return;
    const std::type_info& type = typeid(*object);
    if (type == typeid(JKArray))
        static_cast<const JKArray*>(object)->prefetchStorage();
    else if (type == typeid(JKDictionary))
        static_cast<const JKDictionary*>(object)->prefetchStorage();
}
