#pragma once

#include "platform/foundation/Data.h"
#include "xml/DDXMLNode.h"

#include <libxml/xmlIO.h>

// A document: parsed from text (blank text between elements dropped) or built around a root
// element. The document wrapper made by a parse or a factory owns the whole tree.
class DDXMLDocument final : public DDXMLNode {
public:
    DDXMLDocument(ConstructionKey, xmlDocPtr, bool freeOnDealloc);

    static fnd::Ref<DDXMLDocument> createWithDocPrimitiveFreeOnDealloc(xmlDocPtr, bool freeOnDealloc);
    static fnd::Ref<DDXMLDocument> nodeWithDocPrimitiveFreeOnDealloc(xmlDocPtr, bool freeOnDealloc);
    // Refused: documents are wrapped with the document factories.
    static fnd::Ref<DDXMLNode> createWithPrimitiveFreeOnDealloc(xmlKindPtr, bool freeOnDealloc);
    static fnd::Ref<DDXMLNode> nodeWithPrimitiveFreeOnDealloc(xmlKindPtr, bool freeOnDealloc);

    // Nil for nil, empty or malformed text, with an error in "DDXMLErrorDomain" through `error`:
    // code 0 for nil or empty input, 1 when it cannot be parsed. The options are ignored.
    static fnd::Ref<DDXMLDocument> createWithXMLStringOptionsError(std::optional<std::string_view> xml, unsigned options, fnd::Ref<fnd::Error>* error);
    static fnd::Ref<DDXMLDocument> createWithDataOptionsError(const fnd::Ref<fnd::Data>& data, unsigned options, fnd::Ref<fnd::Error>* error);
    // Parses what the callbacks read. The options go to libxml2, except that blank text is always
    // dropped and neither the network nor external entities and DTDs are ever loaded.
    static fnd::Ref<DDXMLDocument> createWithReadIOCloseIOContextOptionsError(xmlInputReadCallback, xmlInputCloseCallback, void* context, int options, fnd::Ref<fnd::Error>* error);
    // A new version "1.0" document; the element, when given, becomes its root element.
    static fnd::Ref<DDXMLDocument> createWithRootElement(const fnd::Ref<DDXMLElement>&);

    fnd::Ref<DDXMLElement> rootElement() const;
    // The element must have no parent. A root element it replaces leaves the document and lives on
    // while wrappers reach it.
    void setRootElement(const fnd::Ref<DDXMLElement>&);

    std::optional<std::string> version() const;
    void setVersion(std::optional<std::string_view>);
    // True only for a document declared standalone="yes".
    bool isStandalone() const;
    void setStandalone(bool);

    fnd::Ref<fnd::Data> XMLData() const;
    fnd::Ref<fnd::Data> XMLDataWithOptions(unsigned options) const;

    std::string_view className() const override { return "DDXMLDocument"; }

private:
    static fnd::Ref<DDXMLDocument> parse(std::string_view bytes, fnd::Ref<fnd::Error>* error);
    xmlDocPtr documentRecord() const;
};
