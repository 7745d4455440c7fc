#pragma once

#include "xml/DDXMLNode.h"

// A namespace declaration. libxml2's record has no parent link, so the wrapper remembers the
// element whose declaration list holds it (nsParentPtr). Its name is the prefix ("" for a default
// namespace) and its string value the URI.
class DDXMLNamespaceNode final : public DDXMLNode {
public:
    DDXMLNamespaceNode(ConstructionKey, xmlNsPtr, xmlNodePtr nsParent, bool freeOnDealloc);

    static fnd::Ref<DDXMLNamespaceNode> createWithNsPrimitiveNsParentFreeOnDealloc(xmlNsPtr, xmlNodePtr nsParent, bool freeOnDealloc);
    static fnd::Ref<DDXMLNamespaceNode> nodeWithNsPrimitiveNsParentFreeOnDealloc(xmlNsPtr, xmlNodePtr nsParent, bool freeOnDealloc);
    // Refused: a namespace wrapper needs its declaring element.
    static fnd::Ref<DDXMLNode> createWithPrimitiveFreeOnDealloc(xmlKindPtr, bool freeOnDealloc);
    static fnd::Ref<DDXMLNode> nodeWithPrimitiveFreeOnDealloc(xmlKindPtr, bool freeOnDealloc);

    xmlNodePtr nsParentPtr() const { return m_nsParentPtr; }
    void setNsParentPtr(xmlNodePtr);
    // Every wrapper of the declaration learns where it is declared now.
    static void setParentOfWrappers(xmlNsPtr, xmlNodePtr nsParent);

    std::optional<std::string> name() const override;
    void setName(std::string_view) override;
    std::optional<std::string> localName() const override;
    std::string prefix() const override;
    std::optional<std::string> stringValue() const override;
    // Stores the URI as given.
    void setStringValue(std::optional<std::string_view>) override;

    size_t index() const override;
    size_t level() const override;
    fnd::Ref<DDXMLDocument> rootDocument() const override;
    fnd::Ref<DDXMLNode> parent() const override;
    bool hasParent() const override;
    size_t childCount() const override;
    std::optional<Nodes> children() const override;
    fnd::Ref<DDXMLNode> childAtIndex(size_t) const override;
    fnd::Ref<DDXMLNode> previousSibling() const override;
    fnd::Ref<DDXMLNode> nextSibling() const override;
    fnd::Ref<DDXMLNode> previousNode() const override;
    fnd::Ref<DDXMLNode> nextNode() const override;
    std::optional<std::string> URI() const override;
    void setURI(std::optional<std::string_view>) override;
    void detach() override;
    xmlKindPtr XPathPreProcess(std::string& path) const override;

    std::string_view className() const override { return "DDXMLNamespaceNode"; }

private:
    xmlNsPtr nsRecord() const;

    xmlNodePtr m_nsParentPtr;
};
