#pragma once

#include "json/fast/JKSerializer.h"
#include "platform/foundation/Array.h"
#include "platform/foundation/Data.h"
#include "platform/foundation/Dictionary.h"
#include "platform/foundation/String.h"

// One-call encoding of a string (as a JSON string, quoted or not) or of an array or a dictionary (as
// a JSON document) into UTF-8 data or a string. Each answers nothing after a failure, with the error
// stored through `error` when it is given. Objects of other classes inside a collection go through
// the block or delegate formatter when one is given.
class FastJSONSerializing {
public:
    static fnd::Ref<fnd::Data> JSONData(const fnd::Ref<fnd::String>&);
    static fnd::Ref<fnd::Data> JSONDataWithOptionsIncludeQuotesError(const fnd::Ref<fnd::String>&, JKSerializeOptionFlags, bool includeQuotes, fnd::Ref<fnd::Error>* error);
    static fnd::Ref<fnd::String> JSONString(const fnd::Ref<fnd::String>&);
    static fnd::Ref<fnd::String> JSONStringWithOptionsIncludeQuotesError(const fnd::Ref<fnd::String>&, JKSerializeOptionFlags, bool includeQuotes, fnd::Ref<fnd::Error>* error);

    static fnd::Ref<fnd::Data> JSONData(const fnd::Ref<fnd::Array>&);
    static fnd::Ref<fnd::Data> JSONDataWithOptionsError(const fnd::Ref<fnd::Array>&, JKSerializeOptionFlags, fnd::Ref<fnd::Error>* error);
    static fnd::Ref<fnd::Data> JSONDataWithOptionsSerializeUnsupportedClassesUsingDelegateSelectorError(const fnd::Ref<fnd::Array>&, JKSerializeOptionFlags, JKSerializerDelegate*, const char* selector, fnd::Ref<fnd::Error>* error);
    static fnd::Ref<fnd::Data> JSONDataWithOptionsSerializeUnsupportedClassesUsingBlockError(const fnd::Ref<fnd::Array>&, JKSerializeOptionFlags, const JKUnsupportedClassFormatter&, fnd::Ref<fnd::Error>* error);
    static fnd::Ref<fnd::String> JSONString(const fnd::Ref<fnd::Array>&);
    static fnd::Ref<fnd::String> JSONStringWithOptionsError(const fnd::Ref<fnd::Array>&, JKSerializeOptionFlags, fnd::Ref<fnd::Error>* error);
    static fnd::Ref<fnd::String> JSONStringWithOptionsSerializeUnsupportedClassesUsingDelegateSelectorError(const fnd::Ref<fnd::Array>&, JKSerializeOptionFlags, JKSerializerDelegate*, const char* selector, fnd::Ref<fnd::Error>* error);
    static fnd::Ref<fnd::String> JSONStringWithOptionsSerializeUnsupportedClassesUsingBlockError(const fnd::Ref<fnd::Array>&, JKSerializeOptionFlags, const JKUnsupportedClassFormatter&, fnd::Ref<fnd::Error>* error);

    static fnd::Ref<fnd::Data> JSONData(const fnd::Ref<fnd::Dictionary>&);
    static fnd::Ref<fnd::Data> JSONDataWithOptionsError(const fnd::Ref<fnd::Dictionary>&, JKSerializeOptionFlags, fnd::Ref<fnd::Error>* error);
    static fnd::Ref<fnd::Data> JSONDataWithOptionsSerializeUnsupportedClassesUsingDelegateSelectorError(const fnd::Ref<fnd::Dictionary>&, JKSerializeOptionFlags, JKSerializerDelegate*, const char* selector, fnd::Ref<fnd::Error>* error);
    static fnd::Ref<fnd::Data> JSONDataWithOptionsSerializeUnsupportedClassesUsingBlockError(const fnd::Ref<fnd::Dictionary>&, JKSerializeOptionFlags, const JKUnsupportedClassFormatter&, fnd::Ref<fnd::Error>* error);
    static fnd::Ref<fnd::String> JSONString(const fnd::Ref<fnd::Dictionary>&);
    static fnd::Ref<fnd::String> JSONStringWithOptionsError(const fnd::Ref<fnd::Dictionary>&, JKSerializeOptionFlags, fnd::Ref<fnd::Error>* error);
    static fnd::Ref<fnd::String> JSONStringWithOptionsSerializeUnsupportedClassesUsingDelegateSelectorError(const fnd::Ref<fnd::Dictionary>&, JKSerializeOptionFlags, JKSerializerDelegate*, const char* selector, fnd::Ref<fnd::Error>* error);
    static fnd::Ref<fnd::String> JSONStringWithOptionsSerializeUnsupportedClassesUsingBlockError(const fnd::Ref<fnd::Dictionary>&, JKSerializeOptionFlags, const JKUnsupportedClassFormatter&, fnd::Ref<fnd::Error>* error);

private:
    static fnd::Id serialize(const fnd::Id&, JKSerializeOptionFlags, JKEncodeOptionType, const JKUnsupportedClassFormatter&, JKSerializerDelegate*, const char* selector, fnd::Ref<fnd::Error>* error);
};
