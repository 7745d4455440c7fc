#include "FastJSONTestSupport.h"

#include "json/fast/FastJSONSerializing.h"
#include "json/fast/JKDoubleFormatter.h"
#include "json/JsonWriter.h"
#include "platform/foundation/Assertion.h"
#include "platform/foundation/DecimalNumber.h"
#include "platform/foundation/Exception.h"
#include "platform/foundation/MutableString.h"
#include "platform/foundation/Null.h"
#include "platform/foundation/Number.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>

using namespace brenzo::testing;

namespace {

fnd::Id text(std::string_view value)
{
    return fnd::String::create(value);
}

fnd::Id integer(int64_t value)
{
    return fnd::Number::withInteger(value);
}

fnd::Ref<fnd::Array> arrayOf(std::vector<fnd::Id> objects)
{
    return fnd::Array::create(std::move(objects));
}

// Keeps insertion order, so compact output is predictable.
fnd::Ref<fnd::Dictionary> dictionaryOf(std::vector<fnd::DictionaryEntry> entries)
{
    return fnd::Dictionary::create(std::move(entries));
}

std::string encode(const fnd::Ref<fnd::Array>& array, JKSerializeOptionFlags options = 0, fnd::Ref<fnd::Error>* error = nullptr)
{
    auto result = FastJSONSerializing::JSONStringWithOptionsError(array, options, error);
    return result ? result->utf8() : "<nil>";
}

std::string encode(const fnd::Ref<fnd::Dictionary>& dictionary, JKSerializeOptionFlags options = 0, fnd::Ref<fnd::Error>* error = nullptr)
{
    auto result = FastJSONSerializing::JSONStringWithOptionsError(dictionary, options, error);
    return result ? result->utf8() : "<nil>";
}

std::string encodingError(const fnd::Ref<fnd::Array>& array, JKSerializeOptionFlags options = 0)
{
    fnd::Ref<fnd::Error> error;
    if (FastJSONSerializing::JSONStringWithOptionsError(array, options, &error) || !error)
        return "<no error>";
    EXPECT_EQ(error->domain(), "JKErrorDomain");
    EXPECT_EQ(error->code(), -1);
    return error->localizedDescription();
}

std::string encodeString(std::string_view value, JKSerializeOptionFlags options = 0, bool includeQuotes = true)
{
    fnd::Ref<fnd::Error> error;
    auto result = FastJSONSerializing::JSONStringWithOptionsIncludeQuotesError(fnd::String::create(value), options, includeQuotes, &error);
    return result ? result->utf8() : "<error: " + (error ? error->localizedDescription() : std::string()) + ">";
}

TEST(SerializerLayout, WritesCompactText)
{
    auto value = dictionaryOf({ { text("b"), arrayOf({ integer(1), text("x"), fnd::Number::yes(), fnd::Number::no(), fnd::Null::null() }) },
        { text("a"), dictionaryOf({}) }, { text("c"), arrayOf({}) } });
    EXPECT_EQ(encode(value), R"({"b":[1,"x",true,false,null],"a":{},"c":[]})");
    EXPECT_EQ(encode(arrayOf({})), "[]");
    EXPECT_EQ(encode(dictionaryOf({})), "{}");
}

TEST(SerializerLayout, WritesPrettyTextWithSortedKeys)
{
    auto value = dictionaryOf({ { text("b"), arrayOf({ integer(1), integer(2) }) }, { text("a"), dictionaryOf({ { text("k"), fnd::Null::null() } }) } });
    EXPECT_EQ(encode(value, JKSerializeOptionPretty), "{\n  \"a\": {\n    \"k\": null\n  },\n  \"b\": [\n    1,\n    2\n  ]\n}");
    EXPECT_EQ(encode(arrayOf({}), JKSerializeOptionPretty), "[\n  \n]");
    EXPECT_EQ(encode(dictionaryOf({}), JKSerializeOptionPretty), "{\n  \n}");
}

TEST(SerializerLayout, SortsKeysInTheSameOrderAsTheOtherWriter)
{
    // U+E000 is one UTF-16 unit above every surrogate, though its UTF-8 bytes sort below U+1F600's.
    auto value = dictionaryOf({ { text("\uE000"), integer(1) }, { text("\U0001F600"), integer(2) }, { text("\u00E9"), integer(3) },
        { text("\U0001F600x"), integer(4) }, { text("\U00010000"), integer(5) } });
    std::string sorted = "\u00E9\U00010000\U0001F600\U0001F600x\uE000";

    std::string fast = encode(value, JKSerializeOptionPretty);
    JsonWriter writer;
    writer.setHumanReadable(true);
    writer.setSortKeys(true);
    std::string other = writer.stringWithFragment(value)->utf8();

    auto keysOf = [](const std::string& json) {
        std::string keys;
        for (size_t quote = json.find("\n  \""); quote != std::string::npos; quote = json.find("\n  \"", quote + 1))
            keys += json.substr(quote + 4, json.find('"', quote + 4) - quote - 4);
        return keys;
    };
    EXPECT_EQ(keysOf(fast), sorted);
    EXPECT_EQ(keysOf(other), sorted);
}

TEST(SerializerStrings, EscapeWhatJSONRequires)
{
    EXPECT_EQ(encodeString("tab\there \"quoted\" back\\slash"), R"("tab\there \"quoted\" back\\slash")");
    EXPECT_EQ(encodeString("\b\f\n\r\t\x01\x1f"), R"("\b\f\n\r\t\u0001\u001f")");
    EXPECT_EQ(encodeString(std::string_view("\0", 1)), R"("\u0000")");
    EXPECT_EQ(encodeString("a/b"), R"("a/b")");
    EXPECT_EQ(encodeString("a/b", JKSerializeOptionEscapeForwardSlashes), R"("a\/b")");
    EXPECT_EQ(encodeString("plain", 0, false), "plain");
    EXPECT_EQ(encodeString("say \"hi\"", 0, false), R"(say \"hi\")");
}

TEST(SerializerStrings, WriteUnicodeRawOrEscaped)
{
    const std::string text = "caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80";
    EXPECT_EQ(encodeString(text), "\"" + text + "\"");
    EXPECT_EQ(encodeString(text, JKSerializeOptionEscapeUnicode), R"("caf\u00e9 \u20ac \ud83d\ude00")");
    // Noncharacters are characters like any other.
    EXPECT_EQ(encodeString("\xEF\xBF\xBE\xEF\xB7\x90", JKSerializeOptionEscapeUnicode), R"("\ufffe\ufdd0")");
    EXPECT_EQ(encodeString("\xF4\x8F\xBF\xBF", JKSerializeOptionEscapeUnicode), R"("\udbff\udfff")");
    EXPECT_EQ(encodeString("bad \xFF"), "<error: An error occurred converting the contents of a NSString to UTF8.>");
    EXPECT_EQ(encodeString("bad \xE2\x82", JKSerializeOptionEscapeUnicode), "<error: Error converting UTF8.>");
}

TEST(SerializerStrings, LongStringsOfEscapesAreWrittenWhole)
{
    std::string value = std::string(10100, '\x01') + std::string(20000, '"') + std::string(5000, 'x');
    std::string expected = "\"";
    for (int index = 0; index < 10100; ++index)
        expected += "\\u0001";
    for (int index = 0; index < 20000; ++index)
        expected += "\\\"";
    expected += std::string(5000, 'x') + "\"";
    EXPECT_EQ(encodeString(value), expected);
}

TEST(SerializerStrings, TheSameObjectTwiceIsWrittenTwice)
{
    auto shared = text("again \xC3\xA9");
    EXPECT_EQ(encode(arrayOf({ shared, shared })), "[\"again \xC3\xA9\",\"again \xC3\xA9\"]");
}

TEST(SerializerNumbers, WriteIntegersAndDoublesExactly)
{
    auto charNumber = std::make_shared<fnd::TypedNumber<fnd::Number::Type::Bool>>(fnd::Number::Scalar::ofSigned(1));
    auto values = arrayOf({ fnd::Number::withDouble(0.1), integer(std::numeric_limits<int64_t>::min()), integer(std::numeric_limits<int64_t>::max()),
        fnd::Number::withUnsigned(std::numeric_limits<uint64_t>::max()), fnd::Number::withBool(true), charNumber, fnd::Number::withDouble(1.0),
        fnd::Number::withDouble(-0.0), fnd::Number::withDouble(1e300), fnd::Number::withDouble(5e-324), fnd::DecimalNumber::fromText("1.23456789012345678901234567890") });
    EXPECT_EQ(encode(values), "[0.10000000000000001,-9223372036854775808,9223372036854775807,18446744073709551615,true,1,1,-0,"
                              "1.0000000000000001e+300,4.9406564584124654e-324,1.2345678901234567890123456789]");
}

TEST(SerializerNumbers, DoublesRoundTripExactly)
{
    std::mt19937_64 random(7);
    std::vector<fnd::Id> numbers;
    std::vector<double> expected;
    for (int index = 0; index < 5000; ++index) {
        uint64_t bits = random();
        double value;
        std::memcpy(&value, &bits, sizeof value);
        if (!std::isfinite(value))
            continue;
        numbers.push_back(fnd::Number::withDouble(value));
        expected.push_back(value);
    }
    auto decoded = fnd::as<fnd::Array>(decodeJSON(encode(arrayOf(numbers))));
    ASSERT_TRUE(decoded);
    ASSERT_EQ(decoded->count(), expected.size());
    for (size_t index = 0; index < expected.size(); ++index) {
        double value = fnd::as<fnd::Number>(decoded->objectAtIndex(index))->doubleValue();
        ASSERT_EQ(std::memcmp(&value, &expected[index], sizeof value), 0) << expected[index];
    }
}

TEST(SerializerNumbers, DoublesAreWrittenAsSeventeenSignificantDigits)
{
    auto check = [](double value) {
        char expected[64];
        auto end = std::to_chars(expected, expected + sizeof expected, value, std::chars_format::general, 17).ptr;
        char written[64];
        size_t length = JKFormatDouble(value, written);
        ASSERT_EQ(std::string_view(written, length), std::string_view(expected, static_cast<size_t>(end - expected))) << value;
    };
    for (double value : { 0.0, -0.0, 1.0, -1.0, 0.1, 0.5, 100.0, 1e16, 1e17, 123456789012345680.0, 1e-5, 1e-4, 0.00012345, 1e22, 1e300,
             5e-324, 2.2250738585072014e-308, 1125899906842624.25, 9007199254740993.0, 0.99999999999999989, 9.9999999999999991e16,
             -65.613616999999977, 179.99999999999997, 4503599627370497.5 })
        check(value);
    std::mt19937_64 random(11);
    for (int index = 0; index < 100000; ++index) {
        uint64_t bits = random();
        double value;
        std::memcpy(&value, &bits, sizeof value);
        if (std::isfinite(value))
            check(value);
        // Also values near the ranges that matter most: coordinates, prices, small integers.
        double scaled = std::ldexp(static_cast<double>(bits >> 11), -53) * std::pow(10.0, static_cast<int>(bits % 24) - 8);
        check(scaled);
        check(-scaled);
    }
}

TEST(SerializerNumbers, IgnoreTheProcessLocale)
{
    ScopedCommaDecimalLocale locale;
    if (!locale.isActive())
        GTEST_SKIP() << "no locale with a decimal comma can be made here";
    EXPECT_EQ(encode(arrayOf({ fnd::Number::withDouble(1.5), fnd::Number::withDouble(0.1) })), "[1.5,0.10000000000000001]");
}

TEST(SerializerErrors, RefuseWhatJSONCannotHold)
{
    const std::string finite = "Floating point values must be finite.  JSON does not support NaN or Infinity.";
    EXPECT_EQ(encodingError(arrayOf({ fnd::Number::withDouble(std::nan("")) })), finite);
    EXPECT_EQ(encodingError(arrayOf({ fnd::Number::withDouble(-INFINITY) })), finite);
    auto numberKey = arrayOf({ std::make_shared<fnd::StandardDictionary>(std::vector<fnd::DictionaryEntry> { { text("a"), integer(1) }, { integer(2), integer(3) } }, false) });
    EXPECT_EQ(encodingError(numberKey), "Key must be a string object.");
    // Sorting for pretty output must not meet a key that is not a string.
    EXPECT_EQ(encodingError(numberKey, JKSerializeOptionPretty), "Key must be a string object.");
    EXPECT_EQ(encodingError(arrayOf({ fnd::Data::create(std::string_view("x")) })), "Unable to serialize object class Data.");
}

TEST(SerializerErrors, CheckTheTopLevelAndTheResultKind)
{
    fnd::Ref<fnd::Error> error;
    auto serialize = [&](const fnd::Id& object, JKEncodeOptionType encodeOption) {
        error = nullptr;
        return JKSerializer::serializeObjectOptionsEncodeOptionBlockDelegateSelectorError(object, 0, encodeOption, nullptr, nullptr, nullptr, &error);
    };
    EXPECT_FALSE(serialize(text("x"), JKEncodeOptionAsString | JKEncodeOptionCollectionObj));
    EXPECT_EQ(error->localizedDescription(), "Unable to serialize object class String, expected a NSArray or NSDictionary.");
    EXPECT_FALSE(serialize(arrayOf({}), JKEncodeOptionAsString | JKEncodeOptionStringObj));
    EXPECT_EQ(error->localizedDescription(), "Unable to serialize object class Array, expected a NSString.");
    EXPECT_FALSE(serialize(arrayOf({}), 3 | JKEncodeOptionCollectionObj));
    EXPECT_EQ(error->localizedDescription(), "Unknown encode as type.");
    EXPECT_TRUE(fnd::is<fnd::Data>(serialize(integer(5), JKEncodeOptionAsData)));
    EXPECT_FALSE(error);

    std::vector<std::string> assertions;
    fnd::ScopedAssertionHandler handler([&](const fnd::AssertionInfo& info) { assertions.push_back(info.message); });
    EXPECT_FALSE(serialize(text("x"), JKEncodeOptionAsString | JKEncodeOptionCollectionObj | JKEncodeOptionStringObjTrimQuotes));
    EXPECT_FALSE(JKSerializer::serializeObjectOptionsEncodeOptionBlockDelegateSelectorError(nullptr, 0, JKEncodeOptionAsString, nullptr, nullptr, nullptr, nullptr));
    ASSERT_EQ(assertions.size(), 2u);
    EXPECT_EQ(assertions[1], "Invalid parameter not satisfying: object != NULL");
}

TEST(SerializerErrors, RefuseNestingPastTheCeiling)
{
    auto selfContaining = fnd::MutableArray::create();
    selfContaining->addObject(integer(1));
    selfContaining->addObject(selfContaining);
    std::string message = encodingError(selfContaining);
    EXPECT_EQ(message, "Unable to serialize object nested deeper than 65536 levels.");
    selfContaining->removeAllObjects();

    auto build = [](int depth) {
        fnd::Ref<fnd::Array> value = arrayOf({});
        for (int level = 1; level < depth; ++level)
            value = arrayOf({ value });
        return value;
    };
    EXPECT_EQ(encodingError(build(100000)), message);
    std::string deep = encode(build(50000));
    EXPECT_EQ(deep, std::string(50000, '[') + std::string(50000, ']'));
}

TEST(SerializerFormatters, BlocksReplaceUnsupportedObjects)
{
    auto value = arrayOf({ fnd::Data::create(std::string_view("ab")), integer(1) });
    auto describe = [](const fnd::Id& object) -> fnd::Id { return fnd::String::create("<" + std::string(object->className()) + ">"); };
    auto result = FastJSONSerializing::JSONStringWithOptionsSerializeUnsupportedClassesUsingBlockError(value, 0, describe, nullptr);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->utf8(), R"(["<Data>",1])");

    auto toContainer = [](const fnd::Id&) -> fnd::Id { return arrayOf({ integer(7) }); };
    auto data = FastJSONSerializing::JSONDataWithOptionsSerializeUnsupportedClassesUsingBlockError(value, 0, toContainer, nullptr);
    ASSERT_TRUE(data);
    EXPECT_EQ(data->asStringView(), "[[7],1]");

    fnd::Ref<fnd::Error> error;
    auto nothing = [](const fnd::Id&) -> fnd::Id { return nullptr; };
    EXPECT_FALSE(FastJSONSerializing::JSONStringWithOptionsSerializeUnsupportedClassesUsingBlockError(value, 0, nothing, &error));
    EXPECT_EQ(error->localizedDescription(), "Unable to serialize object class Data.");
    auto stillData = [](const fnd::Id& object) -> fnd::Id { return object; };
    EXPECT_FALSE(FastJSONSerializing::JSONDataWithOptionsSerializeUnsupportedClassesUsingBlockError(value, 0, stillData, &error));
    EXPECT_EQ(error->localizedDescription(), "Unable to serialize object class Data that was returned by the unsupported class formatter.  Original object class was Data.");
}

// A formatter may change a decoded dictionary while it is written; the entries it held when its
// writing began are written, and its old storage is not read again.
TEST(SerializerFormatters, DictionaryChangedByTheFormatterIsWrittenAsItWas)
{
    auto dictionary = fnd::as<fnd::MutableDictionary>(decodeJSON(R"({"a":1,"b":2,"c":3})", JKParseOptionStrict, true));
    ASSERT_TRUE(dictionary);
    for (const char* key : { "a", "b", "c" })
        dictionary->setObjectForKey(fnd::Data::create(std::string_view("x")), key);
    bool grown = false;
    auto growOnce = [&](const fnd::Id&) -> fnd::Id {
        // Enough entries to move the table.
        for (int index = 0; !grown && index < 200; ++index)
            dictionary->setObjectForKey(integer(index), "k" + std::to_string(index));
        grown = true;
        return text("z");
    };
    auto result = FastJSONSerializing::JSONStringWithOptionsSerializeUnsupportedClassesUsingBlockError(dictionary, 0, growOnce, nullptr);
    ASSERT_TRUE(result);
    auto written = fnd::as<fnd::Dictionary>(decodeJSON(result->utf8()));
    ASSERT_TRUE(written) << result->utf8();
    EXPECT_EQ(written->count(), 3u);
    for (const char* key : { "a", "b", "c" })
        EXPECT_TRUE(fnd::as<fnd::String>(written->objectForKey(key))) << result->utf8();
}

// Text written once for a shared object is copied when the object comes again; each object must still
// be written as what it is where it is.
TEST(SerializerSharedValues, RepeatedObjectsAreWrittenAlike)
{
    auto shared = text("sh\"ared");
    auto number = fnd::Number::withDouble(0.1);
    auto value = arrayOf({ shared, number, dictionaryOf({ { shared, shared }, { text("n"), number } }), shared, number });
    EXPECT_EQ(encode(value), R"(["sh\"ared",0.10000000000000001,{"sh\"ared":"sh\"ared","n":0.10000000000000001},"sh\"ared",0.10000000000000001])");
    EXPECT_EQ(encode(value, JKSerializeOptionPretty).find(R"("sh\"ared": "sh\"ared")") != std::string::npos, true);

    // A number written before is still refused as a key.
    fnd::Id key = integer(5);
    EXPECT_EQ(encodingError(arrayOf({ key, dictionaryOf({ { key, integer(1) } }) })), "Key must be a string object.");
}

TEST(SerializerSharedValues, FormatterResultsAreNotMistakenForEachOther)
{
    // One object at one address answered each time, with other text: what was written for it
    // before must not be copied.
    std::vector<fnd::Id> blobs;
    for (int index = 0; index < 300; ++index)
        blobs.push_back(fnd::Data::create(std::string_view("x")));
    int counter = 0;
    auto reused = fnd::MutableString::create("");
    auto numbered = [&](const fnd::Id&) -> fnd::Id {
        reused->setString(std::to_string(counter++));
        return reused;
    };
    auto result = FastJSONSerializing::JSONStringWithOptionsSerializeUnsupportedClassesUsingBlockError(arrayOf(blobs), 0, numbered, nullptr);
    ASSERT_TRUE(result);
    std::string expected = "[";
    for (int index = 0; index < 300; ++index)
        expected += (index ? ",\"" : "\"") + std::to_string(index) + "\"";
    EXPECT_EQ(result->utf8(), expected + "]");
}

class Formatter : public JKSerializerDelegate {
public:
    bool respondsToSelector(std::string_view selector) const override { return selector == "formatObject:"; }
    fnd::Id performSelectorWithObject(std::string_view, const fnd::Id& object) override
    {
        ++calls;
        return fnd::String::create(object->className());
    }
    int calls = 0;
};

TEST(SerializerFormatters, DelegatesReplaceUnsupportedObjects)
{
    Formatter formatter;
    auto value = dictionaryOf({ { text("blob"), fnd::Data::create(std::string_view("ab")) } });
    auto result = FastJSONSerializing::JSONStringWithOptionsSerializeUnsupportedClassesUsingDelegateSelectorError(value, 0, &formatter, "formatObject:", nullptr);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->utf8(), R"({"blob":"Data"})");
    EXPECT_EQ(formatter.calls, 1);
    EXPECT_TRUE(FastJSONSerializing::JSONDataWithOptionsSerializeUnsupportedClassesUsingDelegateSelectorError(arrayOf({ value }), 0, &formatter, "formatObject:", nullptr));

    try {
        FastJSONSerializing::JSONDataWithOptionsSerializeUnsupportedClassesUsingDelegateSelectorError(value, 0, &formatter, nullptr, nullptr);
        FAIL();
    } catch (const fnd::Exception& exception) {
        EXPECT_EQ(exception.name(), "NSInvalidArgumentException");
        EXPECT_EQ(exception.reason(), "The delegate argument is not NULL, but the selector argument is NULL.");
    }
    try {
        FastJSONSerializing::JSONStringWithOptionsSerializeUnsupportedClassesUsingDelegateSelectorError(arrayOf({}), 0, &formatter, "other:", nullptr);
        FAIL();
    } catch (const fnd::Exception& exception) {
        EXPECT_EQ(exception.reason(), "The serializeUnsupportedClassesUsingDelegate: delegate does not respond to the selector argument.");
    }

    std::vector<std::string> assertions;
    fnd::ScopedAssertionHandler handler([&](const fnd::AssertionInfo& info) { assertions.push_back(info.message); });
    auto block = [](const fnd::Id& object) { return object; };
    EXPECT_FALSE(JKSerializer::serializeObjectOptionsEncodeOptionBlockDelegateSelectorError(value, 0, JKEncodeOptionAsString, block, &formatter, "formatObject:", nullptr));
    EXPECT_EQ(assertions.size(), 1u);
}

// Encoders hand their storage on to the next one on the thread: what one wrote must never show
// through in what a later or nested one writes.
TEST(SerializerStorage, EachResultHoldsOnlyItsOwnText)
{
    auto large = arrayOf({ text(std::string(100000, 'x')), integer(1) });
    ASSERT_EQ(FastJSONSerializing::JSONData(large)->length(), 100000u + 6);
    EXPECT_EQ(FastJSONSerializing::JSONData(arrayOf({ integer(2) }))->asStringView(), "[2]");
    EXPECT_EQ(encode(large).size(), 100000u + 6);
    EXPECT_EQ(FastJSONSerializing::JSONString(arrayOf({}))->utf8(), "[]");

    auto nested = [](const fnd::Id& object) -> fnd::Id {
        return FastJSONSerializing::JSONString(arrayOf({ text(object->className()), text(std::string(5000, 'y')) }));
    };
    auto value = arrayOf({ text(std::string(3000, 'z')), fnd::Data::create(std::string_view("ab")) });
    auto result = FastJSONSerializing::JSONStringWithOptionsSerializeUnsupportedClassesUsingBlockError(value, 0, nested, nullptr);
    ASSERT_TRUE(result);
    std::string inner = "[\"Data\",\"" + std::string(5000, 'y') + "\"]";
    std::string escapedInner;
    for (char character : inner)
        escapedInner += character == '"' ? std::string("\\\"") : std::string(1, character);
    EXPECT_EQ(result->utf8(), "[\"" + std::string(3000, 'z') + "\",\"" + escapedInner + "\"]");
    EXPECT_EQ(encode(arrayOf({ integer(3) })), "[3]");
}

TEST(SerializerConveniences, ProduceDataOrStrings)
{
    auto array = arrayOf({ text("\xC3\xA9") });
    auto dictionary = dictionaryOf({ { text("k"), integer(1) } });
    EXPECT_EQ(FastJSONSerializing::JSONData(array)->asStringView(), "[\"\xC3\xA9\"]");
    EXPECT_EQ(FastJSONSerializing::JSONString(array)->utf8(), "[\"\xC3\xA9\"]");
    EXPECT_EQ(FastJSONSerializing::JSONDataWithOptionsError(array, JKSerializeOptionEscapeUnicode, nullptr)->asStringView(), R"(["\u00e9"])");
    EXPECT_EQ(FastJSONSerializing::JSONData(dictionary)->asStringView(), R"({"k":1})");
    EXPECT_EQ(FastJSONSerializing::JSONString(dictionary)->utf8(), R"({"k":1})");
    EXPECT_EQ(FastJSONSerializing::JSONDataWithOptionsError(dictionary, JKSerializeOptionPretty, nullptr)->asStringView(), "{\n  \"k\": 1\n}");
    auto string = fnd::String::create("a\"b");
    EXPECT_EQ(FastJSONSerializing::JSONData(string)->asStringView(), R"("a\"b")");
    EXPECT_EQ(FastJSONSerializing::JSONString(string)->utf8(), R"("a\"b")");
    EXPECT_EQ(FastJSONSerializing::JSONDataWithOptionsIncludeQuotesError(string, 0, false, nullptr)->asStringView(), R"(a\"b)");
}

TEST(SerializerRoundTrip, DecodedDocumentsEncodeBackToEqualValues)
{
    for (const char* name : { "twitter", "citm_catalog", "canada" }) {
        auto document = readBenchmarkDocument(name);
        if (!document)
            GTEST_SKIP() << "the benchmark documents are not there";
        fnd::Id original = decodeJSON(*document);
        ASSERT_TRUE(original) << name;
        for (JKSerializeOptionFlags options : std::vector<JKSerializeOptionFlags> { JKSerializeOptionNone, JKSerializeOptionPretty, JKSerializeOptionEscapeUnicode | JKSerializeOptionEscapeForwardSlashes }) {
            fnd::Ref<fnd::Error> error;
            auto encoded = fnd::as<fnd::String>(JKSerializer::serializeObjectOptionsEncodeOptionBlockDelegateSelectorError(
                original, options, JKEncodeOptionAsString, nullptr, nullptr, nullptr, &error));
            ASSERT_TRUE(encoded) << name << ": " << (error ? error->localizedDescription() : "");
            fnd::Id decoded = decodeJSON(encoded->utf8());
            ASSERT_TRUE(decoded) << name;
            EXPECT_TRUE(fnd::isEqual(original, decoded)) << name << " with options " << options;
        }
    }
}

}
