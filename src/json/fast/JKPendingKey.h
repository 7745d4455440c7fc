#pragma once

#include "platform/foundation/Object.h"

#include <cstddef>

// The key of a dictionary member the decoder is still reading, with the key's platform hash, computed
// once. Keys wait on a stack of their own, beside the members' values.
struct JKPendingKey {
    fnd::Id key;
    size_t hash = 0;
};
