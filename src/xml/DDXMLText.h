#pragma once

#include <libxml/xmlstring.h>

#include <optional>
#include <string>
#include <string_view>

// A text, or nil, handed to libxml2 as a NUL-terminated UTF-8 string for the length of a call.
class DDXMLText {
public:
    DDXMLText(std::optional<std::string_view> text)
        : m_present(text.has_value())
        , m_storage(text ? std::string(*text) : std::string())
    {
    }

    const xmlChar* get() const { return m_present ? reinterpret_cast<const xmlChar*>(m_storage.c_str()) : nullptr; }
    bool isNil() const { return !m_present; }
    bool isEmpty() const { return !m_present || m_storage.empty(); }

private:
    bool m_present;
    std::string m_storage;
};
