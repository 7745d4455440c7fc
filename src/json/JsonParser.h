#pragma once

#include "json/JsonCodecBase.h"

#include "platform/foundation/MutableString.h"
#include "platform/foundation/String.h"

// A recursive-descent JSON parser. Objects become mutable dictionaries, arrays mutable arrays,
// strings mutable strings, numbers decimal numbers kept exactly as written, true and false the
// boolean numbers and null the null object.
//
// It is deliberately lenient where callers have always relied on it: values that follow each
// other without a comma are accepted, and the last of two equal keys wins.
class JsonParser : public JsonCodecBase {
public:
    JsonParser();

    // The top level must be an object or an array; a lone scalar is refused with
    // "Valid fragment, but not JSON".
    fnd::Id objectWithString(const fnd::Ref<fnd::String>&);
    // Any value, scalars included.
    fnd::Id fragmentWithString(const fnd::Ref<fnd::String>&);

    std::string_view className() const override { return "JsonParser"; }

private:
    bool scanValue(fnd::Id&);
    bool scanRestOfTrue(fnd::Id&);
    bool scanRestOfFalse(fnd::Id&);
    bool scanRestOfNull(fnd::Id&);
    bool scanRestOfArray(fnd::Id&);
    bool scanRestOfDictionary(fnd::Id&);
    bool scanRestOfString(fnd::Ref<fnd::MutableString>&);
    bool scanEscape(fnd::MutableString&);
    bool scanUnicodeChar(char32_t&);
    bool scanHexQuad(char16_t&);
    bool scanNumber(fnd::Id&);
    bool scanIsAtEnd();

    bool scanRestOfLiteral(std::string_view rest, fnd::Id value, fnd::Id& result, const char* failure);
    void skipWhitespace();
    bool atEnd() const { return m_position == m_end; }
    // The byte `offset` ahead, or nothing past the end of the input.
    int peek(size_t offset = 0) const;
    bool skipByte(char);
    void fail(JsonErrorCode, std::string description);

    // The input is scanned with its explicit length: a NUL byte is data, never the end.
    const char* m_position { nullptr };
    const char* m_end { nullptr };
};
