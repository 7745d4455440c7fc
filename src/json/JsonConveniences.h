#pragma once

#include "platform/foundation/Object.h"
#include "platform/foundation/String.h"

// One-call conveniences over a fresh parser or writer. On failure each writes the error trace to
// the log, e.g. "-JSONValue failed. Error trace is: (...)", and answers nothing.

// The text's object or array; a lone scalar is refused.
fnd::Id JSONValue(const fnd::Ref<fnd::String>&);
// The text's value, scalars included.
fnd::Id JSONFragmentValue(const fnd::Ref<fnd::String>&);
// A dictionary or an array (or a stand-in for one) as JSON text.
fnd::Ref<fnd::String> JSONRepresentation(const fnd::Id&);
// Any value as JSON text.
fnd::Ref<fnd::String> JSONFragment(const fnd::Id&);
