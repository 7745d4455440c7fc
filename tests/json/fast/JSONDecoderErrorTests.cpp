#include "FastJSONTestSupport.h"

#include "json/fast/FastJSONDeserializing.h"
#include "json/fast/JKError.h"
#include "platform/foundation/Exception.h"
#include "platform/foundation/Unicode.h"

#include <gtest/gtest.h>

using namespace brenzo::testing;

namespace {

const std::string unexpectedToken = "Unexpected token, wanted '{', '}', '[', ']', ',', ':', 'true', 'false', 'null', '\"STRING\"', 'NUMBER'.";
const std::string endOfBuffer = "Reached the end of the buffer.";
const std::string illegalEscape = "Illegal \\u Unicode escape sequence.";

struct ErrorCase {
    std::string input;
    JKParseOptionFlags options;
    std::string message;
    uint64_t index;
    uint64_t line;
};

void PrintTo(const ErrorCase& errorCase, std::ostream* stream)
{
    *stream << "input \"" << errorCase.input << "\" options " << errorCase.options;
}

class DecoderErrorTest : public ::testing::TestWithParam<ErrorCase> { };

TEST_P(DecoderErrorTest, ReportsTheFirstErrorWithItsPosition)
{
    const ErrorCase& expected = GetParam();
    DecodeFailure failure = decodeFailure(expected.input, expected.options);
    EXPECT_EQ(failure.message, expected.message);
    EXPECT_EQ(failure.index, expected.index);
    EXPECT_EQ(failure.line, expected.line);
    EXPECT_TRUE(fnd::unicode::isValidUTF8(failure.message));
}

INSTANTIATE_TEST_SUITE_P(TopLevel, DecoderErrorTest, ::testing::Values(
    ErrorCase { "", 0, endOfBuffer, 0, 1 },
    ErrorCase { "   ", 0, unexpectedToken, 3, 1 },
    ErrorCase { "5", 0, "Expected either '[' or '{'.", 1, 1 },
    ErrorCase { "5 ", 0, "Expected either '[' or '{'.", 1, 1 },
    ErrorCase { "\"a\"", 0, "Expected either '[' or '{'.", 3, 1 },
    ErrorCase { "true ", 0, "Expected either '[' or '{'.", 4, 1 },
    ErrorCase { "[1] x", 0, "A valid JSON object was parsed but there were additional non-white-space characters remaining.", 4, 1 },
    ErrorCase { "[1]]", 0, "A valid JSON object was parsed but there were additional non-white-space characters remaining.", 3, 1 },
    ErrorCase { "\xEF\xBB\xBF[1]", 0, unexpectedToken, 0, 1 },
    ErrorCase { "[1] /* note */", 0, "A valid JSON object was parsed but there were additional non-white-space characters remaining.", 4, 1 }));

INSTANTIATE_TEST_SUITE_P(Tokens, DecoderErrorTest, ::testing::Values(
    ErrorCase { "[tru", 0, unexpectedToken, 1, 1 },
    ErrorCase { "[nul", 0, unexpectedToken, 1, 1 },
    ErrorCase { "[true", 0, unexpectedToken, 1, 1 },
    ErrorCase { "[truex]", 0, unexpectedToken, 5, 1 },
    ErrorCase { "[x]", 0, unexpectedToken, 1, 1 },
    ErrorCase { "[1 ", 0, unexpectedToken, 3, 1 },
    ErrorCase { "{\"a\"", 0, unexpectedToken, 4, 1 },
    ErrorCase { "{\"a\":", 0, unexpectedToken, 5, 1 },
    ErrorCase { "[1.5.3]", 0, unexpectedToken, 4, 1 }));

INSTANTIATE_TEST_SUITE_P(Structure, DecoderErrorTest, ::testing::Values(
    ErrorCase { "[01]", 0, "Unexpected value.", 3, 1 },
    ErrorCase { "[1 2]", 0, "Unexpected value.", 4, 1 },
    ErrorCase { "[\"a\" \"b\"]", 0, "Unexpected value.", 8, 1 },
    ErrorCase { "[1,]", 0, "Unexpected ']'.", 4, 1 },
    ErrorCase { "[,1]", 0, "Unexpected ','.", 2, 1 },
    ErrorCase { "{,}", 0, "Unexpected ','.", 2, 1 },
    ErrorCase { "{\"a\":1,}", 0, "Unexpected '}'.", 8, 1 },
    ErrorCase { "{\"a\":1 \"b\":2}", 0, "Unexpected string.", 10, 1 },
    ErrorCase { "{\"a\" 1}", 0, "Expected ':'.", 6, 1 },
    ErrorCase { "[1:2]", 0, "Expected a comma or a ']', not ':'", 3, 1 },
    ErrorCase { "[}", 0, "Expected a value or a ']', not '}'", 2, 1 },
    ErrorCase { "{1:2}", 0, "Expected a \"STRING\" or a '}', not '1'", 2, 1 },
    ErrorCase { "{\"a\":}", 0, "Expected a value or a '}', not '}'", 6, 1 },
    ErrorCase { "{\"a\":1,\"b\":]", 0, "Expected a value, not ']'", 12, 1 },
    ErrorCase { "{\"a\":1 :", 0, "Expected a comma or a '}', not ':'", 8, 1 },
    ErrorCase { "{\"a\":1,:", 0, "Expected a \"STRING\", not ':'", 8, 1 },
    ErrorCase { "{\"a\":1,[", 0, "Expected a \"STRING\", not '['", 8, 1 },
    // Input that ends inside a container, however deep, fails at the end of the buffer.
    ErrorCase { "[1", 0, endOfBuffer, 2, 1 },
    ErrorCase { "[[1", 0, endOfBuffer, 3, 1 },
    ErrorCase { "{\"a\":[1", 0, endOfBuffer, 7, 1 },
    ErrorCase { "{\"a\":1", 0, endOfBuffer, 6, 1 }));

INSTANTIATE_TEST_SUITE_P(Strings, DecoderErrorTest, ::testing::Values(
    ErrorCase { "[\"abc", 0, "Invalid string.", 5, 1 },
    ErrorCase { "[\"abc\\", 0, "Invalid string.", 6, 1 },
    ErrorCase { "[\"a\tb\"]", 0, "Invalid character < 0x20 found in string: 0x09.", 3, 1 },
    ErrorCase { "[\"a\\n\x01\"]", 0, "Invalid character < 0x20 found in string: 0x01.", 5, 1 },
    ErrorCase { "[\"\xFF\"]", 0, "Illegal UTF8 sequence found in \"\" string.", 2, 1 },
    ErrorCase { "[\"\xC0\xAF\"]", 0, "Illegal UTF8 sequence found in \"\" string.", 2, 1 },
    ErrorCase { "[\"\xED\xA0\x80\"]", 0, "Illegal UTF8 sequence found in \"\" string.", 2, 1 },
    ErrorCase { "[\"\xEF\xBF\xBE\"]", 0, "Illegal UTF8 sequence found in \"\" string.", 2, 1 },
    ErrorCase { "[\"\xE2\x82", 0, "End of buffer reached while parsing UTF8 in \"\" string.", 2, 1 },
    ErrorCase { "[\"\\x\"]", 0, "Invalid escape sequence found in \"\" string.", 3, 1 },
    ErrorCase { "[\"\\u12g4\"]", 0, "Unexpected character found in \\u Unicode escape sequence.  Found 'g', expected [0-9a-fA-F].", 6, 1 },
    ErrorCase { "[\"\\u12\xE9" "4\"]", 0, "Unexpected character found in \\u Unicode escape sequence.  Found '\xC3\xA9', expected [0-9a-fA-F].", 6, 1 },
    ErrorCase { "[\"\\u00", 0, "Invalid string.", 6, 1 },
    ErrorCase { "[\"\\u0000\"]", 0, illegalEscape, 8, 1 },
    ErrorCase { "[\"\\udc00\"]", 0, illegalEscape, 8, 1 },
    ErrorCase { "[\"\\ud83d\\u0041\"]", 0, illegalEscape, 14, 1 },
    ErrorCase { "[\"\\ufffe\"]", 0, illegalEscape, 8, 1 },
    ErrorCase { "[\"\\ufdd0\"]", 0, illegalEscape, 8, 1 },
    ErrorCase { "[\"\\ud83d", 0, "Invalid string.", 8, 1 },
    ErrorCase { "[\"\\ud83dabc\"]", 0, "Required a second \\u Unicode escape sequence following a surrogate \\u Unicode escape sequence.", 8, 1 },
    ErrorCase { "[\"\\ud83d\\n\"]", 0, "Required a second \\u Unicode escape sequence following a surrogate \\u Unicode escape sequence.", 9, 1 }));

INSTANTIATE_TEST_SUITE_P(Numbers, DecoderErrorTest, ::testing::Values(
    ErrorCase { "[1e400]", 0, "The value '1e400' could not be represented as a 'double' due to overflow.", 6, 1 },
    ErrorCase { "[-1e400]", 0, "The value '-1e400' could not be represented as a 'double' due to overflow.", 7, 1 },
    ErrorCase { "[123456789e301]", 0, "The value '123456789e301' could not be represented as a 'double' due to overflow.", 14, 1 },
    ErrorCase { "[1e-400]", 0, "The value '1e-400' could not be represented as a 'double' due to underflow.", 7, 1 },
    ErrorCase { "[0.000001e-320]", 0, "The value '0.000001e-320' could not be represented as a 'double' due to underflow.", 14, 1 },
    ErrorCase { "[-9223372036854775809]", 0, "The value '-9223372036854775809' exceeded the minimum value that could be represented: -9223372036854775808.", 21, 1 },
    ErrorCase { "[18446744073709551616]", 0, "The value '18446744073709551616' exceeded the maximum value that could be represented: 18446744073709551615.", 21, 1 },
    ErrorCase { "[-123456789012345678901234]", 0, "The value '-123456789012345678901234' exceeded the minimum value that could be represented: -9223372036854775808.", 26, 1 },
    ErrorCase { "[-36893488147419103232]", 0, "The value '-36893488147419103232' exceeded the minimum value that could be represented: -9223372036854775808.", 22, 1 },
    ErrorCase { "[-]", 0, "Invalid number.", 2, 1 },
    ErrorCase { "[-a]", 0, "Invalid number.", 2, 1 },
    ErrorCase { "[1.]", 0, "Invalid number.", 3, 1 },
    ErrorCase { "[1.e5]", 0, "Invalid number.", 3, 1 },
    ErrorCase { "[1e]", 0, "Invalid number.", 3, 1 },
    ErrorCase { "[1e+]", 0, "Invalid number.", 4, 1 },
    ErrorCase { "[1.", 0, "Invalid number.", 3, 1 }));

// Arrays of numbers and strings inside an array are read on a shorter path, which hands over to the
// general one at anything else: faults on either side of the hand-over read as they do at the top.
INSTANTIATE_TEST_SUITE_P(InsideAnArray, DecoderErrorTest, ::testing::Values(
    ErrorCase { "[[,1]]", 0, "Unexpected ','.", 3, 1 },
    ErrorCase { "[[1,]]", 0, "Unexpected ']'.", 5, 1 },
    ErrorCase { "[[1 2]]", 0, "Unexpected value.", 5, 1 },
    ErrorCase { "[[1:2]]", 0, "Expected a comma or a ']', not ':'", 4, 1 },
    ErrorCase { "[[-]]", 0, "Invalid number.", 3, 1 },
    // A number right after another is read before the one ahead of it is looked up.
    ErrorCase { "[[0.5,1e]]", 0, "Invalid number.", 8, 1 },
    ErrorCase { "[[1,2,3e999]]", 0, "The value '3e999' could not be represented as a 'double' due to overflow.", 11, 1 },
    ErrorCase { "[[1.5.3]]", 0, unexpectedToken, 5, 1 },
    ErrorCase { "[[1e400]]", 0, "The value '1e400' could not be represented as a 'double' due to overflow.", 7, 1 },
    ErrorCase { "[[\"a\tb\"]]", 0, "Invalid character < 0x20 found in string: 0x09.", 4, 1 },
    ErrorCase { "[[1,2],[3,]]", 0, "Unexpected ']'.", 11, 1 },
    ErrorCase { "[[1],[2 3]]", 0, "Unexpected value.", 9, 1 },
    ErrorCase { "[[1,[2,]]]", 0, "Unexpected ']'.", 8, 1 },
    ErrorCase { "[[1,\n2,\n]]", 0, "Unexpected ']'.", 9, 3 },
    ErrorCase { "[[1,2],[3", 0, endOfBuffer, 9, 1 }));

INSTANTIATE_TEST_SUITE_P(Lines, DecoderErrorTest, ::testing::Values(
    ErrorCase { "[1,\n2,\n]", 0, "Unexpected ']'.", 8, 3 },
    ErrorCase { "[1,\r\n2,\r\n]", 0, "Unexpected ']'.", 10, 3 },
    ErrorCase { "[1,\r2,\r]", 0, "Unexpected ']'.", 8, 3 },
    ErrorCase { "[1,\xE2\x80\xA8]", JKParseOptionUnicodeNewlines, "Unexpected ']'.", 7, 2 },
    ErrorCase { "[1,\xC2\x85\xE2\x80\xA9]", JKParseOptionUnicodeNewlines, "Unexpected ']'.", 9, 3 },
    ErrorCase { "[1,\xE2\x80\xA8 2]", 0, unexpectedToken, 3, 1 },
    ErrorCase { "[1, /* a\nb */ 2,\n]", JKParseOptionComments, "Unexpected ']'.", 18, 3 },
    ErrorCase { "[1, // a\n]", JKParseOptionComments, "Unexpected ']'.", 10, 2 },
    // Long runs of white space are skipped sixteen bytes at a time: several line feeds in one block,
    // one per block, and blocks without any.
    ErrorCase { "[1,\n\n\n          \n     ]", 0, "Unexpected ']'.", 23, 5 },
    ErrorCase { "[1,\n               \n               \n               ]", 0, "Unexpected ']'.", 52, 4 },
    ErrorCase { "[1,                    \n\n                    ]", 0, "Unexpected ']'.", 46, 3 }));

TEST(DecoderErrors, HaveTheDecoderDomainAndCode)
{
    fnd::Ref<fnd::Error> error;
    EXPECT_FALSE(decodeJSON("[1,]", 0, false, &error));
    ASSERT_TRUE(error);
    EXPECT_EQ(error->domain(), "JKErrorDomain");
    EXPECT_EQ(error->code(), -1);
}

TEST(DecoderErrors, KeepOnlyTheFirstMessage)
{
    // A bad string also fails the token and the parse; the string's own message is the one reported.
    EXPECT_EQ(decodeFailure("[\"a\x01\"]").message, "Invalid character < 0x20 found in string: 0x01.");
    EXPECT_EQ(decodeFailure("[1e400").message, "The value '1e400' could not be represented as a 'double' due to overflow.");
}

TEST(DecoderErrors, LeaveTheErrorAloneOnSuccessAndAcceptNoErrorPointer)
{
    fnd::Ref<fnd::Error> error;
    EXPECT_TRUE(decodeJSON("[1]", 0, false, &error));
    EXPECT_FALSE(error);
    EXPECT_FALSE(decodeJSON("[1,]", 0, false, nullptr));
}

TEST(DecoderErrors, DeepTruncatedNestingFailsAtTheEndOfTheBuffer)
{
    std::string input(100000, '[');
    DecodeFailure failure = decodeFailure(input);
    EXPECT_EQ(failure.message, endOfBuffer);
    EXPECT_EQ(failure.index, 100000u);

    std::string objects;
    for (int level = 0; level < 50000; ++level)
        objects += "{\"a\":";
    EXPECT_EQ(decodeFailure(objects).message, unexpectedToken);
}

TEST(DecoderMisuse, RefusesInvalidOptionsAndMissingInput)
{
    EXPECT_NO_THROW(JSONDecoder::decoderWithParseOptions(15));
    try {
        JSONDecoder::decoderWithParseOptions(16);
        FAIL() << "options 16 were accepted";
    } catch (const fnd::Exception& exception) {
        EXPECT_EQ(exception.name(), "NSInvalidArgumentException");
        EXPECT_EQ(exception.reason(), "Invalid parse options.");
    }

    auto decoder = JSONDecoder::decoder();
    try {
        decoder->objectWithUTF8StringLength(nullptr, 3);
        FAIL() << "a null string was accepted";
    } catch (const fnd::Exception& exception) {
        EXPECT_EQ(exception.name(), "NSInvalidArgumentException");
        EXPECT_EQ(exception.reason(), "The string argument is NULL.");
    }
    try {
        decoder->mutableObjectWithData(nullptr);
        FAIL() << "nil data was accepted";
    } catch (const fnd::Exception& exception) {
        EXPECT_EQ(exception.reason(), "The jsonData argument is NULL.");
    }

    decoder->freeParseState();
    decoder->freeParseState();
    try {
        decoder->objectWithUTF8StringLength("[]", 2);
        FAIL() << "a decoder without state parsed";
    } catch (const fnd::Exception& exception) {
        EXPECT_EQ(exception.name(), "NSInternalInconsistencyException");
        EXPECT_EQ(exception.reason(), "parseState is NULL.");
    }
}

TEST(DecoderConveniences, ReportConversionFailuresWithoutAPosition)
{
    fnd::String invalid(std::string("[\"\xFF\"]"));
    fnd::Ref<fnd::Error> error;
    EXPECT_FALSE(FastJSONDeserializing::objectFromJSONStringWithParseOptionsError(invalid, JKParseOptionLooseUnicode, &error));
    ASSERT_TRUE(error);
    EXPECT_EQ(error->localizedDescription(), "An error occurred converting the contents of a NSString to UTF8.");
    EXPECT_FALSE(error->userInfo()->objectForKey(JKAtIndexKey));
    EXPECT_FALSE(error->userInfo()->objectForKey(JKLineNumberKey));
}

TEST(DecoderConveniences, PassParseErrorsThrough)
{
    fnd::Ref<fnd::Error> error;
    EXPECT_FALSE(FastJSONDeserializing::mutableObjectFromJSONDataWithParseOptionsError(fnd::Data(std::vector<uint8_t> { '[', '1' }), 0, &error));
    ASSERT_TRUE(error);
    EXPECT_EQ(error->localizedDescription(), endOfBuffer);
    EXPECT_FALSE(FastJSONDeserializing::objectFromJSONData(fnd::Data({})));
}

}
