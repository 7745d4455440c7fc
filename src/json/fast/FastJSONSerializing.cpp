#include "json/fast/FastJSONSerializing.h"

namespace {

using fnd::Ref;

JKEncodeOptionType stringEncodeOption(JKEncodeOptionType asType, bool includeQuotes)
{
    return asType | JKEncodeOptionStringObj | (includeQuotes ? JKEncodeOptionType(0) : JKEncodeOptionType(JKEncodeOptionStringObjTrimQuotes));
}

}

fnd::Id FastJSONSerializing::serialize(const fnd::Id& object, JKSerializeOptionFlags options, JKEncodeOptionType encodeOption,
    const JKUnsupportedClassFormatter& block, JKSerializerDelegate* delegate, const char* selector, fnd::Ref<fnd::Error>* error)
{
    return JKSerializer::serializeObjectOptionsEncodeOptionBlockDelegateSelectorError(object, options, encodeOption, block, delegate, selector, error);
}

Ref<fnd::Data> FastJSONSerializing::JSONData(const Ref<fnd::String>& string)
{
    return fnd::as<fnd::Data>(serialize(string, 0, stringEncodeOption(JKEncodeOptionAsData, true), nullptr, nullptr, nullptr, nullptr));
}

Ref<fnd::Data> FastJSONSerializing::JSONDataWithOptionsIncludeQuotesError(const Ref<fnd::String>& string, JKSerializeOptionFlags options, bool includeQuotes, Ref<fnd::Error>* error)
{
    return fnd::as<fnd::Data>(serialize(string, options, stringEncodeOption(JKEncodeOptionAsData, includeQuotes), nullptr, nullptr, nullptr, error));
}

Ref<fnd::String> FastJSONSerializing::JSONString(const Ref<fnd::String>& string)
{
    return fnd::as<fnd::String>(serialize(string, 0, stringEncodeOption(JKEncodeOptionAsString, true), nullptr, nullptr, nullptr, nullptr));
}

Ref<fnd::String> FastJSONSerializing::JSONStringWithOptionsIncludeQuotesError(const Ref<fnd::String>& string, JKSerializeOptionFlags options, bool includeQuotes, Ref<fnd::Error>* error)
{
    return fnd::as<fnd::String>(serialize(string, options, stringEncodeOption(JKEncodeOptionAsString, includeQuotes), nullptr, nullptr, nullptr, error));
}

Ref<fnd::Data> FastJSONSerializing::JSONData(const Ref<fnd::Array>& collection)
{
    return fnd::as<fnd::Data>(serialize(collection, 0, JKEncodeOptionAsData | JKEncodeOptionCollectionObj, nullptr, nullptr, nullptr, nullptr));
}

Ref<fnd::Data> FastJSONSerializing::JSONDataWithOptionsError(const Ref<fnd::Array>& collection, JKSerializeOptionFlags options, Ref<fnd::Error>* error)
{
    return fnd::as<fnd::Data>(serialize(collection, options, JKEncodeOptionAsData | JKEncodeOptionCollectionObj, nullptr, nullptr, nullptr, error));
}

Ref<fnd::Data> FastJSONSerializing::JSONDataWithOptionsSerializeUnsupportedClassesUsingDelegateSelectorError(const Ref<fnd::Array>& collection, JKSerializeOptionFlags options, JKSerializerDelegate* delegate, const char* selector, Ref<fnd::Error>* error)
{
    return fnd::as<fnd::Data>(serialize(collection, options, JKEncodeOptionAsData | JKEncodeOptionCollectionObj, nullptr, delegate, selector, error));
}

Ref<fnd::Data> FastJSONSerializing::JSONDataWithOptionsSerializeUnsupportedClassesUsingBlockError(const Ref<fnd::Array>& collection, JKSerializeOptionFlags options, const JKUnsupportedClassFormatter& block, Ref<fnd::Error>* error)
{
    return fnd::as<fnd::Data>(serialize(collection, options, JKEncodeOptionAsData | JKEncodeOptionCollectionObj, block, nullptr, nullptr, error));
}

Ref<fnd::String> FastJSONSerializing::JSONString(const Ref<fnd::Array>& collection)
{
    return fnd::as<fnd::String>(serialize(collection, 0, JKEncodeOptionAsString | JKEncodeOptionCollectionObj, nullptr, nullptr, nullptr, nullptr));
}

Ref<fnd::String> FastJSONSerializing::JSONStringWithOptionsError(const Ref<fnd::Array>& collection, JKSerializeOptionFlags options, Ref<fnd::Error>* error)
{
    return fnd::as<fnd::String>(serialize(collection, options, JKEncodeOptionAsString | JKEncodeOptionCollectionObj, nullptr, nullptr, nullptr, error));
}

Ref<fnd::String> FastJSONSerializing::JSONStringWithOptionsSerializeUnsupportedClassesUsingDelegateSelectorError(const Ref<fnd::Array>& collection, JKSerializeOptionFlags options, JKSerializerDelegate* delegate, const char* selector, Ref<fnd::Error>* error)
{
    return fnd::as<fnd::String>(serialize(collection, options, JKEncodeOptionAsString | JKEncodeOptionCollectionObj, nullptr, delegate, selector, error));
}

Ref<fnd::String> FastJSONSerializing::JSONStringWithOptionsSerializeUnsupportedClassesUsingBlockError(const Ref<fnd::Array>& collection, JKSerializeOptionFlags options, const JKUnsupportedClassFormatter& block, Ref<fnd::Error>* error)
{
    return fnd::as<fnd::String>(serialize(collection, options, JKEncodeOptionAsString | JKEncodeOptionCollectionObj, block, nullptr, nullptr, error));
}

Ref<fnd::Data> FastJSONSerializing::JSONData(const Ref<fnd::Dictionary>& collection)
{
    return fnd::as<fnd::Data>(serialize(collection, 0, JKEncodeOptionAsData | JKEncodeOptionCollectionObj, nullptr, nullptr, nullptr, nullptr));
}

Ref<fnd::Data> FastJSONSerializing::JSONDataWithOptionsError(const Ref<fnd::Dictionary>& collection, JKSerializeOptionFlags options, Ref<fnd::Error>* error)
{
    return fnd::as<fnd::Data>(serialize(collection, options, JKEncodeOptionAsData | JKEncodeOptionCollectionObj, nullptr, nullptr, nullptr, error));
}

Ref<fnd::Data> FastJSONSerializing::JSONDataWithOptionsSerializeUnsupportedClassesUsingDelegateSelectorError(const Ref<fnd::Dictionary>& collection, JKSerializeOptionFlags options, JKSerializerDelegate* delegate, const char* selector, Ref<fnd::Error>* error)
{
    return fnd::as<fnd::Data>(serialize(collection, options, JKEncodeOptionAsData | JKEncodeOptionCollectionObj, nullptr, delegate, selector, error));
}

Ref<fnd::Data> FastJSONSerializing::JSONDataWithOptionsSerializeUnsupportedClassesUsingBlockError(const Ref<fnd::Dictionary>& collection, JKSerializeOptionFlags options, const JKUnsupportedClassFormatter& block, Ref<fnd::Error>* error)
{
    return fnd::as<fnd::Data>(serialize(collection, options, JKEncodeOptionAsData | JKEncodeOptionCollectionObj, block, nullptr, nullptr, error));
}

Ref<fnd::String> FastJSONSerializing::JSONString(const Ref<fnd::Dictionary>& collection)
{
    return fnd::as<fnd::String>(serialize(collection, 0, JKEncodeOptionAsString | JKEncodeOptionCollectionObj, nullptr, nullptr, nullptr, nullptr));
}

Ref<fnd::String> FastJSONSerializing::JSONStringWithOptionsError(const Ref<fnd::Dictionary>& collection, JKSerializeOptionFlags options, Ref<fnd::Error>* error)
{
    return fnd::as<fnd::String>(serialize(collection, options, JKEncodeOptionAsString | JKEncodeOptionCollectionObj, nullptr, nullptr, nullptr, error));
}

Ref<fnd::String> FastJSONSerializing::JSONStringWithOptionsSerializeUnsupportedClassesUsingDelegateSelectorError(const Ref<fnd::Dictionary>& collection, JKSerializeOptionFlags options, JKSerializerDelegate* delegate, const char* selector, Ref<fnd::Error>* error)
{
    return fnd::as<fnd::String>(serialize(collection, options, JKEncodeOptionAsString | JKEncodeOptionCollectionObj, nullptr, delegate, selector, error));
}

Ref<fnd::String> FastJSONSerializing::JSONStringWithOptionsSerializeUnsupportedClassesUsingBlockError(const Ref<fnd::Dictionary>& collection, JKSerializeOptionFlags options, const JKUnsupportedClassFormatter& block, Ref<fnd::Error>* error)
{
    return fnd::as<fnd::String>(serialize(collection, options, JKEncodeOptionAsString | JKEncodeOptionCollectionObj, block, nullptr, nullptr, error));
}
