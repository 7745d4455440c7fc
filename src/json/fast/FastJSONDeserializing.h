#pragma once

#include "json/fast/JKParseOptions.h"
#include "platform/foundation/Data.h"
#include "platform/foundation/Error.h"
#include "platform/foundation/String.h"

// One-call decoding of a string's or a data object's JSON text with a decoder of its own, whose cache
// is dropped at once. The mutable... forms make every container in the result mutable. Errors as in
// JSONDecoder; a string that is not valid UTF-8 fails with a conversion error that has no position.
class FastJSONDeserializing {
public:
    static fnd::Id objectFromJSONString(const fnd::String&);
    static fnd::Id objectFromJSONStringWithParseOptions(const fnd::String&, JKParseOptionFlags);
    static fnd::Id objectFromJSONStringWithParseOptionsError(const fnd::String&, JKParseOptionFlags, fnd::Ref<fnd::Error>* error);
    static fnd::Id mutableObjectFromJSONString(const fnd::String&);
    static fnd::Id mutableObjectFromJSONStringWithParseOptions(const fnd::String&, JKParseOptionFlags);
    static fnd::Id mutableObjectFromJSONStringWithParseOptionsError(const fnd::String&, JKParseOptionFlags, fnd::Ref<fnd::Error>* error);

    static fnd::Id objectFromJSONData(const fnd::Data&);
    static fnd::Id objectFromJSONDataWithParseOptions(const fnd::Data&, JKParseOptionFlags);
    static fnd::Id objectFromJSONDataWithParseOptionsError(const fnd::Data&, JKParseOptionFlags, fnd::Ref<fnd::Error>* error);
    static fnd::Id mutableObjectFromJSONData(const fnd::Data&);
    static fnd::Id mutableObjectFromJSONDataWithParseOptions(const fnd::Data&, JKParseOptionFlags);
    static fnd::Id mutableObjectFromJSONDataWithParseOptionsError(const fnd::Data&, JKParseOptionFlags, fnd::Ref<fnd::Error>* error);

private:
    static fnd::Id parseString(const fnd::String&, JKParseOptionFlags, fnd::Ref<fnd::Error>* error, bool mutableCollections);
    static fnd::Id parseBytes(std::string_view, JKParseOptionFlags, fnd::Ref<fnd::Error>* error, bool mutableCollections);
};
