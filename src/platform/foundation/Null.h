#pragma once

#include "platform/foundation/Object.h"

namespace fnd {

// The one object that stands for "no value" inside collections.
class Null final : public Object {
public:
    static const Ref<Null>& null();

    std::string_view className() const override { return "Null"; }
    std::string description() const override { return "<null>"; }

    Null() = default;
};

inline bool isNull(const Id& object)
{
    return !object || object == Null::null();
}

}
