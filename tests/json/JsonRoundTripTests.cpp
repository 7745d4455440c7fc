#include "JsonTestValues.h"

#include "json/JsonParser.h"
#include "json/JsonWriter.h"

#include "platform/foundation/Format.h"
#include "platform/foundation/Unicode.h"
#include "support/FileContents.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <random>

using brenzo::testing::readFile;
using brenzo::testing::sameValue;
using brenzo::testing::typedText;

namespace {

// Random valid JSON text: every value kind, escapes of all sorts, raw UTF-8, numbers of every
// shape and the four RFC white-space bytes between tokens.
class DocumentGenerator {
public:
    explicit DocumentGenerator(uint32_t seed)
        : m_random(seed)
    {
    }

    std::string document() { return blank() + container(0) + blank(); }

private:
    size_t below(size_t limit) { return std::uniform_int_distribution<size_t>(0, limit - 1)(m_random); }
    bool chance(size_t inFour) { return below(4) < inFour; }

    std::string blank()
    {
        static constexpr const char* blanks[] = { "", "", "", " ", "\n", "\t", "\r\n  " };
        return blanks[below(std::size(blanks))];
    }

    std::string container(int depth)
    {
        bool object = chance(2);
        size_t count = below(depth < 2 ? 8 : 4);
        std::string text = object ? "{" : "[";
        for (size_t index = 0; index < count; ++index) {
            text += index ? "," : "";
            text += blank();
            if (object) {
                text += string();
                text += blank();
                text += ":";
                text += blank();
            }
            text += value(depth + 1);
            text += blank();
        }
        return text + (object ? "}" : "]");
    }

    std::string value(int depth)
    {
        switch (below(depth < 5 ? 9 : 6)) {
        case 0:
        case 1:
            return string();
        case 2:
        case 3:
            return number();
        case 4:
            return below(2) ? "true" : "false";
        case 5:
            return "null";
        default:
            return container(depth);
        }
    }

    std::string string()
    {
        std::string text = "\"";
        size_t pieces = below(6);
        for (size_t piece = 0; piece < pieces; ++piece) {
            switch (below(6)) {
            case 0: {
                static constexpr const char* escapes[] = { "\\\"", "\\\\", "\\/", "\\b", "\\f", "\\n", "\\r", "\\t" };
                text += escapes[below(std::size(escapes))];
                break;
            }
            case 1:
                text += fnd::format("\\u%04X", unsigned(below(0xD800)));
                break;
            case 2: {
                char32_t codePoint = 0x10000 + char32_t(below(0x100000));
                text += fnd::format("\\u%04x\\u%04x", unsigned(0xD800 + ((codePoint - 0x10000) >> 10)), unsigned(0xDC00 + (codePoint & 0x3FF)));
                break;
            }
            case 3: {
                char32_t codePoint = char32_t(0x80 + below(0x10FFFF - 0x80));
                if (codePoint >= 0xD800 && codePoint <= 0xDFFF)
                    codePoint = 0xE9;
                fnd::unicode::appendUTF8(text, codePoint);
                break;
            }
            default:
                for (size_t count = below(8); count > 0; --count) {
                    char c = static_cast<char>(0x20 + below(0x5F));
                    text += (c == '"' || c == '\\') ? 'x' : c;
                }
                break;
            }
        }
        return text + "\"";
    }

    std::string digits(size_t count)
    {
        std::string text;
        while (count--)
            text += static_cast<char>('0' + below(10));
        return text;
    }

    std::string number()
    {
        std::string text = chance(1) ? "-" : "";
        if (chance(1)) {
            text += "0";
        } else {
            text += static_cast<char>('1' + below(9));
            text += digits(below(25));
        }
        if (chance(2)) {
            text += ".";
            text += digits(1 + below(20));
        }
        if (chance(1)) {
            static constexpr const char* markers[] = { "e", "E", "e+", "E-", "e-" };
            text += markers[below(std::size(markers))] + digits(1 + below(2));
        }
        return text;
    }

    std::mt19937 m_random;
};

fnd::Id parse(const std::string& text)
{
    JsonParser parser;
    return parser.objectWithString(fnd::String::create(text));
}

std::string write(const fnd::Id& value, bool humanReadable, bool sortKeys)
{
    JsonWriter writer;
    writer.setHumanReadable(humanReadable);
    writer.setSortKeys(sortKeys);
    auto text = writer.stringWithObject(value);
    return text ? text->utf8() : std::string();
}

}

TEST(JsonRoundTrip, GeneratedDocumentsKeepTheirValuesInEveryWritingMode)
{
    for (uint32_t seed = 0; seed < 300; ++seed) {
        std::string text = DocumentGenerator(seed).document();
        SCOPED_TRACE(testing::Message() << "seed " << seed << ": " << text);
        ASSERT_TRUE(nlohmann::json::accept(text));
        fnd::Id value = parse(text);
        ASSERT_TRUE(value);

        for (bool humanReadable : { false, true }) {
            for (bool sortKeys : { false, true }) {
                std::string written = write(value, humanReadable, sortKeys);
                ASSERT_FALSE(written.empty());
                EXPECT_TRUE(nlohmann::json::accept(written)) << written;
                fnd::Id reread = parse(written);
                EXPECT_TRUE(sameValue(value, reread)) << typedText(value) << "\n" << typedText(reread);
                EXPECT_EQ(write(reread, humanReadable, sortKeys), written);
            }
        }
        // An independent reader sees the same document in the input and in the output.
        EXPECT_EQ(nlohmann::json::parse(text), nlohmann::json::parse(write(value, false, false)));
    }
}

TEST(JsonRoundTrip, LargeDocumentsFromDisk)
{
    std::string folder = std::string(BRENZO_SHARED_DATA_DIR) + "/json/";
    int checked = 0;
    for (const char* name : { "canada.json", "citm_catalog.json", "twitter.json" }) {
        std::string text = readFile(folder + name);
        if (text.empty())
            continue;
        SCOPED_TRACE(name);
        fnd::Id value = parse(text);
        ASSERT_TRUE(value);
        std::string compact = write(value, false, false);
        EXPECT_EQ(nlohmann::json::parse(text), nlohmann::json::parse(compact));
        EXPECT_TRUE(sameValue(value, parse(compact)));
        ++checked;
    }
    if (!checked)
        GTEST_SKIP() << "no benchmark documents in " << folder;
}
