#pragma once

#include "xml/DDXMLNode.h"

// An attribute. Its value is held by the record's children (a text record); a URI given to a
// free attribute lives in a namespace record of its own that goes with the attribute.
class DDXMLAttributeNode final : public DDXMLNode {
public:
    DDXMLAttributeNode(ConstructionKey, xmlAttrPtr, bool freeOnDealloc);

    static fnd::Ref<DDXMLAttributeNode> createWithAttrPrimitiveFreeOnDealloc(xmlAttrPtr, bool freeOnDealloc);
    static fnd::Ref<DDXMLAttributeNode> nodeWithAttrPrimitiveFreeOnDealloc(xmlAttrPtr, bool freeOnDealloc);
    // Refused: attributes are wrapped with the attribute factories.
    static fnd::Ref<DDXMLNode> createWithPrimitiveFreeOnDealloc(xmlKindPtr, bool freeOnDealloc);
    static fnd::Ref<DDXMLNode> nodeWithPrimitiveFreeOnDealloc(xmlKindPtr, bool freeOnDealloc);

    // The value, nil when the attribute holds none.
    std::optional<std::string> stringValue() const override;
    // Stores the value exactly as given.
    void setStringValue(std::optional<std::string_view>) override;
    fnd::Ref<DDXMLNode> previousNode() const override;
    fnd::Ref<DDXMLNode> nextNode() const override;
    void detach() override;
    std::optional<std::string> URI() const override;
    void setURI(std::optional<std::string_view>) override;
    xmlKindPtr XPathPreProcess(std::string& path) const override;

    std::string_view className() const override { return "DDXMLAttributeNode"; }

private:
    xmlAttrPtr attributeRecord() const;
};
