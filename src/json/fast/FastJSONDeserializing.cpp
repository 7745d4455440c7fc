#include "json/fast/FastJSONDeserializing.h"

#include "json/fast/JKError.h"
#include "json/fast/JSONDecoder.h"
#include "platform/foundation/Unicode.h"

fnd::Id FastJSONDeserializing::parseBytes(std::string_view bytes, JKParseOptionFlags options, fnd::Ref<fnd::Error>* error, bool mutableCollections)
{
    auto decoder = JSONDecoder::decoderWithParseOptions(options);
    const char* text = bytes.data() ? bytes.data() : "";
    fnd::Id result = mutableCollections ? decoder->mutableObjectWithUTF8StringLengthError(text, bytes.size(), error)
                                        : decoder->objectWithUTF8StringLengthError(text, bytes.size(), error);
    decoder->freeParseState();
    return result;
}

fnd::Id FastJSONDeserializing::parseString(const fnd::String& string, JKParseOptionFlags options, fnd::Ref<fnd::Error>* error, bool mutableCollections)
{
    if (!fnd::unicode::isValidUTF8(string.view())) {
        if (error)
            *error = JKErrorWithDescription("An error occurred converting the contents of a NSString to UTF8.");
        return nullptr;
    }
    return parseBytes(string.view(), options, error, mutableCollections);
}

fnd::Id FastJSONDeserializing::objectFromJSONString(const fnd::String& string)
{
    return parseString(string, JKParseOptionStrict, nullptr, false);
}

fnd::Id FastJSONDeserializing::objectFromJSONStringWithParseOptions(const fnd::String& string, JKParseOptionFlags options)
{
    return parseString(string, options, nullptr, false);
}

fnd::Id FastJSONDeserializing::objectFromJSONStringWithParseOptionsError(const fnd::String& string, JKParseOptionFlags options, fnd::Ref<fnd::Error>* error)
{
    return parseString(string, options, error, false);
}

fnd::Id FastJSONDeserializing::mutableObjectFromJSONString(const fnd::String& string)
{
    return parseString(string, JKParseOptionStrict, nullptr, true);
}

fnd::Id FastJSONDeserializing::mutableObjectFromJSONStringWithParseOptions(const fnd::String& string, JKParseOptionFlags options)
{
    return parseString(string, options, nullptr, true);
}

fnd::Id FastJSONDeserializing::mutableObjectFromJSONStringWithParseOptionsError(const fnd::String& string, JKParseOptionFlags options, fnd::Ref<fnd::Error>* error)
{
    return parseString(string, options, error, true);
}

fnd::Id FastJSONDeserializing::objectFromJSONData(const fnd::Data& data)
{
    return parseBytes(data.asStringView(), JKParseOptionStrict, nullptr, false);
}

fnd::Id FastJSONDeserializing::objectFromJSONDataWithParseOptions(const fnd::Data& data, JKParseOptionFlags options)
{
    return parseBytes(data.asStringView(), options, nullptr, false);
}

fnd::Id FastJSONDeserializing::objectFromJSONDataWithParseOptionsError(const fnd::Data& data, JKParseOptionFlags options, fnd::Ref<fnd::Error>* error)
{
    return parseBytes(data.asStringView(), options, error, false);
}

fnd::Id FastJSONDeserializing::mutableObjectFromJSONData(const fnd::Data& data)
{
    return parseBytes(data.asStringView(), JKParseOptionStrict, nullptr, true);
}

fnd::Id FastJSONDeserializing::mutableObjectFromJSONDataWithParseOptions(const fnd::Data& data, JKParseOptionFlags options)
{
    return parseBytes(data.asStringView(), options, nullptr, true);
}

fnd::Id FastJSONDeserializing::mutableObjectFromJSONDataWithParseOptionsError(const fnd::Data& data, JKParseOptionFlags options, fnd::Ref<fnd::Error>* error)
{
    return parseBytes(data.asStringView(), options, error, true);
}
