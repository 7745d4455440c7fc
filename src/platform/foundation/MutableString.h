#pragma once

#include "platform/foundation/String.h"

namespace fnd {

class MutableString final : public String {
public:
    static Ref<MutableString> create(std::string_view utf8 = {});

    explicit MutableString(std::string utf8 = {});

    void setString(std::string_view);
    void append(std::string_view);
    void append(char);
    void appendCodePoint(char32_t);
    void reserve(size_t bytes) { m_utf8.reserve(bytes); }
    // Indices and lengths in UTF-16 units, clamped to the text.
    void insertAt(std::string_view, size_t utf16Index);
    void deleteCharacters(size_t utf16Location, size_t utf16Length);

    std::string_view className() const override { return "MutableString"; }
    bool isMutable() const override { return true; }
};

}
