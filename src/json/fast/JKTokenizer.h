#pragma once

#include "json/fast/JKParseOptions.h"
#include "json/fast/JKTokenValue.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Reads the tokens of one parse from UTF-8 input, keeping the byte index and line number, and records
// the parse's first error with the position at which it happened.
class JKTokenizer {
public:
    enum class TokenType : uint32_t {
        None = 0,
        Number = 1,
        String = 2,
        ObjectBegin = 3,
        ObjectEnd = 4,
        ArrayBegin = 5,
        ArrayEnd = 6,
        Colon = 7,
        Comma = 8,
        True = 9,
        False = 10,
        Null = 11,
    };

    struct Error {
        std::string message;
        size_t index = 0;
        size_t line = 0;
    };

    // A number's digits as the scanner gathered them: value = mantissa x 10^(exponent - fractionDigits),
    // with the mantissa exact while significantDigits is at most 19 (and 0 beyond).
    struct DecimalParts {
        uint64_t mantissa = 0;
        int64_t significantDigits = 0;
        int64_t fractionDigits = 0;
        int64_t exponent = 0;
        bool isNegative = false;
        bool isFloating = false;
    };

    explicit JKTokenizer(JKParseOptionFlags options) : m_options(options) { }

    // Starts a parse of the given bytes, which are read, never copied.
    void start(const uint8_t* bytes, size_t length);
    // Forgets the input and the error; keeps the token buffer's storage for the next parse.
    void finish();

    // Reads the next token; false (with an error recorded) when there is none.
    bool nextToken()
    {
        // Structural tokens and numbers that follow the previous token directly are the common case.
        if (m_index < m_length && !(m_options & (JKParseOptionComments | JKParseOptionUnicodeNewlines))) {
            uint8_t byte = m_bytes[m_index];
            TokenType type = singleByteTokenTypes[byte];
            if (type != TokenType::None) {
                m_tokenType = type;
                m_tokenStart = m_index;
                m_tokenEnd = ++m_index;
                return true;
            }
            if (startsNumber(byte))
                return scanNumberToken();
        }
        return nextTokenInGeneral();
    }
    // Passes `byte` when it directly follows the current token, without making it a token of its own.
    // False, with nothing read, for anything else.
    bool skipByte(uint8_t byte)
    {
        if (m_index >= m_length || m_bytes[m_index] != byte)
            return false;
        ++m_index;
        return true;
    }
    // Passes a colon that directly follows the current token, and the blank that usually follows it.
    bool skipColon()
    {
        if (!skipByte(':'))
            return false;
        if (m_index < m_length && m_bytes[m_index] == ' ')
            ++m_index;
        return true;
    }
    // Whether the byte right after the current token starts a number, which readNumber() then reads.
    bool atNumber() const
    {
        return m_index < m_length && startsNumber(m_bytes[m_index]);
    }
    // Whether a comma and the start of a number directly follow the current token.
    bool atCommaAndNumber() const { return m_index + 1 < m_length && m_bytes[m_index] == ',' && startsNumber(m_bytes[m_index + 1]); }
    // Reads the number that atNumber() found, as nextToken() would.
    bool readNumber() { return scanNumberToken(); }
    // Whether the byte right after the current token starts a string.
    bool atString() const { return m_index < m_length && m_bytes[m_index] == '"'; }
    // Skips white space and newlines, and comments when the options allow them.
    void skipWhitespace();

    TokenType tokenType() const { return m_tokenType; }
    bool tokenStartsValue() const
    {
        constexpr uint32_t valueStarts = 1u << 1 | 1u << 2 | 1u << 3 | 1u << 5 | 1u << 9 | 1u << 10 | 1u << 11;
        return (1u << static_cast<uint32_t>(m_tokenType)) & valueStarts;
    }
    // The token's own bytes (a string's with its quotes).
    std::string_view tokenText() const { return { reinterpret_cast<const char*>(m_bytes) + m_tokenStart, m_tokenEnd - m_tokenStart }; }
    // Valid until the next token.
    const JKTokenValue& tokenValue() const { return m_value; }

    size_t index() const { return m_index; }
    size_t length() const { return m_length; }
    bool atEnd() const { return m_index >= m_length; }

    // Keeps only the first error of a parse, at the current index and line.
    void recordError(std::string message);
    bool hasError() const { return m_error.has_value(); }
    const std::optional<Error>& error() const { return m_error; }

private:
    static constexpr std::array<TokenType, 256> singleByteTokenTypes = [] {
        std::array<TokenType, 256> types {};
        types['{'] = TokenType::ObjectBegin;
        types['}'] = TokenType::ObjectEnd;
        types['['] = TokenType::ArrayBegin;
        types[']'] = TokenType::ArrayEnd;
        types[':'] = TokenType::Colon;
        types[','] = TokenType::Comma;
        return types;
    }();

    static bool startsNumber(uint8_t byte) { return (byte >= '0' && byte <= '9') || byte == '-'; }
    bool nextTokenInGeneral();
    // The body of skipWhitespace(), which the token reader inlines.
    void skipWhitespaceInline();
    bool scanLiteral(std::string_view word, TokenType);
    bool scanNumber();
    [[gnu::always_inline]] inline bool scanShortNumber();
    [[gnu::always_inline]] inline void setNumberValue(JKTokenValue::Type, uint64_t bits);
    [[gnu::noinline]] bool scanNumberInGeneral();
    // The number token at the current index, or false with the errors recorded.
    bool scanNumberToken()
    {
        if (scanNumber())
            return true;
        return numberTokenFailed();
    }
    bool numberTokenFailed();
    // Only called by scanNumber(), into which it is inlined.
    [[gnu::always_inline]] inline bool convertNumber(size_t start, size_t end, const DecimalParts&);
    bool scanString();
    bool decodeString(const uint8_t* begin, const uint8_t* cursor);
    bool decodeUnicodeEscape(const uint8_t*& cursor);
    bool readHexQuad(const uint8_t*& cursor, uint32_t& unit);
    void appendCodePoint(char32_t);
    bool recordStringError(const uint8_t* at, std::string message);
    size_t newlineLengthAt(size_t index) const;
    void skipBlockComment();
    void skipLineComment();
    void singleByteToken(TokenType);

    JKParseOptionFlags m_options;
    const uint8_t* m_bytes { nullptr };
    size_t m_length { 0 };
    size_t m_index { 0 };
    size_t m_line { 1 };

    TokenType m_tokenType { TokenType::None };
    size_t m_tokenStart { 0 };
    size_t m_tokenEnd { 0 };
    JKTokenValue m_value;
    // Decoded text of strings with escapes or replaced sequences.
    std::string m_tokenBuffer;

    std::optional<Error> m_error;
};
