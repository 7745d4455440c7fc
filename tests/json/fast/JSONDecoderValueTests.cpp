#include "FastJSONTestSupport.h"

#include "json/fast/FastJSONDeserializing.h"
#include "json/fast/JKArray.h"
#include "json/fast/JKDictionary.h"
#include "json/fast/JKTokenValue.h"
#include "platform/foundation/Exception.h"
#include "platform/foundation/Null.h"
#include "platform/foundation/Number.h"
#include "platform/foundation/String.h"

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

using namespace brenzo::testing;

namespace {

fnd::Id onlyElement(std::string_view text, JKParseOptionFlags options = 0)
{
    auto array = fnd::as<fnd::Array>(decodeJSON(text, options));
    if (!array || array->count() != 1)
        return nullptr;
    return array->objectAtIndex(0);
}

std::string onlyString(std::string_view text, JKParseOptionFlags options = 0)
{
    auto string = fnd::as<fnd::String>(onlyElement(text, options));
    return string ? string->utf8() : "<not a string>";
}

fnd::Ref<fnd::Number> onlyNumber(std::string_view text)
{
    return fnd::as<fnd::Number>(onlyElement(text));
}

TEST(DecoderValues, BuildsTheValueTree)
{
    auto value = fnd::as<fnd::Dictionary>(decodeJSON(R"({"name":"Ann","tags":["a",true,false,null],"age":41,"score":-2.5,"nested":{}})"));
    ASSERT_TRUE(value);
    EXPECT_EQ(value->count(), 5u);
    EXPECT_EQ(value->stringForKey("name"), "Ann");
    auto tags = value->objectForKeyAs<fnd::Array>("tags");
    ASSERT_TRUE(tags);
    ASSERT_EQ(tags->count(), 4u);
    EXPECT_EQ(tags->objectAtIndex(1), fnd::Number::yes());
    EXPECT_EQ(tags->objectAtIndex(2), fnd::Number::no());
    EXPECT_EQ(tags->objectAtIndex(3), fnd::Null::null());
    EXPECT_EQ(value->objectForKeyAs<fnd::Number>("age")->longLongValue(), 41);
    EXPECT_EQ(value->objectForKeyAs<fnd::Number>("score")->doubleValue(), -2.5);
    EXPECT_TRUE(value->objectForKeyAs<fnd::Dictionary>("nested")->isEmpty());
    EXPECT_TRUE(fnd::is<JKDictionary>(value));
    EXPECT_TRUE(fnd::is<JKArray>(tags));
}

TEST(DecoderValues, NumbersKeepTheirKinds)
{
    struct Case {
        std::string text;
        fnd::Number::Type type;
    };
    for (auto& [text, type] : std::vector<Case> {
             { "[0]", fnd::Number::Type::Int64 },
             { "[-5]", fnd::Number::Type::Int64 },
             { "[9223372036854775807]", fnd::Number::Type::Int64 },
             { "[-9223372036854775808]", fnd::Number::Type::Int64 },
             { "[9223372036854775808]", fnd::Number::Type::UInt64 },
             { "[18446744073709551615]", fnd::Number::Type::UInt64 },
             { "[-0]", fnd::Number::Type::Double },
             { "[1.0]", fnd::Number::Type::Double },
             { "[1.5e3]", fnd::Number::Type::Double },
             { "[1E+2]", fnd::Number::Type::Double },
         }) {
        auto number = onlyNumber(text);
        ASSERT_TRUE(number) << text;
        EXPECT_EQ(number->type(), type) << text;
    }
    EXPECT_EQ(onlyNumber("[-9223372036854775808]")->longLongValue(), std::numeric_limits<int64_t>::min());
    EXPECT_EQ(onlyNumber("[9223372036854775808]")->unsignedLongLongValue(), 9223372036854775808ull);
    EXPECT_EQ(onlyNumber("[18446744073709551615]")->objCType(), 'Q');
    EXPECT_EQ(onlyNumber("[18446744073709551615]")->unsignedLongLongValue(), std::numeric_limits<uint64_t>::max());
    EXPECT_TRUE(std::signbit(onlyNumber("[-0]")->doubleValue()));
    EXPECT_EQ(onlyNumber("[1.5e3]")->doubleValue(), 1500.0);
    EXPECT_EQ(onlyNumber("[0.1]")->doubleValue(), 0.1);
}

// Numbers are made in blocks that they share; each must stay valid for as long as anything holds it,
// whatever else from the same parse is gone.
TEST(DecoderValues, NumbersOutliveTheirContainersAndDecoder)
{
    std::string text = "[";
    for (int index = 0; index < 100; ++index)
        text += (index ? "," : "") + std::to_string(index) + ".5";
    text += "]";

    std::vector<fnd::Ref<fnd::Number>> kept;
    {
        auto decoder = JSONDecoder::decoder();
        auto array = fnd::as<fnd::Array>(decoder->objectWithUTF8StringLength(text.data(), text.size()));
        ASSERT_TRUE(array);
        ASSERT_EQ(array->count(), 100u);
        for (size_t index : { 0, 15, 16, 17, 63, 99 })
            kept.push_back(array->objectAtIndexAs<fnd::Number>(index));
        decoder->clearCache();
    }
    const double expected[] = { 0.5, 15.5, 16.5, 17.5, 63.5, 99.5 };
    for (size_t index = 0; index < kept.size(); ++index) {
        ASSERT_TRUE(kept[index]);
        EXPECT_EQ(kept[index]->doubleValue(), expected[index]);
    }
    // Released one by one, the last one frees the memory they shared; the sanitizers watch this.
    while (!kept.empty()) {
        EXPECT_EQ(kept.back()->stringValue().back(), '5');
        kept.pop_back();
    }
}

TEST(DecoderValues, AcceptsSubnormalDoubles)
{
    EXPECT_EQ(onlyNumber("[4.9e-324]")->doubleValue(), std::numeric_limits<double>::denorm_min());
    EXPECT_EQ(onlyNumber("[2.2250738585072011e-308]")->doubleValue(), 2.2250738585072011e-308);
    EXPECT_EQ(onlyNumber("[-1e-310]")->doubleValue(), -1e-310);
    EXPECT_EQ(onlyNumber("[1.7976931348623157e308]")->doubleValue(), std::numeric_limits<double>::max());
    // Zero digits are zero whatever the exponent: neither an underflow nor an overflow.
    EXPECT_EQ(onlyNumber("[0e-999]")->doubleValue(), 0.0);
    EXPECT_EQ(onlyNumber("[0e400]")->doubleValue(), 0.0);
    auto negativeZero = onlyNumber("[-0.000e99999999999]");
    ASSERT_TRUE(negativeZero);
    EXPECT_TRUE(std::signbit(negativeZero->doubleValue()));
}

// Doubles of up to 19 digits are converted without the library's routine; they must round exactly as
// it does, ties to even included.
TEST(DecoderValues, DoublesRoundLikeTheLibraryConversion)
{
    auto decoded = [](const std::string& text) {
        auto number = onlyNumber("[" + text + "]");
        return number ? number->doubleValue() : std::nan("");
    };
    auto expected = [](const std::string& text) {
        double value = 0;
        std::from_chars(text.data(), text.data() + text.size(), value);
        return value;
    };
    for (const char* text : { "9007199254740993.0", "9007199254740995.0", "9007199254740993.00000000001e0", "18446744073709551615.0",
             "1152921504606846977e-1", "0.30000000000000004", "-65.613616999999977", "1.7976931348623157e27", "4.9406564584124654e-27",
             "0.0000000000000000000000000001", "1e27", "9999999999999999999e27", "1234567890123456789e-27", "0e25", "-0.0e-30",
             "2.4703282292062328e-324", "4.9406564584124654e-324", "2.2250738585072012e-308",
             "1.7976931348623158e308", "9007199254740993e-22", "7.2057594037927933e16", "123456789012345678e-330" }) {
        EXPECT_EQ(std::bit_cast<uint64_t>(decoded(text)), std::bit_cast<uint64_t>(expected(text))) << text;
    }

    std::mt19937_64 random(0x600d);
    for (int round = 0; round < 200000; ++round) {
        int digits = 1 + static_cast<int>(random() % 19);
        std::string mantissa = std::to_string(1 + random() % 9);
        for (int digit = 1; digit < digits; ++digit)
            mantissa += static_cast<char>('0' + random() % 10);
        size_t point = random() % mantissa.size();
        std::string text = (random() % 2 ? "-" : "") + mantissa.substr(0, point + 1) + "." + (point + 1 < mantissa.size() ? mantissa.substr(point + 1) : "0");
        // Exponents across the whole range, subnormals and both ends included.
        if (random() % 2)
            text += "e" + std::to_string(static_cast<int>(random() % 61) - 30);
        else if (random() % 2)
            text += "e" + std::to_string(static_cast<int>(random() % 701) - 360);
        double value = 0;
        if (std::from_chars(text.data(), text.data() + text.size(), value).ec == std::errc::result_out_of_range) {
            ASSERT_FALSE(decodeJSON("[" + text + "]")) << text;
            continue;
        }
        ASSERT_EQ(std::bit_cast<uint64_t>(decoded(text)), std::bit_cast<uint64_t>(value)) << text;
    }
}

// Numbers among the last bytes of the input take the general scanner, others mostly a shorter one
// for plain numbers: placed both ways, every text must give the same number, or the same error at
// the same place.
TEST(DecoderValues, NumbersReadTheSameWhereverTheyStand)
{
    auto outcome = [](const std::string& document) {
        fnd::Ref<fnd::Error> error;
        auto array = fnd::as<fnd::Array>(decodeJSON(document, 0, false, &error));
        if (!array) {
            auto failure = decodeFailure(document, 0);
            return "error " + failure.message + " at " + std::to_string(failure.index.value_or(0));
        }
        std::string values;
        for (size_t index = 0; index < array->count(); ++index) {
            auto number = array->objectAtIndexAs<fnd::Number>(index);
            uint64_t bits = number->type() == fnd::Number::Type::Double ? std::bit_cast<uint64_t>(number->doubleValue()) : number->unsignedLongLongValue();
            values += std::to_string(static_cast<int>(number->type())) + ":" + std::to_string(bits) + " ";
        }
        return values;
    };
    auto expectSameOutcome = [&](const std::string& text) {
        std::string document = "[" + text + "]";
        EXPECT_EQ(outcome(document), outcome(document + std::string(40, ' '))) << text;
    };

    for (const char* text : { "0", "-0", "01", "-01", "0.0", "-0.0", "0.000123", "00.5", "1.", "-", "-.5", ".5", "1.e5", "1.5e3", "1.5E-3", "12345678",
             "123456789012345678", "-123456789012345678", "1234567890123456789", "-9223372036854775808", "18446744073709551616",
             "1234567.123456789012", "1234567.12345678901", "12345678.5", "-65.613616999999977", "0.1234567890123456", "0.123456789012345",
             "9007199254740993.0", "1.5,2", "7x", "1.5.5", "3.0000000000000000001" }) {
        expectSameOutcome(text);
    }

    // Signs, leading zeros, every length of integer part and fraction around the words read, an
    // exponent now and then, and what may follow a number.
    std::mt19937_64 random(0x5eed);
    auto digits = [&](size_t count) {
        std::string text;
        for (size_t index = 0; index < count; ++index)
            text += static_cast<char>('0' + random() % 10);
        return text;
    };
    // Nothing, twice as often as the rest.
    const char* followers[] = { "", "", ",1", ".", "e", "E+2", "e-7", "x" };
    for (int round = 0; round < 30000; ++round) {
        std::string text = random() % 2 ? "-" : "";
        text += digits(random() % 21);
        if (random() % 4)
            text += "." + digits(random() % 21);
        text += followers[random() % std::size(followers)];
        expectSameOutcome(text);
    }
}

TEST(DecoderValues, NumbersIgnoreTheProcessLocale)
{
    ScopedCommaDecimalLocale locale;
    if (!locale.isActive())
        GTEST_SKIP() << "no locale with a decimal comma can be made here";
    EXPECT_EQ(onlyNumber("[1.5]")->doubleValue(), 1.5);
    EXPECT_EQ(onlyNumber("[-2.25e-3]")->doubleValue(), -2.25e-3);
    EXPECT_FALSE(decodeJSON("[1,5.]"));
}

TEST(DecoderValues, DecodesStringEscapesAndUnicode)
{
    EXPECT_EQ(onlyString(R"(["a\"b\\c\/d\b\f\n\r\t"])"), "a\"b\\c/d\b\f\n\r\t");
    EXPECT_EQ(onlyString(R"(["\u00e9\u20AC"])"), "\xC3\xA9\xE2\x82\xAC");
    EXPECT_EQ(onlyString(R"(["\ud83d\ude00"])"), "\xF0\x9F\x98\x80");
    EXPECT_EQ(onlyString("[\"caf\xC3\xA9 \xF0\x9F\x98\x80\"]"), "caf\xC3\xA9 \xF0\x9F\x98\x80");
    EXPECT_EQ(onlyString("[\"\\u0041\xC3\xA9\\n\"]"), "A\xC3\xA9\n");
}

TEST(DecoderOptions, LooseUnicodeReplacesWhatIsInvalid)
{
    constexpr auto loose = JKParseOptionLooseUnicode;
    const std::string replacement = "\xEF\xBF\xBD";
    EXPECT_EQ(onlyString(R"(["\u0000"])", loose), replacement);
    EXPECT_EQ(onlyString(R"(["a\udc00b"])", loose), "a" + replacement + "b");
    EXPECT_EQ(onlyString(R"(["\ud83d\u0041"])", loose), replacement);
    EXPECT_EQ(onlyString(R"(["\ud83dxy"])", loose), replacement + "xy");
    EXPECT_EQ(onlyString(R"(["\ud83d\n"])", loose), replacement + "\n");
    EXPECT_EQ(onlyString(R"(["\ufffe"])", loose), replacement);
    EXPECT_EQ(onlyString("[\"a\xFF" "b\"]", loose), "a" + replacement + "b");
    EXPECT_EQ(onlyString("[\"\xE2\x82" "x\"]", loose), replacement + "x");
    EXPECT_EQ(onlyString("[\"\xEF\xBF\xBF\"]", loose), replacement);
    // Escapes of valid characters and control-character rules stay as in strict parsing.
    EXPECT_EQ(onlyString(R"(["\u00e9"])", loose), "\xC3\xA9");
    EXPECT_FALSE(decodeJSON("[\"\t\"]", loose));
}

TEST(DecoderOptions, CommentsCountAsWhiteSpace)
{
    constexpr auto comments = JKParseOptionComments;
    EXPECT_TRUE(decodeJSON("/* head */ [1, // one\n 2 /* two */] // tail", comments));
    EXPECT_TRUE(decodeJSON("[1] /* never closed", comments));
    EXPECT_TRUE(decodeJSON("[1] //", comments));
    EXPECT_FALSE(decodeJSON("[1] /", comments));
    EXPECT_FALSE(decodeJSON("[1 /x 2]", comments));
    EXPECT_FALSE(decodeJSON("[1] // x", 0));
    auto array = fnd::as<fnd::Array>(decodeJSON("[\"/* not a comment */\"]", comments));
    ASSERT_TRUE(array);
    EXPECT_EQ(fnd::as<fnd::String>(array->objectAtIndex(0))->utf8(), "/* not a comment */");
}

TEST(DecoderOptions, UnicodeNewlinesCountAsWhiteSpace)
{
    const std::string input = "[1,\xE2\x80\xA8 2\xE2\x80\xA9,\xC2\x85 3]";
    EXPECT_FALSE(decodeJSON(input, 0));
    auto array = fnd::as<fnd::Array>(decodeJSON(input, JKParseOptionUnicodeNewlines));
    ASSERT_TRUE(array);
    EXPECT_EQ(array->count(), 3u);
}

TEST(DecoderOptions, TextAfterTheValueNeedsPermission)
{
    EXPECT_FALSE(decodeJSON("[1] x", 0));
    auto array = fnd::as<fnd::Array>(decodeJSON("[1] x", JKParseOptionPermitTextAfterValidJSON));
    ASSERT_TRUE(array);
    EXPECT_EQ(array->count(), 1u);
    EXPECT_TRUE(decodeJSON("[1] \t\r\n ", 0));
    EXPECT_TRUE(decodeJSON("{}{}", JKParseOptionPermitTextAfterValidJSON));
}

TEST(DecoderMutability, ImmutableParsesRefuseChangesAtEveryLevel)
{
    auto value = fnd::as<fnd::MutableDictionary>(decodeJSON(R"({"list":[{"k":1}]})"));
    ASSERT_TRUE(value);
    EXPECT_FALSE(value->isMutable());
    auto list = value->objectForKeyAs<fnd::MutableArray>("list");
    auto inner = fnd::as<fnd::MutableDictionary>(list->objectAtIndex(0));
    EXPECT_THROW(value->setObjectForKey(fnd::Null::null(), "x"), fnd::Exception);
    EXPECT_THROW(list->addObject(fnd::Null::null()), fnd::Exception);
    EXPECT_THROW(inner->removeObjectForKey("k"), fnd::Exception);
}

TEST(DecoderMutability, MutableParsesAcceptChangesAtEveryLevel)
{
    auto decoder = JSONDecoder::decoder();
    auto data = fnd::Data::create(std::string_view(R"({"list":[{"k":1}],"s":"text"})"));
    auto value = fnd::as<fnd::MutableDictionary>(decoder->mutableObjectWithDataError(data, nullptr));
    ASSERT_TRUE(value);
    EXPECT_TRUE(value->isMutable());
    auto list = value->objectForKeyAs<fnd::MutableArray>("list");
    auto inner = fnd::as<fnd::MutableDictionary>(list->objectAtIndex(0));
    list->addObject(fnd::String::create("more"));
    inner->setObjectForKey(fnd::Null::null(), "k");
    value->removeObjectForKey("s");
    EXPECT_EQ(list->count(), 2u);
    EXPECT_EQ(inner->objectForKey("k"), fnd::Null::null());
    EXPECT_EQ(value->count(), 1u);
    // Strings and numbers stay immutable.
    EXPECT_FALSE(fnd::as<fnd::Number>(fnd::as<fnd::Dictionary>(decoder->mutableObjectWithUTF8StringLength("{\"n\":1}", 7))->objectForKey("n"))->isMutable());

    // The same decoder still makes immutable containers when asked.
    EXPECT_FALSE(decoder->objectWithData(data)->isMutable());
}

TEST(DecoderConveniences, DecodeStringsAndData)
{
    auto fromString = fnd::as<fnd::Array>(FastJSONDeserializing::objectFromJSONString(fnd::String("[1,\"two\"]")));
    ASSERT_TRUE(fromString);
    EXPECT_EQ(fromString->count(), 2u);
    EXPECT_FALSE(fromString->isMutable());
    EXPECT_TRUE(FastJSONDeserializing::mutableObjectFromJSONString(fnd::String("[]"))->isMutable());
    EXPECT_TRUE(FastJSONDeserializing::objectFromJSONStringWithParseOptions(fnd::String("[1] //"), JKParseOptionComments));
    EXPECT_TRUE(FastJSONDeserializing::mutableObjectFromJSONStringWithParseOptions(fnd::String("{} x"), JKParseOptionPermitTextAfterValidJSON)->isMutable());

    fnd::Data data(std::vector<uint8_t> { '{', '}' });
    EXPECT_TRUE(fnd::is<JKDictionary>(FastJSONDeserializing::objectFromJSONData(data)));
    EXPECT_TRUE(FastJSONDeserializing::mutableObjectFromJSONData(data)->isMutable());
    EXPECT_FALSE(FastJSONDeserializing::objectFromJSONDataWithParseOptions(data, 0)->isMutable());
    EXPECT_TRUE(FastJSONDeserializing::mutableObjectFromJSONDataWithParseOptions(data, 0)->isMutable());
}

TEST(DecoderNesting, DeepDocumentsParseAndDieWithoutRecursion)
{
    constexpr int depth = 50000;
    std::string arrays = std::string(depth, '[') + "1" + std::string(depth, ']');
    fnd::Id value = decodeJSON(arrays);
    ASSERT_TRUE(value);
    int levels = 0;
    fnd::Id cursor = value;
    while (auto array = fnd::as<fnd::Array>(cursor)) {
        cursor = array->firstObject();
        ++levels;
    }
    EXPECT_EQ(levels, depth);
    value.reset();

    std::string objects;
    for (int level = 0; level < depth; ++level)
        objects += "{\"k\":";
    objects += "null" + std::string(depth, '}');
    EXPECT_TRUE(decodeJSON(objects, 0, true));

    // Containers nested by changes after decoding die without recursion too.
    auto outer = fnd::as<fnd::MutableArray>(decodeJSON("[]", 0, true));
    fnd::Ref<fnd::MutableArray> innermost = outer;
    for (int level = 0; level < depth; ++level) {
        auto next = fnd::as<fnd::MutableArray>(decodeJSON("[0]", 0, true));
        innermost->addObject(next);
        innermost = next;
    }
    innermost.reset();
    outer.reset();

    // A failure deep inside releases everything built so far.
    std::string failing = std::string(depth, '[') + std::string(depth - 1, ']') + ",]";
    EXPECT_FALSE(decodeJSON(failing));
}

// Buffers and stacks must grow without losing data wherever a boundary falls.
TEST(DecoderGrowth, LongArraysAndObjects)
{
    for (int count : { 1020, 1021, 1022, 1023, 1024, 1025, 1030, 2000, 2047, 2048, 2049, 5000 }) {
        std::string array = "[";
        std::string object = "{";
        for (int index = 0; index < count; ++index) {
            array += (index ? "," : "") + std::to_string(index);
            object += (index ? ",\"" : "\"") + std::to_string(index) + "\":" + std::to_string(index);
        }
        auto decodedArray = fnd::as<fnd::Array>(decodeJSON(array + "]"));
        auto decodedObject = fnd::as<fnd::Dictionary>(decodeJSON(object + "}"));
        ASSERT_TRUE(decodedArray && decodedObject) << count;
        ASSERT_EQ(decodedArray->count(), static_cast<size_t>(count));
        ASSERT_EQ(decodedObject->count(), static_cast<size_t>(count));
        for (int index = 0; index < count; ++index) {
            ASSERT_EQ(fnd::as<fnd::Number>(decodedArray->objectAtIndex(static_cast<size_t>(index)))->longLongValue(), index);
            ASSERT_EQ(decodedObject->objectForKeyAs<fnd::Number>(std::to_string(index))->longLongValue(), index);
        }
    }
}

TEST(DecoderGrowth, LongStringsAcrossBufferBoundaries)
{
    const std::string euro = "\xE2\x82\xAC";
    for (size_t length : { 2030, 2031, 2032, 2033, 2046, 2047, 2048, 2049, 4094, 4095, 4096, 4097, 10000 }) {
        // An escape first forces decoding; the straddling character lands on every boundary nearby.
        std::string expected = "\n" + std::string(length, 'x') + euro + "\"" + std::string(length, 'y');
        std::string escaped = "\\n" + std::string(length, 'x') + euro + "\\\"" + std::string(length, 'y');
        ASSERT_EQ(onlyString("[\"" + escaped + "\"]"), expected) << length;
        std::string plain = std::string(length, 'z') + euro;
        ASSERT_EQ(onlyString("[\"" + plain + "\"]"), plain) << length;
    }
    std::string manyEscapes;
    std::string expected;
    for (int index = 0; index < 10000; ++index) {
        manyEscapes += "\\u00e9";
        expected += "\xC3\xA9";
    }
    EXPECT_EQ(onlyString("[\"" + manyEscapes + "\"]"), expected);
}

TEST(DecoderCache, EqualValuesAreOneObject)
{
    auto array = fnd::as<fnd::Array>(decodeJSON(R"(["abc","a\u0062c",12,12,1.5,1.5,1,1.0,0,-0,""])"));
    ASSERT_TRUE(array);
    EXPECT_EQ(array->objectAtIndex(0), array->objectAtIndex(1));
    EXPECT_EQ(array->objectAtIndex(2), array->objectAtIndex(3));
    EXPECT_EQ(array->objectAtIndex(4), array->objectAtIndex(5));
    EXPECT_NE(array->objectAtIndex(6), array->objectAtIndex(7));
    EXPECT_NE(array->objectAtIndex(8), array->objectAtIndex(9));
    EXPECT_EQ(array->objectAtIndex(10), fnd::String::empty());

    // Long strings are hashed a word at a time when plain and byte by byte when decoded; both agree.
    auto longStrings = fnd::as<fnd::Array>(decodeJSON(R"(["a string long enough to span words","a string long enough to span w\u006Frds"])"));
    EXPECT_EQ(longStrings->objectAtIndex(0), longStrings->objectAtIndex(1));

    auto object = fnd::as<fnd::Array>(decodeJSON(R"([{"key":1},{"key":2}])"));
    auto first = fnd::as<fnd::Dictionary>(object->objectAtIndex(0));
    auto second = fnd::as<fnd::Dictionary>(object->objectAtIndex(1));
    EXPECT_EQ(first->allKeys()[0], second->allKeys()[0]);
}

// The cache picks slots by the byte hash h = h * 33 + byte; the block-wise form must equal it.
TEST(DecoderCache, HashesBytesByTheOneByteRule)
{
    std::mt19937 random(0xbeef);
    for (size_t length = 0; length < 80; ++length) {
        // Bytes past the hashed ones may be read, but must not count.
        std::vector<uint8_t> bytes(length + 8);
        for (auto& byte : bytes)
            byte = static_cast<uint8_t>(random());
        uint32_t expected = JKHashSeed;
        for (size_t index = 0; index < length; ++index)
            expected = expected * 33 + bytes[index];
        EXPECT_EQ(JKHashBytes(JKHashSeed, bytes.data(), length), expected) << length;
        EXPECT_EQ(JKHashBytes(JKHashSeed, bytes.data(), length, bytes.size()), expected) << length;
    }
    std::vector<uint8_t> highBytes(24, 0xFF);
    uint32_t expected = 7;
    for (uint8_t byte : highBytes)
        expected = expected * 33 + byte;
    EXPECT_EQ(JKHashBytes(7, highBytes.data(), highBytes.size()), expected);
}

TEST(DecoderCache, LastsAcrossParsesUntilCleared)
{
    auto decoder = JSONDecoder::decoder();
    auto parse = [&](std::string_view text) { return fnd::as<fnd::Array>(decoder->objectWithUTF8StringLength(text.data(), text.size())); };
    auto first = parse(R"(["shared", 77])");
    auto second = parse(R"(["shared", 77])");
    EXPECT_EQ(first->objectAtIndex(0), second->objectAtIndex(0));
    EXPECT_EQ(first->objectAtIndex(1), second->objectAtIndex(1));

    decoder->clearCache();
    auto third = parse(R"(["shared", 77])");
    EXPECT_NE(first->objectAtIndex(0), third->objectAtIndex(0));
    EXPECT_TRUE(fnd::isEqual(first->objectAtIndex(0), third->objectAtIndex(0)));
    EXPECT_NE(first->objectAtIndex(1), third->objectAtIndex(1));
}

TEST(DecoderCache, HoldsAtMostItsSlotsAndStillDecodesEverything)
{
    std::string text = "[";
    for (int index = 0; index < 3000; ++index)
        text += (index ? ",\"value " : "\"value ") + std::to_string(index) + "\"";
    text += "]";
    auto decoder = JSONDecoder::decoder();
    auto first = fnd::as<fnd::Array>(decoder->objectWithUTF8StringLength(text.data(), text.size()));
    auto second = fnd::as<fnd::Array>(decoder->objectWithUTF8StringLength(text.data(), text.size()));
    ASSERT_TRUE(first && second);
    size_t shared = 0;
    for (size_t index = 0; index < 3000; ++index) {
        ASSERT_EQ(fnd::as<fnd::String>(second->objectAtIndex(index))->utf8(), "value " + std::to_string(index));
        if (first->objectAtIndex(index) == second->objectAtIndex(index))
            ++shared;
    }
    EXPECT_GT(shared, 0u);
    EXPECT_LE(shared, 1024u);
}

TEST(DecoderObjects, LaterDuplicateKeysWin)
{
    auto value = fnd::as<JKDictionary>(decodeJSON(R"({"a":1,"b":0,"a":2})"));
    ASSERT_TRUE(value);
    EXPECT_EQ(value->count(), 2u);
    EXPECT_EQ(value->objectForKeyAs<fnd::Number>("a")->longLongValue(), 2);
}

}
