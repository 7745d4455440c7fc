// Feeds generated and mutated JSON to the decoder and to RapidJSON and compares what each accepts and
// the values it builds.

#include "FastJSONTestSupport.h"
#include "RapidJSONComparison.h"

#include "json/fast/JKUnicode.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>

using namespace brenzo::testing;

namespace {

class JSONGenerator {
public:
    explicit JSONGenerator(uint64_t seed) : m_random(seed) { }

    std::string document()
    {
        int pick = below(20);
        if (pick == 0)
            return whitespace() + scalar() + whitespace();
        return whitespace() + (pick % 2 ? array(0) : object(0)) + whitespace();
    }

    std::string mutated(std::string text)
    {
        static const std::string interesting = "[]{}:,\"\\u0123456789abcdefABCDEF.eE+- \t\n\r/tfnrx\x7f\xc2\x80\xe2\xed\xef\xbf\xff";
        int edits = 1 + below(3);
        for (int edit = 0; edit < edits; ++edit) {
            size_t position = text.empty() ? 0 : below(static_cast<int>(text.size()));
            switch (below(6)) {
            case 0:
                if (!text.empty())
                    text[position] = interesting[below(static_cast<int>(interesting.size()))];
                break;
            case 1:
                text.insert(position, 1, interesting[below(static_cast<int>(interesting.size()))]);
                break;
            case 2:
                if (!text.empty())
                    text.erase(position, 1 + below(3));
                break;
            case 3:
                text.resize(position);
                break;
            case 4:
                if (!text.empty())
                    text[position] = static_cast<char>(below(256));
                break;
            default: {
                size_t length = below(8);
                text.insert(position, text.substr(position, length));
                break;
            }
            }
        }
        return text;
    }

private:
    int below(int limit) { return static_cast<int>(m_random() % static_cast<uint64_t>(limit)); }

    std::string whitespace()
    {
        static const char blanks[] = " \t\n\r";
        std::string text;
        while (below(4) == 0)
            text += blanks[below(4)];
        return text;
    }

    std::string value(int depth)
    {
        int pick = below(depth > 4 ? 6 : 10);
        if (pick >= 8)
            return pick == 8 ? array(depth + 1) : object(depth + 1);
        return scalar();
    }

    std::string scalar()
    {
        switch (below(6)) {
        case 0:
            return below(2) ? "true" : "false";
        case 1:
            return "null";
        case 2:
        case 3:
            return number();
        default:
            return string();
        }
    }

    std::string array(int depth)
    {
        std::string text = "[" + whitespace();
        int count = below(6);
        for (int index = 0; index < count; ++index)
            text += (index ? "," + whitespace() : "") + value(depth) + whitespace();
        return text + "]";
    }

    std::string object(int depth)
    {
        static const char* keys[] = { "\"id\"", "\"name\"", "\"a\"", "\"\\u0061\"", "\"\"", "\"k\xC3\xA9y\"" };
        std::string text = "{" + whitespace();
        int count = below(6);
        for (int index = 0; index < count; ++index) {
            std::string key = below(3) ? keys[below(6)] : string();
            text += (index ? "," + whitespace() : "") + key + whitespace() + ":" + whitespace() + value(depth) + whitespace();
        }
        return text + "}";
    }

    std::string number()
    {
        char text[64];
        switch (below(8)) {
        case 0:
            return std::to_string(static_cast<int64_t>(m_random()) >> below(64));
        case 1:
            return std::to_string(m_random() >> below(64));
        case 2: {
            double value;
            uint64_t bits = m_random();
            std::memcpy(&value, &bits, sizeof value);
            if (!std::isfinite(value))
                return "0.5";
            std::snprintf(text, sizeof text, "%.17g", value);
            return text;
        }
        case 3:
            std::snprintf(text, sizeof text, "%d.%de%c%d", below(1000) - 500, below(1000), below(2) ? '-' : '+', below(400));
            return text[0] == '-' && text[1] == '-' ? "1" : text;
        case 4:
            return below(2) ? "-0" : "-0.0";
        case 5:
            return "18446744073709551616" + std::string(below(3), '1');
        case 6:
            std::snprintf(text, sizeof text, "%de-%d", 1 + below(9), 300 + below(40));
            return text;
        default:
            return std::to_string(below(100));
        }
    }

    std::string string()
    {
        static const char* escapes[] = { "\\\"", "\\\\", "\\/", "\\b", "\\f", "\\n", "\\r", "\\t" };
        std::string text = "\"";
        int length = below(12);
        for (int index = 0; index < length; ++index) {
            switch (below(8)) {
            case 0:
                text += escapes[below(8)];
                break;
            case 1: {
                char escape[16];
                std::snprintf(escape, sizeof escape, below(2) ? "\\u%04x" : "\\u%04X", codePoint(0xFFFF));
                text += escape;
                break;
            }
            case 2: {
                char32_t supplementary = 0x10000 + static_cast<char32_t>(below(0x100000));
                char escape[16];
                std::snprintf(escape, sizeof escape, "\\u%04x\\u%04x", static_cast<unsigned>(0xD800 + ((supplementary - 0x10000) >> 10)), static_cast<unsigned>(0xDC00 + (supplementary & 0x3FF)));
                text += escape;
                break;
            }
            case 3: {
                uint8_t bytes[4];
                size_t count = JKEncodeUTF8(codePoint(0x10FFFF), bytes);
                text.append(reinterpret_cast<const char*>(bytes), count);
                break;
            }
            default:
                text += static_cast<char>(' ' + below(95));
                if (text.back() == '"' || text.back() == '\\')
                    text.back() = 'q';
                break;
            }
        }
        return text + "\"";
    }

    // Mostly ordinary characters; now and then U+0000 or a noncharacter, which the decoder refuses.
    unsigned codePoint(unsigned limit)
    {
        if (below(40) == 0) {
            static const unsigned special[] = { 0, 0xFFFE, 0xFDD0, 0xFFFF };
            return special[below(4)];
        }
        unsigned value;
        do
            value = 1 + static_cast<unsigned>(m_random() % limit);
        while ((value >= 0xD800 && value <= 0xDFFF) || JKIsNoncharacter(value));
        return value;
    }

    std::mt19937_64 m_random;
};

TEST(DecoderDifferential, AgreesWithRapidJSONOnGeneratedAndMutatedInput)
{
    JSONGenerator generator(0x5eed);
    size_t accepted = 0;
    size_t compared = 0;
    for (int round = 0; round < 6000; ++round) {
        std::string document = generator.document();
        for (const std::string& input : { document, generator.mutated(document), generator.mutated(document) }) {
            std::string problem = disagreementWithRapidJSON(input);
            ASSERT_EQ(problem, "") << "input: " << ::testing::PrintToString(input);
            ++compared;
            if (decodeJSON(input))
                ++accepted;
        }
    }
    // Both kinds of input must be well represented for the comparison to mean anything.
    EXPECT_GT(accepted, compared / 4);
    EXPECT_LT(accepted, compared * 3 / 4);
}

TEST(DecoderDifferential, EveryOptionSurvivesMutatedInput)
{
    JSONGenerator generator(0xfeed);
    for (int round = 0; round < 1500; ++round) {
        std::string input = generator.mutated(generator.mutated(generator.document()));
        for (JKParseOptionFlags options = 0; options <= JKParseOptionValidFlags; ++options) {
            fnd::Ref<fnd::Error> error;
            fnd::Id value = decodeJSON(input, options, options % 2, &error);
            ASSERT_TRUE(value || error) << input;
        }
    }
}

TEST(DecoderDifferential, AgreesOnTheBenchmarkDocuments)
{
    for (const char* name : { "twitter", "citm_catalog", "canada" }) {
        auto document = readBenchmarkDocument(name);
        if (!document)
            GTEST_SKIP() << "the benchmark documents are not there";
        EXPECT_EQ(disagreementWithRapidJSON(*document), "") << name;
    }
}

}
