#include "JsonTestValues.h"

#include "json/JsonParser.h"

#include "platform/foundation/Error.h"

#include <gtest/gtest.h>

#include <optional>
#include <thread>
#include <vector>

using brenzo::testing::nestedArrays;
using brenzo::testing::typedText;

namespace {

enum class Mode {
    Object,
    Fragment,
};

constexpr std::string_view errorDomain = JsonCodecBase::errorDomain;

struct ParseCase {
    std::string name;
    std::optional<std::string> input;
    Mode mode;
    // The typed text of the value, or empty when the parse must fail.
    std::string value;
    std::vector<int64_t> codes;
    std::string lastText;
    uint32_t maxDepth = JsonCodecBase::defaultMaxDepth;
};

ParseCase accepts(std::string name, std::string input, std::string value, Mode mode = Mode::Object)
{
    return { std::move(name), std::move(input), mode, std::move(value), {}, {} };
}

ParseCase refuses(std::string name, std::optional<std::string> input, std::vector<int64_t> codes, std::string lastText, Mode mode = Mode::Fragment)
{
    return { std::move(name), std::move(input), mode, {}, std::move(codes), std::move(lastText) };
}

ParseCase withMaxDepth(ParseCase parseCase, uint32_t maxDepth)
{
    parseCase.maxDepth = maxDepth;
    return parseCase;
}

std::string nestedObjects(size_t depth)
{
    std::string text;
    for (size_t level = 0; level < depth; ++level)
        text += "{\"a\":";
    text += "1";
    return text + std::string(depth, '}');
}

std::vector<int64_t> nestingFailure(size_t enclosingContainers)
{
    std::vector<int64_t> codes { 7 };
    codes.insert(codes.end(), enclosingContainers, 3);
    return codes;
}

std::vector<ParseCase> parseCases()
{
    using namespace std::string_literals;
    return {
        // Values and their kinds.
        accepts("two numbers", "[1, 2]", "[1,2]"),
        accepts("empty containers", "[{}, []]", "[{},[]]"),
        accepts("literals", "[true,false,null]", "[true,false,null]"),
        accepts("object", "{\"a\": \"b\", \"c\": [1]}", "{\"a\":\"b\",\"c\":[1]}"),
        accepts("decimals kept exactly", "[-0, 0.5, 1E+2, -12.50e-3, 123456789012345678901234567890, 1e-7, 1e400]",
            "[-0,0.5,100,-0.0125,123456789012345678901234567890,0.0000001,1e+400]"),
        accepts("scalar as a fragment", "5", "5", Mode::Fragment),
        accepts("string fragment", " \"x\" ", "\"x\"", Mode::Fragment),
        accepts("null fragment", "null", "null", Mode::Fragment),
        refuses("scalar is not an object", "5", { 4 }, "Valid fragment, but not JSON", Mode::Object),
        refuses("string is not an object", "\"x\"", { 4 }, "Valid fragment, but not JSON", Mode::Object),

        // Leniencies that callers rely on.
        accepts("array without commas", "[1 2]", "[1,2]"),
        accepts("literals without commas", "[nulltrue]", "[null,true]"),
        accepts("object without commas", "{\"a\":1 \"b\":2}", "{\"a\":1,\"b\":2}"),
        accepts("last duplicate key wins", "{\"a\":1,\"a\":2}", "{\"a\":2}"),
        accepts("vertical tab and form feed are white space", "\v\f[1]\r\n\t ", "[1]"),

        // Strings.
        accepts("short escapes", R"(["\"\\\/\b\f\n\r\t"])", R"(["\"\\/\x08\x0c\x0a\x0d\x09"])"),
        accepts("unicode escapes", R"(["\u0041\u00e9\u20AC"])", "[\"A\xC3\xA9\xE2\x82\xAC\"]"),
        accepts("escaped NUL", R"(["a\u0000b"])", R"(["a\x00b"])"),
        accepts("surrogate pair", R"(["\uD834\uDD1E"])", "[\"\xF0\x9D\x84\x9E\"]"),
        accepts("raw UTF-8", "[\"h\xC3\xA9llo \xF0\x9F\x98\x80\"]", "[\"h\xC3\xA9llo \xF0\x9F\x98\x80\"]"),
        refuses("lone low surrogate", R"("\uDD1E")", { 6, 6 }, "Broken unicode character"),
        refuses("lone high surrogate", R"("\uD834")", { 6, 6 }, "Broken unicode character"),
        refuses("high surrogate and a letter", R"("\uD834\u0041")", { 6, 6 }, "Broken unicode character"),
        refuses("short quad", R"("\u12")", { 6, 6, 6 }, "Broken unicode character"),
        refuses("short low quad", R"("\uD834\u12")", { 6, 6, 6 }, "Broken unicode character"),
        refuses("quad at the end", R"("\u12)", { 6, 6, 6 }, "Broken unicode character"),
        refuses("illegal escape", R"("\x")", { 8 }, "Illegal escape sequence '0x78'"),
        refuses("escaped NUL byte", "\"\\\0\""s, { 8 }, "Illegal escape sequence '0x0'"),
        refuses("backslash at the end", "\"\\", { 11 }, "Unexpected EOF while parsing string"),
        refuses("unterminated string", "\"abc", { 11 }, "Unexpected EOF while parsing string"),
        refuses("raw NUL in a string", "\"a\0b\""s, { 5 }, "Unescaped control character '0x0'"),
        refuses("raw tab in a string", "\"a\tb\"", { 5 }, "Unescaped control character '0x9'"),
        refuses("invalid UTF-8", "[\"\xC3\x28\"]", { 3, 3 }, "Expected value while parsing array", Mode::Object),
        refuses("overlong UTF-8", "\"\xC0\xAF\"", { 3 }, "Invalid UTF-8 in string"),
        refuses("encoded surrogate", "\"\xED\xA0\x80\"", { 3 }, "Invalid UTF-8 in string"),
        refuses("truncated UTF-8 at the end", "\"\xE2\x82", { 3 }, "Invalid UTF-8 in string"),
        refuses("invalid UTF-8 key", "{\"\xFF\":1}", { 3, 3 }, "Object key string expected", Mode::Object),

        // Numbers.
        refuses("leading zero", "01", { 2 }, "Leading 0 disallowed in number"),
        refuses("lone minus", "-", { 2 }, "No digits after initial minus"),
        refuses("minus and a letter", "-a", { 2 }, "No digits after initial minus"),
        refuses("point without digits", "1.", { 2 }, "No digits after decimal point"),
        refuses("leading plus", "+1", { 2 }, "Leading + disallowed in number"),
        refuses("exponent without digits", "1e", { 2 }, "No digits after exponent"),
        refuses("signed exponent without digits", "1E+", { 2 }, "No digits after exponent"),
        refuses("exponent too large", "1e99999999999", { 2 }, "Failed creating decimal instance"),
        refuses("number in an array", "[1, 01]", { 2, 3 }, "Expected value while parsing array", Mode::Object),

        // Structure.
        refuses("nil input", std::nullopt, { 12 }, "Input was 'nil'", Mode::Object),
        refuses("nil fragment", std::nullopt, { 12 }, "Input was 'nil'"),
        refuses("empty input", "", { 11 }, "Unexpected end of string"),
        refuses("only white space", "  \n", { 11 }, "Unexpected end of string"),
        refuses("garbage after the value", "[1] x", { 10 }, "Garbage after JSON", Mode::Object),
        refuses("NUL and text after the value", "[1]\0xyz"s, { 10 }, "Garbage after JSON", Mode::Object),
        refuses("NUL after a number", "123\0"s, { 10 }, "Garbage after JSON"),
        refuses("NUL instead of a value", "\0"s, { 3 }, "Unrecognised leading character"),
        refuses("byte order mark", "\xEF\xBB\xBF[1]", { 3 }, "Unrecognised leading character", Mode::Object),
        refuses("no-break space is not white space", "\xC2\xA0[1]", { 3 }, "Unrecognised leading character", Mode::Object),
        refuses("trailing comma", "[1,]", { 9 }, "Trailing comma disallowed in array", Mode::Object),
        refuses("trailing comma before a new line", "[1,\n]", { 9 }, "Trailing comma disallowed in array", Mode::Object),
        refuses("nested trailing comma", "[[1,]]", { 9, 3 }, "Expected value while parsing array", Mode::Object),
        refuses("trailing comma in an object", "{\"a\":1,}", { 9 }, "Trailing comma disallowed in object", Mode::Object),
        refuses("open array", "[", { 11 }, "End of input while parsing array", Mode::Object),
        refuses("open array after an element", "[1,2", { 11 }, "End of input while parsing array", Mode::Object),
        refuses("open array and a blank", "[ ", { 11, 3 }, "Expected value while parsing array", Mode::Object),
        refuses("open object", "{", { 11 }, "End of input while parsing object", Mode::Object),
        refuses("key without a colon", "{\"a\"", { 3 }, "Expected ':' separating key and value", Mode::Object),
        refuses("key that is not a string", "{1:2}", { 3 }, "Object key string expected", Mode::Object),
        refuses("missing value", "{\"a\":}", { 3, 3 }, "Object value expected for key: a", Mode::Object),
        refuses("truncated true", "tru", { 3 }, "Expected 'true'"),
        refuses("truncated false", "[fals]", { 3, 3 }, "Expected value while parsing array", Mode::Object),
        refuses("misspelt null", "nul", { 3 }, "Expected 'null'"),
        refuses("unknown word", "[x]", { 3, 3 }, "Expected value while parsing array", Mode::Object),

        // Nesting.
        accepts("512 nested arrays", nestedArrays(512), std::string(512, '[') + std::string(512, ']')),
        refuses("513 nested arrays", nestedArrays(513), nestingFailure(512), "Expected value while parsing array", Mode::Object),
        refuses("513 nested objects", nestedObjects(513), nestingFailure(512), "Object value expected for key: a", Mode::Object),
        withMaxDepth(accepts("513 nested arrays without a limit", nestedArrays(513), std::string(513, '[') + std::string(513, ']')), 0),
        withMaxDepth(accepts("2048 nested arrays without a limit", nestedArrays(2048), std::string(2048, '[') + std::string(2048, ']')), 0),
        withMaxDepth(refuses("2049 nested arrays without a limit", nestedArrays(2049), nestingFailure(2048), "Expected value while parsing array", Mode::Object), 0),
        withMaxDepth(refuses("the ceiling holds over a higher limit", nestedArrays(2049), nestingFailure(2048), "Expected value while parsing array", Mode::Object), 5000),
        withMaxDepth(refuses("a limit of one", "[[]]", { 7, 3 }, "Expected value while parsing array", Mode::Object), 1),
    };
}

void expectChainedTrace(const fnd::Ref<fnd::Array>& trace)
{
    fnd::Ref<fnd::Error> previous;
    for (size_t index = 0; index < trace->count(); ++index) {
        auto error = trace->objectAtIndexAs<fnd::Error>(index);
        ASSERT_TRUE(error);
        EXPECT_EQ(error->domain(), errorDomain);
        EXPECT_EQ(error->underlyingError(), previous) << "error " << index;
        previous = error;
    }
}

}

TEST(JsonParser, ParsesOrReportsTheTrace)
{
    for (const auto& parseCase : parseCases()) {
        SCOPED_TRACE(parseCase.name);
        JsonParser parser;
        parser.setMaxDepth(parseCase.maxDepth);
        auto input = parseCase.input ? fnd::String::create(*parseCase.input) : nullptr;
        fnd::Id value = parseCase.mode == Mode::Object ? parser.objectWithString(input) : parser.fragmentWithString(input);

        if (!parseCase.value.empty()) {
            EXPECT_EQ(typedText(value), parseCase.value);
            EXPECT_FALSE(parser.errorTrace());
            continue;
        }
        EXPECT_FALSE(value) << typedText(value);
        auto trace = parser.errorTrace();
        ASSERT_TRUE(trace);
        std::vector<int64_t> codes;
        for (const auto& error : *trace)
            codes.push_back(fnd::as<fnd::Error>(error)->code());
        EXPECT_EQ(codes, parseCase.codes);
        EXPECT_EQ(fnd::as<fnd::Error>(trace->lastObject())->localizedDescription(), parseCase.lastText);
        expectChainedTrace(trace);
    }
}

TEST(JsonParser, UnicodeFailuresNameEachStep)
{
    JsonParser parser;
    EXPECT_FALSE(parser.fragmentWithString(fnd::String::create(R"("\uDD1E")")));
    EXPECT_EQ(parser.errorTrace()->objectAtIndexAs<fnd::Error>(0)->localizedDescription(), "Invalid high character in surrogate pair");
    EXPECT_FALSE(parser.fragmentWithString(fnd::String::create(R"("\uD834\u0041")")));
    EXPECT_EQ(parser.errorTrace()->objectAtIndexAs<fnd::Error>(0)->localizedDescription(), "Invalid low surrogate char");

    EXPECT_FALSE(parser.fragmentWithString(fnd::String::create(R"("\uD834\u12")")));
    auto trace = parser.errorTrace();
    ASSERT_EQ(trace->count(), 3u);
    EXPECT_EQ(trace->objectAtIndexAs<fnd::Error>(0)->localizedDescription(), "Missing hex digit in quad");
    EXPECT_EQ(trace->objectAtIndexAs<fnd::Error>(1)->localizedDescription(), "Missing low character in surrogate pair");
    EXPECT_FALSE(parser.fragmentWithString(fnd::String::create(R"("\u12")")));
    EXPECT_EQ(parser.errorTrace()->objectAtIndexAs<fnd::Error>(1)->localizedDescription(), "Missing hex quad");
}

TEST(JsonParser, EachCallStartsWithAClearTrace)
{
    JsonParser parser;
    EXPECT_FALSE(parser.objectWithString(fnd::String::create("[1,]")));
    EXPECT_TRUE(parser.errorTrace());
    EXPECT_TRUE(parser.objectWithString(fnd::String::create("[1]")));
    EXPECT_FALSE(parser.errorTrace());

    // The depth count starts again too: a failure deep inside does not leak into the next parse.
    EXPECT_FALSE(parser.objectWithString(fnd::String::create(std::string(600, '['))));
    EXPECT_TRUE(parser.objectWithString(fnd::String::create(nestedArrays(512))));
}

TEST(JsonParser, VeryDeepInputFailsCleanlyEvenWithoutALimit)
{
    JsonParser parser;
    parser.setMaxDepth(0);
    std::string deep(100000, '[');
    EXPECT_FALSE(parser.objectWithString(fnd::String::create(deep)));
    auto trace = parser.errorTrace();
    ASSERT_TRUE(trace);
    EXPECT_EQ(fnd::as<fnd::Error>(trace->objectAtIndex(0))->code(), 7);
    EXPECT_EQ(trace->count(), JsonCodecBase::nestingCeiling + 1);

    deep.clear();
    for (int level = 0; level < 100000; ++level)
        deep += "{\"k\":";
    EXPECT_FALSE(parser.objectWithString(fnd::String::create(deep)));
    EXPECT_EQ(parser.errorTrace()->count(), JsonCodecBase::nestingCeiling + 1);
}

TEST(JsonParser, TheCeilingFitsTheStackOfAWorkerThread)
{
    fnd::Id value;
    std::thread worker([&] {
        JsonParser parser;
        parser.setMaxDepth(0);
        value = parser.objectWithString(fnd::String::create(nestedArrays(JsonCodecBase::nestingCeiling)));
    });
    worker.join();
    ASSERT_TRUE(value);
    size_t depth = 0;
    for (auto array = fnd::as<fnd::Array>(value); array; array = fnd::as<fnd::Array>(array->firstObject()))
        ++depth;
    EXPECT_EQ(depth, JsonCodecBase::nestingCeiling);
}

