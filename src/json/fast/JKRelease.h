#pragma once

#include "platform/foundation/Object.h"

// How the decoder's containers let go of their children.

// Drops the last reference to a child. A decoder container is destroyed at once, unless it holds
// containers and too many are already being destroyed inside one another; those and other containers
// go through the platform's deferred release, so that deep trees never recurse without bound.
void JKReleaseLastReference(fnd::Id&&);

// Drops one reference to a child. One that is not the last nests nothing; that is the usual case
// (cached strings, numbers sharing a slab), so it is decided inline.
inline void JKReleaseChild(fnd::Id&& child)
{
    if (child.use_count() != 1) {
        child.reset();
        return;
    }
    JKReleaseLastReference(std::move(child));
}

// Asks the processor for what releasing the child will touch: the child's storage when it is a
// decoder container (the child itself must have been fetched before).
void JKPrefetchChildContents(const fnd::Object*);
