#pragma once

#include "json/fast/JKArray.h"
#include "json/fast/JKDictionary.h"
#include "platform/foundation/Object.h"

#include <typeinfo>

// How the decoder's containers let go of their children.

// Drops the last reference to a child. A decoder container is destroyed at once, unless it holds
// containers and too many are already being destroyed inside one another; those and other containers
// go through the platform's deferred release, so that deep trees never recurse without bound.
void JKReleaseLastReference(fnd::Id&&);

// Class identity by address: one program holds one type_info per class, and comparing names instead
// would cost a string comparison for every other class. A miss only means the slower general path.
inline bool JKIsExactly(const fnd::Object& object, const std::type_info& type)
{
    return &typeid(object) == &type;
}

// Drops one reference to a child. One that is not the last nests nothing, and neither does a decoder
// array without containers; those are the usual cases (cached strings, numbers sharing a slab,
// coordinates and rows), so they are decided inline.
inline void JKReleaseChild(fnd::Id&& child)
{
    if (child.use_count() != 1 || (JKIsExactly(*child, typeid(JKArray)) && !static_cast<const JKArray&>(*child).holdsContainers())) {
        child.reset();
        return;
    }
    JKReleaseLastReference(std::move(child));
}

// Asks the processor for what releasing the child will touch: the child's storage when it is a
// decoder container (the child itself must have been fetched before). Inline, since containers ask
// for every child they release.
inline void JKPrefetchChildContents(const fnd::Object* object)
{
    if (!object)
        return;
    if (JKIsExactly(*object, typeid(JKArray)))
        static_cast<const JKArray*>(object)->prefetchStorage();
    else if (JKIsExactly(*object, typeid(JKDictionary)))
        static_cast<const JKDictionary*>(object)->prefetchStorage();
}

// Asks for what releasing a child array of scalars touches after its storage: the slab count of its
// first number (the child's storage must have been fetched before). Always inline: GCC takes an
// outlined function that only prefetches for one without effects, and drops its calls.
[[gnu::always_inline]] inline void JKPrefetchChildNumberSlab(const fnd::Object* object)
{
    if (object && JKIsExactly(*object, typeid(JKArray))) {
        auto& array = static_cast<const JKArray&>(*object);
        if (!array.holdsContainers())
            array.prefetchFirstNumberSlab();
    }
}
