#include "json/JsonParser.h"
#include "json/JsonProxy.h"
#include "json/JsonWriter.h"

#include "platform/foundation/Date.h"
#include "platform/foundation/Dictionary.h"
#include "platform/foundation/Error.h"
#include "platform/foundation/Null.h"
#include "platform/foundation/Number.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <functional>
#include <limits>

namespace {

fnd::Ref<fnd::String> text(std::string_view utf8)
{
    return fnd::String::create(utf8);
}

fnd::Id parse(std::string_view json)
{
    JsonParser parser;
    parser.setMaxDepth(0);
    return parser.fragmentWithString(text(json));
}

std::string write(const fnd::Id& value, bool humanReadable = false, bool sortKeys = false)
{
    JsonWriter writer;
    writer.setHumanReadable(humanReadable);
    writer.setSortKeys(sortKeys);
    auto result = writer.stringWithFragment(value);
    return result ? result->utf8() : "<nil>";
}

struct TraceEntry {
    int64_t code;
    std::string text;
    bool operator==(const TraceEntry&) const = default;
};

std::vector<TraceEntry> traceOf(const JsonCodecBase& codec)
{
    std::vector<TraceEntry> entries;
    if (auto trace = codec.errorTrace()) {
        for (const auto& object : *trace) {
            auto error = fnd::as<fnd::Error>(object);
            entries.push_back({ error->code(), error->localizedDescription() });
        }
    }
    return entries;
}

void PrintTo(const TraceEntry& entry, std::ostream* out)
{
    *out << entry.code << " \"" << entry.text << "\"";
}

// Stands in for whatever its function answers.
class StandIn final : public fnd::Object, public JsonProxy {
public:
    explicit StandIn(std::function<fnd::Id()> make)
        : m_make(std::move(make))
    {
    }

    fnd::Id proxyForJson() const override { return m_make(); }
    std::string_view className() const override { return "StandIn"; }

private:
    std::function<fnd::Id()> m_make;
};

fnd::Ref<StandIn> standInFor(fnd::Id value)
{
    return std::make_shared<StandIn>([value] { return value; });
}

}

TEST(JsonWriter, HumanReadableLayout)
{
    auto value = parse(R"({"a":[1,2]})");
    EXPECT_EQ(write(value, true), "{\n  \"a\" : [\n    1,\n    2\n  ]\n}");
    EXPECT_EQ(write(value), R"({"a":[1,2]})");

    value = parse(R"([{"a":{}},[],[[]],"x"])");
    EXPECT_EQ(write(value, true), "[\n  {\n    \"a\" : {}\n  },\n  [],\n  [\n    []\n  ],\n  \"x\"\n]");
    EXPECT_EQ(write(value), R"([{"a":{}},[],[[]],"x"])");
    EXPECT_EQ(write(parse("[]"), true), "[]");
    EXPECT_EQ(write(parse("{}"), true), "{}");
}

TEST(JsonWriter, KeysKeepTheirOrderOrAreSortedByUTF16Units)
{
    // U+1F600 is a surrogate pair in UTF-16 and so sorts before U+FF21, unlike in UTF-8.
    auto value = parse("{\"b\":1,\"a\":2,\"\xEF\xBC\xA1\":3,\"\xF0\x9F\x98\x80\":4,\"B\":5,\"\xC3\xA9\":6}");
    EXPECT_EQ(write(value), "{\"b\":1,\"a\":2,\"\xEF\xBC\xA1\":3,\"\xF0\x9F\x98\x80\":4,\"B\":5,\"\xC3\xA9\":6}");
    EXPECT_EQ(write(value, false, true), "{\"B\":5,\"a\":2,\"b\":1,\"\xC3\xA9\":6,\"\xF0\x9F\x98\x80\":4,\"\xEF\xBC\xA1\":3}");
    EXPECT_EQ(write(parse(R"({"z":{"y":1,"x":2},"a":0})"), true, true), "{\n  \"a\" : 0,\n  \"z\" : {\n    \"x\" : 2,\n    \"y\" : 1\n  }\n}");
}

TEST(JsonWriter, EscapesQuotesBackslashesAndControlCharacters)
{
    std::string controls;
    for (char c = 0; c < 0x20; ++c)
        controls += c;
    EXPECT_EQ(write(text(controls)),
        R"("\u0000\u0001\u0002\u0003\u0004\u0005\u0006\u0007\b\t\n\u000b\f\r\u000e\u000f)"
        R"(\u0010\u0011\u0012\u0013\u0014\u0015\u0016\u0017\u0018\u0019\u001a\u001b\u001c\u001d\u001e\u001f")");
    EXPECT_EQ(write(text("say \"hi\" \\ a/b \x7F caf\xC3\xA9 \xF0\x9F\x98\x80")), "\"say \\\"hi\\\" \\\\ a/b \x7F caf\xC3\xA9 \xF0\x9F\x98\x80\"");
    EXPECT_EQ(write(text("plain")), "\"plain\"");
    EXPECT_EQ(write(text("")), "\"\"");

    auto dictionary = fnd::MutableDictionary::create();
    dictionary->setObjectForKey(text("v"), "k\"\n");
    EXPECT_EQ(write(dictionary), R"({"k\"\n":"v"})");
}

TEST(JsonWriter, BooleansAreNotNumbers)
{
    auto values = fnd::Array::create({ fnd::Number::yes(), fnd::Number::no(), fnd::Number::withInteger(1), fnd::Number::withInteger(0),
        fnd::Number::withUnsigned(std::numeric_limits<uint64_t>::max()), fnd::Number::withInteger(std::numeric_limits<int64_t>::min()),
        fnd::Number::withDouble(0.1), fnd::Number::withDouble(-2.5e-300), fnd::Null::null() });
    EXPECT_EQ(write(values), "[true,false,1,0,18446744073709551615,-9223372036854775808,0.1,-2.5e-300,null]");
}

TEST(JsonWriter, DecimalsAreWrittenBackAsValidJson)
{
    auto value = parse("[-0, 1.50, 1E+2, 0.0000001, -12.5e-300, 123456789012345678901234567890, 2e-2147483648, 15e-1]");
    ASSERT_TRUE(value);
    std::string written = write(value);
    EXPECT_EQ(written, "[-0,1.5,100,0.0000001,-1.25e-299,123456789012345678901234567890,2e-2147483648,1.5]");
    EXPECT_TRUE(nlohmann::json::accept(written)) << written;
    // Beyond a double's range, which the judge above refuses to hold, the digits stay exact.
    EXPECT_EQ(write(parse("[1e400,-7.25E+1000]")), "[1e+400,-7.25e+1000]");
}

TEST(JsonWriter, NonFiniteNumbersAreRefused)
{
    const std::pair<double, const char*> cases[] = {
        { std::numeric_limits<double>::quiet_NaN(), "NaN" },
        { std::numeric_limits<double>::infinity(), "Infinity" },
        { -std::numeric_limits<double>::infinity(), "-Infinity" },
    };
    for (auto [number, name] : cases) {
        SCOPED_TRACE(name);
        JsonWriter writer;
        EXPECT_FALSE(writer.stringWithFragment(fnd::Number::withDouble(number)));
        EXPECT_EQ(traceOf(writer), (std::vector<TraceEntry> { { 1, std::string("JSON serialisation not supported for ") + name } }));

        auto dictionary = fnd::MutableDictionary::create();
        dictionary->setObjectForKey(fnd::Array::create({ fnd::Number::withDouble(number) }), "x");
        EXPECT_FALSE(writer.stringWithObject(dictionary));
        EXPECT_EQ(traceOf(writer), (std::vector<TraceEntry> {
            { 1, std::string("JSON serialisation not supported for ") + name },
            { 1, "Unsupported value for key x in object" },
        }));
    }
}

TEST(JsonWriter, KeysMustBeStringsWithOrWithoutSorting)
{
    auto dictionary = fnd::MutableDictionary::create();
    dictionary->setObjectForKey(fnd::Number::withInteger(1), "b");
    dictionary->setObjectForKey(fnd::Number::withInteger(2), fnd::Number::withInteger(7));
    dictionary->setObjectForKey(fnd::Number::withInteger(3), "a");
    auto outer = fnd::MutableDictionary::create();
    outer->setObjectForKey(dictionary, "inner");

    for (bool sortKeys : { false, true }) {
        SCOPED_TRACE(sortKeys ? "sorted" : "in order");
        JsonWriter writer;
        writer.setSortKeys(sortKeys);
        EXPECT_FALSE(writer.stringWithObject(dictionary));
        EXPECT_EQ(traceOf(writer), (std::vector<TraceEntry> { { 1, "JSON object key must be string" } }));
        EXPECT_FALSE(writer.stringWithObject(outer));
        EXPECT_EQ(traceOf(writer), (std::vector<TraceEntry> { { 1, "JSON object key must be string" }, { 1, "Unsupported value for key inner in object" } }));
    }
}

TEST(JsonWriter, RefusesWhatJsonCannotHold)
{
    JsonWriter writer;
    EXPECT_FALSE(writer.stringWithFragment(fnd::Array::create({ fnd::Date::now() })));
    EXPECT_EQ(traceOf(writer), (std::vector<TraceEntry> { { 1, "JSON serialisation not supported for Date" } }));

    EXPECT_FALSE(writer.stringWithFragment(nullptr));
    EXPECT_EQ(traceOf(writer), (std::vector<TraceEntry> { { 1, "JSON serialisation not supported for (null)" } }));

    EXPECT_FALSE(writer.stringWithFragment(fnd::Array::create({ text("ok"), text("bad \xC3") })));
    EXPECT_EQ(traceOf(writer), (std::vector<TraceEntry> { { 1, "Invalid UTF-8 in string" } }));

    EXPECT_EQ(writer.stringWithFragment(fnd::Array::create({ text("fine") }))->utf8(), R"(["fine"])");
    EXPECT_FALSE(writer.errorTrace());
}

TEST(JsonWriter, TheTopLevelMustBeAContainerUnlessWritingAFragment)
{
    JsonWriter writer;
    for (const fnd::Id& scalar : fnd::Array::create({ text("text"), fnd::Number::withInteger(5), fnd::Null::null(), fnd::Number::yes() })->objects()) {
        EXPECT_FALSE(writer.stringWithObject(scalar));
        EXPECT_EQ(traceOf(writer), (std::vector<TraceEntry> { { 4, "Not valid type for JSON" } }));
    }
    EXPECT_FALSE(writer.stringWithObject(nullptr));
    EXPECT_EQ(traceOf(writer), (std::vector<TraceEntry> { { 4, "Not valid type for JSON" } }));

    EXPECT_EQ(writer.stringWithFragment(text("text"))->utf8(), "\"text\"");
    EXPECT_EQ(writer.stringWithFragment(fnd::Number::withInteger(5))->utf8(), "5");
    EXPECT_EQ(writer.stringWithFragment(fnd::Null::null())->utf8(), "null");
    EXPECT_EQ(writer.stringWithFragment(fnd::Number::yes())->utf8(), "true");
    EXPECT_EQ(writer.stringWithObject(fnd::Array::create())->utf8(), "[]");
}

TEST(JsonWriter, NestingIsLimited)
{
    JsonWriter writer;
    EXPECT_TRUE(writer.stringWithObject(parse(std::string(512, '[') + std::string(512, ']'))));
    auto tooDeep = parse(std::string(513, '[') + std::string(513, ']'));
    EXPECT_FALSE(writer.stringWithObject(tooDeep));
    EXPECT_EQ(traceOf(writer), (std::vector<TraceEntry> { { 7, "Nested too deep" } }));

    writer.setMaxDepth(0);
    EXPECT_EQ(writer.stringWithObject(tooDeep)->utf8(), std::string(513, '[') + std::string(513, ']'));
    fnd::Id beyondTheCeiling = fnd::MutableArray::create();
    for (uint32_t level = 1; level < JsonCodecBase::nestingCeiling + 1; ++level)
        beyondTheCeiling = fnd::Array::create({ beyondTheCeiling });
    EXPECT_FALSE(writer.stringWithObject(beyondTheCeiling));
    EXPECT_EQ(traceOf(writer), (std::vector<TraceEntry> { { 7, "Nested too deep" } }));
}

TEST(JsonWriter, AContainerThatHoldsItselfFailsInsteadOfRecursing)
{
    auto array = fnd::MutableArray::create();
    array->addObject(fnd::Number::withInteger(1));
    array->addObject(array);
    auto dictionary = fnd::MutableDictionary::create();
    dictionary->setObjectForKey(dictionary, "self");

    for (uint32_t maxDepth : { 512u, 0u }) {
        JsonWriter writer;
        writer.setMaxDepth(maxDepth);
        EXPECT_FALSE(writer.stringWithObject(array));
        EXPECT_EQ(traceOf(writer), (std::vector<TraceEntry> { { 7, "Nested too deep" } }));
        EXPECT_FALSE(writer.stringWithObject(dictionary));
        auto trace = traceOf(writer);
        ASSERT_FALSE(trace.empty());
        EXPECT_EQ(trace.front(), (TraceEntry { 7, "Nested too deep" }));
        EXPECT_EQ(trace.back(), (TraceEntry { 1, "Unsupported value for key self in object" }));
    }
    array->removeAllObjects();
    dictionary->removeAllObjects();
}

TEST(JsonWriter, WritesStandInsInPlaceOfObjects)
{
    auto dictionary = fnd::MutableDictionary::create();
    dictionary->setObjectForKey(text("v"), "k");
    JsonWriter writer;
    EXPECT_EQ(writer.stringWithObject(standInFor(dictionary))->utf8(), R"({"k":"v"})");
    EXPECT_EQ(writer.stringWithObject(standInFor(standInFor(dictionary)))->utf8(), R"({"k":"v"})");
    EXPECT_EQ(writer.stringWithObject(fnd::Array::create({ standInFor(text("s")), standInFor(fnd::Number::withInteger(2)) }))->utf8(), R"(["s",2])");

    EXPECT_FALSE(writer.stringWithObject(standInFor(text("s"))));
    EXPECT_EQ(traceOf(writer), (std::vector<TraceEntry> { { 4, "Not valid type for JSON" } }));
    EXPECT_EQ(writer.stringWithFragment(standInFor(text("s")))->utf8(), "\"s\"");

    EXPECT_FALSE(writer.stringWithFragment(fnd::Array::create({ standInFor(nullptr) })));
    EXPECT_EQ(traceOf(writer), (std::vector<TraceEntry> { { 1, "JSON serialisation not supported for (null)" } }));
}

TEST(JsonWriter, AStandInForItselfFailsInsteadOfLooping)
{
    auto loop = std::make_shared<StandIn>(nullptr);
    std::weak_ptr<StandIn> weakLoop = loop;
    *loop = StandIn([weakLoop] { return fnd::Id(weakLoop.lock()); });

    JsonWriter writer;
    writer.setMaxDepth(0);
    EXPECT_FALSE(writer.stringWithObject(loop));
    EXPECT_EQ(traceOf(writer), (std::vector<TraceEntry> { { 7, "Nested too deep" }, { 4, "Not valid type for JSON" } }));
    EXPECT_FALSE(writer.stringWithFragment(fnd::Array::create({ loop })));
    EXPECT_EQ(traceOf(writer), (std::vector<TraceEntry> { { 7, "Nested too deep" } }));

    // A stand-in for an array that holds the stand-in again is caught by the nesting count.
    auto holder = fnd::MutableArray::create();
    auto cycle = standInFor(holder);
    holder->addObject(cycle);
    EXPECT_FALSE(writer.stringWithObject(cycle));
    EXPECT_FALSE(writer.stringWithFragment(holder));
    EXPECT_EQ(traceOf(writer), (std::vector<TraceEntry> { { 7, "Nested too deep" } }));
    holder->removeAllObjects();
}
