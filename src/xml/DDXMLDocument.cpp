#include "xml/DDXMLDocument.h"

#include "platform/foundation/Assertion.h"
#include "xml/DDXMLElement.h"
#include "xml/DDXMLOwnership.h"
#include "xml/DDXMLRecordTree.h"
#include "xml/DDXMLText.h"

#include <libxml/parser.h>

#include <climits>

namespace {

constexpr const char* sourceFile = "Classes/DDXML/DDXMLDocument";

// No dictionary: names interned in a document's dictionary would dangle in records detached from it.
constexpr int alwaysOn = XML_PARSE_NOBLANKS | XML_PARSE_NODICT | XML_PARSE_NONET;
constexpr int neverOn = XML_PARSE_NOENT | XML_PARSE_DTDLOAD | XML_PARSE_DTDATTR | XML_PARSE_DTDVALID | XML_PARSE_XINCLUDE;

void setError(fnd::Ref<fnd::Error>* error, int64_t code)
{
    if (error)
        *error = fnd::Error::create("DDXMLErrorDomain", code);
}

}

DDXMLDocument::DDXMLDocument(ConstructionKey key, xmlDocPtr document, bool freeOnDealloc)
    : DDXMLNode(key, DDXMLRecordTree::asKind(document), freeOnDealloc)
{
}

fnd::Ref<DDXMLDocument> DDXMLDocument::createWithDocPrimitiveFreeOnDealloc(xmlDocPtr document, bool freeOnDealloc)
{
    if (!document)
        return nullptr;
    auto node = std::make_shared<DDXMLDocument>(ConstructionKey(), document, freeOnDealloc);
    if (!freeOnDealloc)
        DDXMLOwnership::anchorNew(*node, DDXMLOwnership::ownerOfTreeHolding(DDXMLRecordTree::asKind(document)));
    return node;
}

fnd::Ref<DDXMLDocument> DDXMLDocument::nodeWithDocPrimitiveFreeOnDealloc(xmlDocPtr document, bool freeOnDealloc)
{
    return createWithDocPrimitiveFreeOnDealloc(document, freeOnDealloc);
}

fnd::Ref<DDXMLNode> DDXMLDocument::createWithPrimitiveFreeOnDealloc(xmlKindPtr, bool)
{
    FND_ASSERT(false, sourceFile, "Use initWithDocPrimitive:freeOnDealloc:");
    return nullptr;
}

fnd::Ref<DDXMLNode> DDXMLDocument::nodeWithPrimitiveFreeOnDealloc(xmlKindPtr, bool)
{
    FND_ASSERT(false, sourceFile, "Use nodeWithDocPrimitive:freeOnDealloc:");
    return nullptr;
}

fnd::Ref<DDXMLDocument> DDXMLDocument::createWithXMLStringOptionsError(std::optional<std::string_view> xml, unsigned, fnd::Ref<fnd::Error>* error)
{
    if (!xml || xml->empty()) {
        setError(error, 0);
        return nullptr;
    }
    return parse(*xml, error);
}

fnd::Ref<DDXMLDocument> DDXMLDocument::createWithDataOptionsError(const fnd::Ref<fnd::Data>& data, unsigned, fnd::Ref<fnd::Error>* error)
{
    if (!data || !data->length()) {
        setError(error, 0);
        return nullptr;
    }
    return parse(data->asStringView(), error);
}

fnd::Ref<DDXMLDocument> DDXMLDocument::parse(std::string_view bytes, fnd::Ref<fnd::Error>* error)
{
    initialize();
    xmlDocPtr document = nullptr;
    if (bytes.size() <= size_t(INT_MAX))
        document = xmlReadMemory(bytes.data(), int(bytes.size()), nullptr, nullptr, alwaysOn);
    if (!document) {
        setError(error, 1);
        return nullptr;
    }
    return std::make_shared<DDXMLDocument>(ConstructionKey(), document, true);
}

fnd::Ref<DDXMLDocument> DDXMLDocument::createWithReadIOCloseIOContextOptionsError(xmlInputReadCallback read, xmlInputCloseCallback close, void* context, int options, fnd::Ref<fnd::Error>* error)
{
    initialize();
    xmlDocPtr document = xmlReadIO(read, close, context, nullptr, nullptr, (options | alwaysOn) & ~neverOn);
    if (!document) {
        setError(error, 1);
        return nullptr;
    }
    return std::make_shared<DDXMLDocument>(ConstructionKey(), document, true);
}

fnd::Ref<DDXMLDocument> DDXMLDocument::createWithRootElement(const fnd::Ref<DDXMLElement>& element)
{
    initialize();
    xmlDocPtr record = xmlNewDoc(reinterpret_cast<const xmlChar*>("1.0"));
    if (!record)
        return nullptr;
    auto document = std::make_shared<DDXMLDocument>(ConstructionKey(), record, true);
    if (element)
        document->setRootElement(element);
    return document;
}

xmlDocPtr DDXMLDocument::documentRecord() const
{
    return kind() == XML_DOCUMENT_NODE ? reinterpret_cast<xmlDocPtr>(genericPtr()) : nullptr;
}

fnd::Ref<DDXMLElement> DDXMLDocument::rootElement() const
{
    xmlDocPtr document = documentRecord();
    if (!document)
        return nullptr;
    return std::dynamic_pointer_cast<DDXMLElement>(wrapInTree(DDXMLRecordTree::asKind(xmlDocGetRootElement(document))));
}

void DDXMLDocument::setRootElement(const fnd::Ref<DDXMLElement>& element)
{
    xmlDocPtr document = documentRecord();
    if (!document || !element || element->kind() != XML_ELEMENT_NODE)
        return;
    auto root = reinterpret_cast<xmlNodePtr>(element->genericPtr());
    if (root == xmlDocGetRootElement(document))
        return;
    if (!FND_ASSERT(!root->parent, sourceFile, "Cannot set a root element that has a parent; detach or copy first"))
        return;

    xmlNodePtr replaced = xmlDocSetRootElement(document, root);
    DDXMLOwnership::adoptSubtree(DDXMLRecordTree::asKind(root), treeOwner());
    if (replaced) {
        DDXMLRecordTree::makeNamespacesSelfContained(DDXMLRecordTree::asKind(replaced));
        DDXMLRecordTree::stripDocumentLinks(DDXMLRecordTree::asKind(replaced));
        DDXMLOwnership::takeOverCutSubtree(DDXMLRecordTree::asKind(replaced), nullptr);
    }
}

std::optional<std::string> DDXMLDocument::version() const
{
    xmlDocPtr document = documentRecord();
    if (!document || !document->version)
        return std::nullopt;
    return std::string(reinterpret_cast<const char*>(document->version));
}

void DDXMLDocument::setVersion(std::optional<std::string_view> version)
{
    xmlDocPtr document = documentRecord();
    if (!document)
        return;
    xmlFree(const_cast<xmlChar*>(document->version));
    DDXMLText text(version);
    document->version = text.isNil() ? nullptr : xmlStrdup(text.get());
}

bool DDXMLDocument::isStandalone() const
{
    xmlDocPtr document = documentRecord();
    return document && document->standalone == 1;
}

void DDXMLDocument::setStandalone(bool standalone)
{
    if (xmlDocPtr document = documentRecord())
        document->standalone = standalone ? 1 : 0;
}

fnd::Ref<fnd::Data> DDXMLDocument::XMLData() const
{
    return fnd::Data::create(XMLString());
}

fnd::Ref<fnd::Data> DDXMLDocument::XMLDataWithOptions(unsigned options) const
{
    return fnd::Data::create(XMLStringWithOptions(options));
}
