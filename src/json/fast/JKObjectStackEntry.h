#pragma once

#include "platform/foundation/Object.h"

#include <cstddef>

// One pending member of an open container on the decoder's object stack. Array members leave the key
// empty; dictionary members carry their key's platform hash, computed once.
struct JKObjectStackEntry {
    fnd::Id object;
    fnd::Id key;
    size_t keyHash = 0;
};
