#include "json/JsonCodec.h"
#include "json/JsonConveniences.h"

#include "platform/foundation/Log.h"
#include "platform/foundation/Number.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

fnd::Ref<fnd::String> text(std::string_view utf8)
{
    return fnd::String::create(utf8);
}

std::vector<int64_t> codesOf(const fnd::Ref<fnd::Array>& trace)
{
    std::vector<int64_t> codes;
    if (trace) {
        for (const auto& error : *trace)
            codes.push_back(fnd::as<fnd::Error>(error)->code());
    }
    return codes;
}

}

TEST(JsonCodec, ParsesAndWritesThroughItsWorkers)
{
    JsonCodec codec;
    auto value = codec.objectWithString(text(R"({"b":[1,true],"a":null})"));
    ASSERT_TRUE(value);
    EXPECT_EQ(codec.stringWithObject(value)->utf8(), R"({"b":[1,true],"a":null})");
    codec.setSortKeys(true);
    codec.setHumanReadable(true);
    EXPECT_TRUE(codec.sortKeys());
    EXPECT_TRUE(codec.humanReadable());
    EXPECT_EQ(codec.stringWithObject(value)->utf8(), "{\n  \"a\" : null,\n  \"b\" : [\n    1,\n    true\n  ]\n}");
    EXPECT_FALSE(codec.errorTrace());
}

TEST(JsonCodec, AFailureLeavesACopyOfTheWorkersTrace)
{
    JsonCodec codec;
    EXPECT_FALSE(codec.objectWithString(text("[[1,]]")));
    auto trace = codec.errorTrace();
    EXPECT_EQ(codesOf(trace), (std::vector<int64_t> { 9, 3 }));
    EXPECT_TRUE(trace->isMutable());

    // A success leaves the facade's trace as it was; the next failure replaces it.
    EXPECT_TRUE(codec.objectWithString(text("[1]")));
    EXPECT_EQ(codec.errorTrace(), trace);
    EXPECT_FALSE(codec.stringWithObject(text("scalar")));
    EXPECT_EQ(codesOf(codec.errorTrace()), (std::vector<int64_t> { 4 }));
    EXPECT_EQ(codesOf(trace), (std::vector<int64_t> { 9, 3 }));
}

TEST(JsonCodec, ErrorPointersReceiveTheOutermostError)
{
    JsonCodec codec;
    fnd::Ref<fnd::Error> error;
    EXPECT_FALSE(codec.objectWithStringError(text("5"), &error));
    ASSERT_TRUE(error);
    EXPECT_EQ(error->code(), 4);
    EXPECT_EQ(error->domain(), JsonCodecBase::errorDomain);

    error = nullptr;
    EXPECT_EQ(fnd::as<fnd::Number>(codec.fragmentWithStringError(text("5"), &error))->integerValue(), 5);
    EXPECT_FALSE(error);

    EXPECT_FALSE(codec.objectWithStringAllowScalarError(text("[1]]"), true, &error));
    EXPECT_EQ(error->localizedDescription(), "Garbage after JSON");
    EXPECT_FALSE(codec.objectWithStringAllowScalarError(nullptr, false, nullptr));
    EXPECT_EQ(codesOf(codec.errorTrace()), (std::vector<int64_t> { 12 }));

    EXPECT_FALSE(codec.stringWithObjectError(fnd::Number::withInteger(5), &error));
    EXPECT_EQ(error->localizedDescription(), "Not valid type for JSON");
    error = nullptr;
    EXPECT_EQ(codec.stringWithFragmentError(fnd::Number::withInteger(5), &error)->utf8(), "5");
    EXPECT_FALSE(error);
    EXPECT_FALSE(codec.stringWithObjectAllowScalarError(fnd::Number::withDouble(std::numeric_limits<double>::infinity()), true, &error));
    EXPECT_EQ(error->localizedDescription(), "JSON serialisation not supported for Infinity");
}

TEST(JsonCodec, MaxDepthGovernsBothWorkers)
{
    JsonCodec codec;
    EXPECT_EQ(codec.maxDepth(), JsonCodecBase::defaultMaxDepth);
    auto deep = codec.objectWithString(text("[[[1]]]"));
    ASSERT_TRUE(deep);

    codec.setMaxDepth(2);
    EXPECT_EQ(codec.maxDepth(), 2u);
    EXPECT_FALSE(codec.objectWithString(text("[[[1]]]")));
    EXPECT_EQ(codesOf(codec.errorTrace()), (std::vector<int64_t> { 7, 3, 3 }));
    EXPECT_FALSE(codec.stringWithObject(deep));
    EXPECT_EQ(codesOf(codec.errorTrace()), (std::vector<int64_t> { 7 }));
    EXPECT_TRUE(codec.objectWithString(text("[[1]]")));
}

TEST(JsonConveniences, AnswerValuesOrLogTheTrace)
{
    fnd::LogCapture log;
    EXPECT_EQ(fnd::as<fnd::Array>(JSONValue(text("[1,2]")))->count(), 2u);
    EXPECT_EQ(fnd::as<fnd::Number>(JSONFragmentValue(text("7")))->integerValue(), 7);
    EXPECT_EQ(JSONRepresentation(fnd::Array::create({ text("a") }))->utf8(), R"(["a"])");
    EXPECT_EQ(JSONFragment(text("a"))->utf8(), "\"a\"");
    EXPECT_TRUE(log.lines().empty());

    EXPECT_FALSE(JSONValue(text("7")));
    EXPECT_FALSE(JSONFragmentValue(text("[1,]")));
    EXPECT_FALSE(JSONRepresentation(text("a")));
    EXPECT_FALSE(JSONFragment(fnd::Number::withDouble(std::numeric_limits<double>::quiet_NaN())));
    EXPECT_EQ(log.lines(), (std::vector<std::string> {
        "-JSONValue failed. Error trace is: (\n    Error Domain=com.brenzo.JsonCodec.ErrorDomain Code=4 \"Valid fragment, but not JSON\"\n)",
        "-JSONFragmentValue failed. Error trace is: (\n    Error Domain=com.brenzo.JsonCodec.ErrorDomain Code=9 \"Trailing comma disallowed in array\"\n)",
        "-JSONRepresentation failed. Error trace is: (\n    Error Domain=com.brenzo.JsonCodec.ErrorDomain Code=4 \"Not valid type for JSON\"\n)",
        "-JSONFragment failed. Error trace is: (\n    Error Domain=com.brenzo.JsonCodec.ErrorDomain Code=1 \"JSON serialisation not supported for NaN\"\n)",
    }));
}

TEST(JsonConveniences, TheLoggedTraceOfADeepFailureGrowsOnlyWithItsLength)
{
    fnd::LogCapture log;
    EXPECT_FALSE(JSONValue(text(std::string(100000, '['))));
    ASSERT_EQ(log.lines().size(), 1u);
    std::string line = log.lines().front();
    EXPECT_EQ(log.count("Code=3 \"Expected value while parsing array\""), 1u);
    size_t described = 0;
    for (size_t at = line.find("Error Domain="); at != std::string::npos; at = line.find("Error Domain=", at + 1))
        ++described;
    EXPECT_EQ(described, JsonCodecBase::defaultMaxDepth + 1);
    EXPECT_LT(line.size(), 100u * described);
}

TEST(JsonCodecBase, ALongChainOfErrorsIsReleasedWithoutRecursion)
{
    fnd::Ref<fnd::Error> last;
    {
        JsonParser parser;
        for (int count = 0; count < 50000; ++count)
            parser.addErrorWithCodeDescription(JsonErrorCode::ParseError, "step");
        EXPECT_EQ(parser.errorTrace()->count(), 50000u);
        last = fnd::as<fnd::Error>(parser.errorTrace()->lastObject());
        parser.clearErrorTrace();
        EXPECT_FALSE(parser.errorTrace());
    }
    size_t chain = 0;
    for (auto error = last; error; error = error->underlyingError())
        ++chain;
    EXPECT_EQ(chain, 50000u);
    last = nullptr;
}

TEST(JsonCodecBase, ChangesOfTheTraceAreObservable)
{
    using Change = std::pair<fnd::KeyValueChange, size_t>;
    std::vector<Change> parserChanges;
    std::vector<Change> codecChanges;
    auto countOf = [](const JsonCodecBase& codec) { return codec.errorTrace() ? codec.errorTrace()->count() : 0; };

    JsonParser parser;
    auto parserToken = parser.addObserverForKey("errorTrace", [&](std::string_view, fnd::KeyValueChange change) {
        parserChanges.emplace_back(change, countOf(parser));
    });
    EXPECT_FALSE(parser.objectWithString(text("[1,]")));
    EXPECT_TRUE(parser.objectWithString(text("[1]")));
    constexpr auto will = fnd::KeyValueChange::WillChange;
    constexpr auto did = fnd::KeyValueChange::DidChange;
    EXPECT_EQ(parserChanges, (std::vector<Change> { { will, 0 }, { did, 0 }, { will, 0 }, { did, 1 }, { will, 1 }, { did, 0 } }));

    JsonCodec codec;
    auto codecToken = codec.addObserverForKey("errorTrace", [&](std::string_view, fnd::KeyValueChange change) {
        codecChanges.emplace_back(change, countOf(codec));
    });
    EXPECT_TRUE(codec.objectWithString(text("[1]")));
    EXPECT_TRUE(codecChanges.empty());
    EXPECT_FALSE(codec.objectWithString(text("[[1,]]")));
    EXPECT_EQ(codecChanges, (std::vector<Change> { { will, 0 }, { did, 2 } }));
}
