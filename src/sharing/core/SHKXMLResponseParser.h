#pragma once

#include "platform/foundation/Data.h"
#include "platform/foundation/Dictionary.h"
#include "platform/foundation/MutableString.h"

#include <memory>
#include <string_view>

// Reads a service's XML reply into a flat dictionary: element name (prefix included) -> the text
// the element held, or its attribute dictionary when it held no text. A later element with the same
// name replaces the earlier entry. The text collected is not cleared when an element ends, so a
// parent receives its last child's text followed by what stood between that child and its own end;
// blanks (the space character only) are trimmed from both ends. "error" and "errors" keep their
// attribute dictionaries. CDATA sections count as text.
//
// Replies are untrusted: external entities and DTDs are never loaded, the network is never used,
// and libxml2's limits on entity expansion stay in force.
class SHKXMLResponseParser {
public:
    // The element's value in the reply (a String, or a Dictionary of attributes), or nil when the
    // element is missing or the reply is not well-formed XML.
    static fnd::Id getValueForElementFromResponse(std::string_view elementName, const fnd::Ref<fnd::Data>& response);

    static std::shared_ptr<SHKXMLResponseParser> createWithData(fnd::Ref<fnd::Data>);
    explicit SHKXMLResponseParser(fnd::Ref<fnd::Data>);

    // Answers whether the reply was well-formed.
    bool parse();

    // The entry named so at the top, at once; else the last value found inside an attribute
    // dictionary; nil when there is none.
    static fnd::Id findRecursivelyValueForKeyInDict(std::string_view key, const fnd::Dictionary&);

    // Nil until an element was seen.
    const fnd::Ref<fnd::MutableDictionary>& parsedResponse() const { return m_parsedResponse; }
    const fnd::Ref<fnd::MutableString>& currentElementValue() const { return m_currentElementValue; }
    const fnd::Ref<fnd::Data>& data() const { return m_data; }
    bool xmlParsedSuccessfully() const { return m_xmlParsedSuccessfully; }

    // The parser's events.
    void didStartElement(std::string_view name, fnd::Ref<fnd::Dictionary> attributes);
    void foundCharacters(std::string_view);
    void didEndElement(std::string_view name);

private:
    fnd::Ref<fnd::MutableDictionary> m_parsedResponse;
    fnd::Ref<fnd::MutableString> m_currentElementValue;
    fnd::Ref<fnd::Data> m_data;
    bool m_xmlParsedSuccessfully = false;
};
