#include "platform/foundation/StringsFile.h"

#include "platform/foundation/ASCII.h"
#include "platform/foundation/Dictionary.h"
#include "platform/foundation/Format.h"
#include "platform/foundation/PropertyList.h"
#include "platform/foundation/String.h"
#include "platform/foundation/Unicode.h"

#include <string_view>

namespace fnd {

namespace {

// The text as UTF-8, whatever encoding its byte-order mark announces.
std::string decodeText(std::span<const uint8_t> bytes)
{
    auto startsWith = [&](std::initializer_list<uint8_t> mark) {
        return bytes.size() >= mark.size() && std::equal(mark.begin(), mark.end(), bytes.begin());
    };
    if (startsWith({ 0xFF, 0xFE }) || startsWith({ 0xFE, 0xFF })) {
        bool littleEndian = bytes[0] == 0xFF;
        std::u16string units;
        for (size_t index = 2; index + 1 < bytes.size(); index += 2)
            units.push_back(littleEndian ? char16_t(bytes[index] | bytes[index + 1] << 8) : char16_t(bytes[index] << 8 | bytes[index + 1]));
        return unicode::fromUTF16(units);
    }
    if (startsWith({ 0xEF, 0xBB, 0xBF }))
        bytes = bytes.subspan(3);
    std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    return unicode::isValidUTF8(text) ? std::string(text) : unicode::sanitizedUTF8(text);
}

bool isUnquotedCharacter(char character)
{
    return (character >= 'a' && character <= 'z') || (character >= 'A' && character <= 'Z') || (character >= '0' && character <= '9')
        || character == '_' || character == '$' || character == '+' || character == '/' || character == ':' || character == '.' || character == '-';
}

class Parser {
public:
    explicit Parser(std::string_view text)
        : m_text(text)
    {
    }

    std::optional<StringsFile::Table> parse()
    {
        StringsFile::Table table;
        if (!skipBlanksAndComments())
            return std::nullopt;
        bool braced = peek() == '{';
        if (braced) {
            ++m_position;
            if (!skipBlanksAndComments())
                return std::nullopt;
        }
        while (!atEnd() && !(braced && peek() == '}')) {
            auto key = readString();
            if (!key)
                return std::nullopt;
            if (!skipBlanksAndComments())
                return std::nullopt;
            std::string value = *key;
            if (peek() == '=') {
                ++m_position;
                if (!skipBlanksAndComments())
                    return std::nullopt;
                auto text = readString();
                if (!text)
                    return std::nullopt;
                value = std::move(*text);
                if (!skipBlanksAndComments())
                    return std::nullopt;
            }
            if (peek() != ';')
                return fail("expected \";\" after the entry", m_tokenEnd);
            ++m_position;
            table.insert_or_assign(std::move(*key), std::move(value));
            if (!skipBlanksAndComments())
                return std::nullopt;
        }
        if (braced) {
            if (peek() != '}')
                return fail("expected \"}\"");
            ++m_position;
            if (!skipBlanksAndComments())
                return std::nullopt;
            if (!atEnd())
                return fail("text after \"}\"");
        }
        return table;
    }

    std::string error;

private:
    bool atEnd() const { return m_position >= m_text.size(); }
    char peek() const { return atEnd() ? '\0' : m_text[m_position]; }

    std::nullopt_t fail(std::string_view what)
    {
        return fail(what, m_position);
    }

    std::nullopt_t fail(std::string_view what, size_t position)
    {
        size_t line = 1;
        for (size_t index = 0; index < position && index < m_text.size(); ++index)
            line += m_text[index] == '\n';
        error = format("line %zu: %s", line, what);
        return std::nullopt;
    }

    // False on an unterminated comment.
    bool skipBlanksAndComments()
    {
        while (!atEnd()) {
            char character = peek();
            if (character == ' ' || character == '\t' || character == '\n' || character == '\r' || character == '\f' || character == '\v') {
                ++m_position;
            } else if (m_text.substr(m_position, 2) == "//") {
                size_t end = m_text.find('\n', m_position);
                m_position = end == std::string_view::npos ? m_text.size() : end + 1;
            } else if (m_text.substr(m_position, 2) == "/*") {
                size_t end = m_text.find("*/", m_position + 2);
                if (end == std::string_view::npos) {
                    fail("unterminated comment");
                    return false;
                }
                m_position = end + 2;
            } else {
                return true;
            }
        }
        return true;
    }

    std::optional<std::string> readString()
    {
        if (peek() == '"') {
            auto text = readQuoted();
            m_tokenEnd = m_position;
            return text;
        }
        size_t start = m_position;
        while (!atEnd() && isUnquotedCharacter(peek()))
            ++m_position;
        if (m_position == start)
            return fail(atEnd() ? "unexpected end of text" : "expected a quoted string");
        m_tokenEnd = m_position;
        return std::string(m_text.substr(start, m_position - start));
    }

    std::optional<std::string> readQuoted()
    {
        ++m_position;
        std::string result;
        char32_t pendingHighSurrogate = 0;
        auto flushSurrogate = [&] {
            if (pendingHighSurrogate)
                unicode::appendUTF8(result, unicode::replacementCharacter);
            pendingHighSurrogate = 0;
        };
        while (true) {
            if (atEnd())
                return fail("unterminated string");
            char character = m_text[m_position++];
            if (character == '"')
                break;
            if (character != '\\') {
                flushSurrogate();
                result.push_back(character);
                continue;
            }
            if (atEnd())
                return fail("unterminated string");
            char escape = m_text[m_position++];
            if (escape == 'U' || escape == 'u') {
                char32_t unit = 0;
                size_t digits = 0;
                while (digits < 4 && !atEnd() && fnd::ascii::hexDigitValue(peek()) >= 0) {
                    unit = unit * 16 + char32_t(fnd::ascii::hexDigitValue(peek()));
                    ++m_position;
                    ++digits;
                }
                if (digits == 0)
                    return fail("\\U without hexadecimal digits");
                if (unit >= 0xDC00 && unit <= 0xDFFF && pendingHighSurrogate) {
                    unicode::appendUTF8(result, 0x10000 + ((pendingHighSurrogate - 0xD800) << 10) + (unit - 0xDC00));
                    pendingHighSurrogate = 0;
                    continue;
                }
                flushSurrogate();
                if (unit >= 0xD800 && unit <= 0xDBFF)
                    pendingHighSurrogate = unit;
                else
                    unicode::appendUTF8(result, unit >= 0xDC00 && unit <= 0xDFFF ? unicode::replacementCharacter : unit);
                continue;
            }
            flushSurrogate();
            if (escape >= '0' && escape <= '7') {
                unsigned value = unsigned(escape - '0');
                for (int count = 1; count < 3 && !atEnd() && peek() >= '0' && peek() <= '7'; ++count)
                    value = value * 8 + unsigned(m_text[m_position++] - '0');
                unicode::appendUTF8(result, char32_t(value & 0xFF));
                continue;
            }
            switch (escape) {
            case 'n': result.push_back('\n'); break;
            case 't': result.push_back('\t'); break;
            case 'r': result.push_back('\r'); break;
            case 'a': result.push_back('\a'); break;
            case 'b': result.push_back('\b'); break;
            case 'f': result.push_back('\f'); break;
            case 'v': result.push_back('\v'); break;
            default: result.push_back(escape); break;
            }
        }
        flushSurrogate();
        return result;
    }

    std::string_view m_text;
    size_t m_position = 0;
    size_t m_tokenEnd = 0;
};

std::optional<StringsFile::Table> parsePropertyList(std::span<const uint8_t> bytes, std::string* error)
{
    Ref<Error> readError;
    auto dictionary = as<Dictionary>(PropertyList::read(bytes, &readError));
    if (!dictionary) {
        if (error)
            *error = readError ? readError->localizedDescription() : "not a dictionary";
        return std::nullopt;
    }
    StringsFile::Table table;
    bool allStrings = true;
    dictionary->forEachEntry([&](const Id& key, const Id& value, bool& stop) {
        auto name = as<String>(key);
        auto text = as<String>(value);
        if (!name || !text) {
            allStrings = false;
            stop = true;
            return;
        }
        table.insert_or_assign(name->utf8(), text->utf8());
    });
    if (!allStrings) {
        if (error)
            *error = "a value that is not a string";
        return std::nullopt;
    }
    return table;
}

}

std::optional<StringsFile::Table> StringsFile::parse(std::span<const uint8_t> bytes, std::string* error)
{
    std::string_view raw(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (raw.starts_with("bplist") || raw.starts_with("<?xml") || raw.starts_with("<plist"))
        return parsePropertyList(bytes, error);
    std::string text = decodeText(bytes);
    Parser parser(text);
    auto table = parser.parse();
    if (!table && error)
        *error = parser.error;
    return table;
}

}
