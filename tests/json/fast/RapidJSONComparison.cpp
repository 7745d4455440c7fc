// Compares the fast decoder with RapidJSON (full precision, UTF-8 checked) on one input.

#include "RapidJSONComparison.h"

#include "json/fast/JKUnicode.h"
#include "json/fast/JSONDecoder.h"
#include "platform/foundation/Array.h"
#include "platform/foundation/Dictionary.h"
#include "platform/foundation/Error.h"
#include "platform/foundation/Null.h"
#include "platform/foundation/Number.h"
#include "platform/foundation/String.h"

#include <rapidjson/document.h>
#include <rapidjson/memorystream.h>
#include <rapidjson/reader.h>

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string_view>

namespace brenzo::testing {

namespace {

using RapidDocument = rapidjson::Document;
// Numbers come as their text, which the C++ library converts: RapidJSON's own full-precision
// conversion misreads some long numbers and reads out of bounds on others.
constexpr unsigned rapidFlags = rapidjson::kParseNumbersAsStringsFlag | rapidjson::kParseValidateEncodingFlag | rapidjson::kParseIterativeFlag;

// Hands RapidJSON's reading to a document, each number converted from its text: an integer that
// fits 64 bits as an integer, anything else as the nearest double.
class DocumentWithConvertedNumbers {
public:
    explicit DocumentWithConvertedNumbers(RapidDocument& document) : m_document(document) { }

    bool RawNumber(const char* text, rapidjson::SizeType length, bool)
    {
        std::string_view number(text, length);
        if (number.find_first_of(".eE") == std::string_view::npos) {
            int64_t signedValue;
            if (number.starts_with('-') && std::from_chars(number.data(), number.data() + number.size(), signedValue).ec == std::errc())
                return m_document.Int64(signedValue);
            uint64_t unsignedValue;
            if (!number.starts_with('-') && std::from_chars(number.data(), number.data() + number.size(), unsignedValue).ec == std::errc())
                return m_document.Uint64(unsignedValue);
        }
        return m_document.Double(std::strtod(std::string(number).c_str(), nullptr));
    }

    bool Null() { return m_document.Null(); }
    bool Bool(bool value) { return m_document.Bool(value); }
    bool Int(int value) { return m_document.Int(value); }
    bool Uint(unsigned value) { return m_document.Uint(value); }
    bool Int64(int64_t value) { return m_document.Int64(value); }
    bool Uint64(uint64_t value) { return m_document.Uint64(value); }
    bool Double(double value) { return m_document.Double(value); }
    bool String(const char* text, rapidjson::SizeType length, bool copy) { return m_document.String(text, length, copy); }
    bool StartObject() { return m_document.StartObject(); }
    bool Key(const char* text, rapidjson::SizeType length, bool copy) { return m_document.Key(text, length, copy); }
    bool EndObject(rapidjson::SizeType count) { return m_document.EndObject(count); }
    bool StartArray() { return m_document.StartArray(); }
    bool EndArray(rapidjson::SizeType count) { return m_document.EndArray(count); }

private:
    RapidDocument& m_document;
};

// What RapidJSON's tree holds that the decoder refuses by design.
struct RapidContents {
    bool refusedCharacter = false;
    bool hugeInteger = false;
};

void survey(const rapidjson::Value& value, RapidContents& contents)
{
    auto surveyString = [&](const char* bytes, size_t length) {
        auto* begin = reinterpret_cast<const uint8_t*>(bytes);
        for (size_t offset = 0; offset < length;) {
            if (begin[offset] == 0) {
                contents.refusedCharacter = true;
                ++offset;
                continue;
            }
            auto sequence = ConvertSingleCodePointInUTF8(begin + offset, begin + length, JKNoncharacters::Accept);
            // RapidJSON writes a lone low surrogate escape as its three-byte form, which is ill-formed.
            if (sequence.result != JKUTF8Result::Ok || JKIsNoncharacter(sequence.codePoint))
                contents.refusedCharacter = true;
            offset += sequence.length;
        }
    };
    if (value.IsString()) {
        surveyString(value.GetString(), value.GetStringLength());
    } else if (value.IsDouble()) {
        double number = value.GetDouble();
        if (std::fabs(number) >= 9.2e18)
            contents.hugeInteger = true;
    } else if (value.IsArray()) {
        for (auto& element : value.GetArray())
            survey(element, contents);
    } else if (value.IsObject()) {
        for (auto& member : value.GetObject()) {
            surveyString(member.name.GetString(), member.name.GetStringLength());
            survey(member.value, contents);
        }
    }
}

bool sameValue(const fnd::Id& ours, const rapidjson::Value& theirs, std::string& reason);

bool sameNumber(const fnd::Number& ours, const rapidjson::Value& theirs, std::string& reason)
{
    if (!theirs.IsNumber()) {
        reason = "number against another kind";
        return false;
    }
    switch (ours.type()) {
    case fnd::Number::Type::Int64:
        if (theirs.IsInt64() && theirs.GetInt64() == ours.longLongValue())
            return true;
        break;
    case fnd::Number::Type::UInt64:
        if (theirs.IsUint64() && theirs.GetUint64() == ours.unsignedLongLongValue())
            return true;
        break;
    case fnd::Number::Type::Double: {
        double value = ours.doubleValue();
        double other = theirs.GetDouble();
        if (theirs.IsDouble() ? std::memcmp(&value, &other, sizeof value) == 0 : value == other)
            return true;
        break;
    }
    default:
        break;
    }
    reason = "numbers differ: " + ours.stringValue();
    return false;
}

bool sameValue(const fnd::Id& ours, const rapidjson::Value& theirs, std::string& reason)
{
    if (ours == fnd::Null::null())
        return theirs.IsNull() || (reason = "null against another kind", false);
    if (ours == fnd::Number::yes() || ours == fnd::Number::no())
        return (theirs.IsBool() && theirs.GetBool() == (ours == fnd::Number::yes())) || (reason = "boolean differs", false);
    if (auto number = fnd::as<fnd::Number>(ours))
        return sameNumber(*number, theirs, reason);
    if (auto string = fnd::as<fnd::String>(ours)) {
        if (theirs.IsString() && string->view() == std::string_view(theirs.GetString(), theirs.GetStringLength()))
            return true;
        reason = "strings differ: " + string->utf8();
        return false;
    }
    if (auto array = fnd::as<fnd::Array>(ours)) {
        if (!theirs.IsArray() || theirs.Size() != array->count()) {
            reason = "arrays differ";
            return false;
        }
        for (rapidjson::SizeType index = 0; index < theirs.Size(); ++index) {
            if (!sameValue(array->objectAtIndex(index), theirs[index], reason))
                return false;
        }
        return true;
    }
    if (auto dictionary = fnd::as<fnd::Dictionary>(ours)) {
        if (!theirs.IsObject()) {
            reason = "object against another kind";
            return false;
        }
        // RapidJSON keeps duplicate keys; the decoder keeps the last one.
        std::map<std::string, const rapidjson::Value*> lastByKey;
        for (auto& member : theirs.GetObject())
            lastByKey[std::string(member.name.GetString(), member.name.GetStringLength())] = &member.value;
        if (lastByKey.size() != dictionary->count()) {
            reason = "object sizes differ";
            return false;
        }
        for (auto& [key, value] : lastByKey) {
            fnd::Id ourValue = dictionary->objectForKey(key);
            if (!ourValue) {
                reason = "missing key " + key;
                return false;
            }
            if (!sameValue(ourValue, *value, reason))
                return false;
        }
        return true;
    }
    reason = "unexpected class";
    return false;
}

// RapidJSON refuses any number whose exponent is beyond the double range, even "0e400"; the C library
// judges the number that starts at the offset instead.
bool isFiniteNumberAt(const std::string& input, size_t offset)
{
    size_t end = input.find_first_not_of("+-.eE0123456789", offset);
    std::string number = input.substr(offset, end == std::string::npos ? std::string::npos : end - offset);
    return std::isfinite(std::strtod(number.c_str(), nullptr));
}

}

std::string disagreementWithRapidJSON(const std::string& input)
{
    fnd::Ref<fnd::Error> error;
    auto decoder = JSONDecoder::decoderWithParseOptions(JKParseOptionStrict);
    fnd::Id ours = decoder->objectWithUTF8StringLengthError(input.data(), input.size(), &error);
    if (!ours && !error)
        return "failed without an error";
    // RapidJSON reads a NUL byte as the end of the input, so it cannot judge such inputs.
    if (input.find('\0') != std::string::npos)
        return "";
    RapidDocument theirs;
    rapidjson::ParseResult theirResult;
    auto readInput = [&](RapidDocument& document) {
        // A memory stream rather than Parse(text, length), which skips a stray leading byte it takes for part of a BOM.
        rapidjson::MemoryStream stream(input.data(), input.size());
        DocumentWithConvertedNumbers handler(document);
        rapidjson::Reader reader;
        theirResult = reader.Parse<rapidFlags>(stream, handler);
        return !theirResult.IsError();
    };
    theirs.Populate(readInput);
    bool theyAccept = !theirResult.IsError();

    if (ours) {
        if (theirResult.Code() == rapidjson::kParseErrorNumberTooBig)
            return isFiniteNumberAt(input, theirResult.Offset()) ? "" : "accepted a number too large for a double";
        if (!theyAccept)
            return "accepted what RapidJSON refuses";
        std::string reason;
        return sameValue(ours, theirs, reason) ? "" : reason;
    }
    if (!theyAccept)
        return "";

    std::string message = error->localizedDescription();
    RapidContents contents;
    survey(theirs, contents);
    // A lone scalar is refused whatever it is (a final literal fails even as a token).
    if (!theirs.IsArray() && !theirs.IsObject())
        return "";
    if (message == "Expected either '[' or '{'.")
        return "refused a container at the top";
    if (message == "Illegal \\u Unicode escape sequence." || message == "Illegal UTF8 sequence found in \"\" string.")
        return contents.refusedCharacter ? "" : "refused a valid string: " + message;
    if (message.find("exceeded the m") != std::string::npos)
        return contents.hugeInteger ? "" : "refused an integer: " + message;
    if (message.find("as a 'double'") != std::string::npos) {
        // The number the message quotes is judged by the C library.
        size_t start = message.find('\'') + 1;
        std::string number = message.substr(start, message.find('\'', start) - start);
        double value = std::strtod(number.c_str(), nullptr);
        bool justified = message.find("underflow") != std::string::npos ? value == 0 : std::isinf(value);
        return justified ? "" : "refused a double: " + message;
    }
    return "refused what RapidJSON accepts: " + message;
}

}
