#pragma once

#include "platform/foundation/Object.h"

// How the decoder's containers let go of their children.

// Drops one reference to a child. A child that is the last reference to a decoder container holding
// no containers is destroyed at once, in order, which nests no deeper; other containers go through
// the platform's deferred release, so that deep trees never recurse.
void JKReleaseChild(fnd::Id&& child);

// Asks the processor for what releasing the child will touch: the child's storage when it is a
// decoder container (the child itself must have been fetched before).
void JKPrefetchChildContents(const fnd::Object*);
