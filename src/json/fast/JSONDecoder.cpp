#include "json/fast/JSONDecoder.h"

#include "json/fast/JKParseState.h"
#include "platform/foundation/Exception.h"

fnd::Ref<JSONDecoder> JSONDecoder::decoder()
{
    return decoderWithParseOptions(JKParseOptionStrict);
}

fnd::Ref<JSONDecoder> JSONDecoder::decoderWithParseOptions(JKParseOptionFlags options)
{
    if (options & ~static_cast<JKParseOptionFlags>(JKParseOptionValidFlags))
        throw fnd::Exception("NSInvalidArgumentException", "Invalid parse options.");
    return std::make_shared<JSONDecoder>(ConstructionKey(), options);
}

JSONDecoder::JSONDecoder(ConstructionKey, JKParseOptionFlags options)
    : m_options(options)
    , m_parseState(std::make_unique<JKParseState>(options))
{
}

JSONDecoder::~JSONDecoder() = default;

fnd::Id JSONDecoder::parse(const char* string, size_t length, bool mutableCollections, fnd::Ref<fnd::Error>* error)
{
    if (!m_parseState)
        throw fnd::Exception("NSInternalInconsistencyException", "parseState is NULL.");
    if (!string)
        throw fnd::Exception("NSInvalidArgumentException", "The string argument is NULL.");
    return m_parseState->parse(reinterpret_cast<const uint8_t*>(string), length, mutableCollections, error);
}

fnd::Id JSONDecoder::parseData(const fnd::Ref<fnd::Data>& data, bool mutableCollections, fnd::Ref<fnd::Error>* error)
{
    if (!data)
        throw fnd::Exception("NSInvalidArgumentException", "The jsonData argument is NULL.");
    // Empty data may have no storage at all; it still parses (and fails) as an empty text.
    const char* bytes = data->length() ? reinterpret_cast<const char*>(data->bytes()) : "";
    return parse(bytes, data->length(), mutableCollections, error);
}

fnd::Id JSONDecoder::objectWithUTF8StringLengthError(const char* string, size_t length, fnd::Ref<fnd::Error>* error)
{
    return parse(string, length, false, error);
}

fnd::Id JSONDecoder::objectWithUTF8StringLength(const char* string, size_t length)
{
    return parse(string, length, false, nullptr);
}

fnd::Id JSONDecoder::mutableObjectWithUTF8StringLengthError(const char* string, size_t length, fnd::Ref<fnd::Error>* error)
{
    return parse(string, length, true, error);
}

fnd::Id JSONDecoder::mutableObjectWithUTF8StringLength(const char* string, size_t length)
{
    return parse(string, length, true, nullptr);
}

fnd::Id JSONDecoder::objectWithDataError(const fnd::Ref<fnd::Data>& data, fnd::Ref<fnd::Error>* error)
{
    return parseData(data, false, error);
}

fnd::Id JSONDecoder::objectWithData(const fnd::Ref<fnd::Data>& data)
{
    return parseData(data, false, nullptr);
}

fnd::Id JSONDecoder::mutableObjectWithDataError(const fnd::Ref<fnd::Data>& data, fnd::Ref<fnd::Error>* error)
{
    return parseData(data, true, error);
}

fnd::Id JSONDecoder::mutableObjectWithData(const fnd::Ref<fnd::Data>& data)
{
    return parseData(data, true, nullptr);
}

fnd::Id JSONDecoder::parseUTF8StringLength(const char* string, size_t length)
{
    return objectWithUTF8StringLengthError(string, length, nullptr);
}

fnd::Id JSONDecoder::parseUTF8StringLengthError(const char* string, size_t length, fnd::Ref<fnd::Error>* error)
{
    return objectWithUTF8StringLengthError(string, length, error);
}

fnd::Id JSONDecoder::parseJSONData(const fnd::Ref<fnd::Data>& data)
{
    return objectWithDataError(data, nullptr);
}

fnd::Id JSONDecoder::parseJSONDataError(const fnd::Ref<fnd::Data>& data, fnd::Ref<fnd::Error>* error)
{
    return objectWithDataError(data, error);
}

void JSONDecoder::clearCache()
{
    if (m_parseState)
        m_parseState->clearCache();
}

void JSONDecoder::freeParseState()
{
    m_parseState.reset();
}
