#include "xml/DDXMLXPathQuery.h"

#include "xml/DDXMLNamespaceNode.h"
#include "xml/DDXMLRecordTree.h"

#include <libxml/xpath.h>
#include <libxml/xpathInternals.h>

namespace {

// Records with their own search document, or a temporary one made for the query.
class SearchDocument {
public:
    explicit SearchDocument(xmlNodePtr context)
    {
        if (context->type == XML_DOCUMENT_NODE) {
            m_document = reinterpret_cast<xmlDocPtr>(context);
        } else if (context->doc) {
            m_document = context->doc;
        } else {
            // The whole tree goes in, so the node keeps its place in it.
            xmlNodePtr top = DDXMLRecordTree::topOf(context);
            if (!DDXMLRecordTree::isContentKind(top->type))
                return;
            m_document = xmlNewDoc(nullptr);
            if (!m_document)
                return;
            m_temporaryRoot = top;
            xmlDocSetRootElement(m_document, top);
        }
    }

    ~SearchDocument()
    {
        if (!m_temporaryRoot)
            return;
        xmlUnlinkNode(m_temporaryRoot);
        DDXMLRecordTree::stripDocumentLinks(DDXMLRecordTree::asKind(m_temporaryRoot));
        xmlFreeDoc(m_document);
    }

    SearchDocument(const SearchDocument&) = delete;
    SearchDocument& operator=(const SearchDocument&) = delete;

    xmlDocPtr document() const { return m_document; }
    bool isTemporary() const { return m_temporaryRoot; }

private:
    xmlDocPtr m_document { nullptr };
    xmlNodePtr m_temporaryRoot { nullptr };
};

}

std::optional<DDXMLNode::Nodes> DDXMLXPathQuery::evaluate(const DDXMLNode& context, std::string_view expression, fnd::Ref<fnd::Error>* error)
{
    int kind = context.kind();
    if (kind != XML_DOCUMENT_NODE && !DDXMLRecordTree::isContentKind(kind))
        return std::nullopt;
    DDXMLNode::initialize();
    auto contextRecord = reinterpret_cast<xmlNodePtr>(context.genericPtr());
    SearchDocument search(contextRecord);
    if (!search.document())
        return std::nullopt;

    xmlXPathContextPtr xpath = xmlXPathNewContext(search.document());
    if (!xpath)
        return std::nullopt;
    xpath->node = contextRecord;
    if (xmlNodePtr root = xmlDocGetRootElement(search.document())) {
        for (xmlNsPtr ns = root->nsDef; ns; ns = ns->next) {
            if (ns->prefix)
                xmlXPathRegisterNs(xpath, ns->prefix, ns->href);
        }
    }

    std::string text(expression);
    xmlXPathObjectPtr result = xmlXPathEvalExpression(reinterpret_cast<const xmlChar*>(text.c_str()), xpath);
    std::optional<DDXMLNode::Nodes> nodes;
    if (!result) {
        if (error)
            *error = DDXMLNode::lastError();
    } else {
        if (error)
            *error = nullptr;
        nodes.emplace();
        if (result->type == XPATH_NODESET && result->nodesetval) {
            for (int index = 0; index < result->nodesetval->nodeNr; ++index) {
                xmlNodePtr item = result->nodesetval->nodeTab[index];
                // The temporary document itself is gone once the query is over.
                if (search.isTemporary() && item == reinterpret_cast<xmlNodePtr>(search.document()))
                    continue;
                if (auto wrapper = wrapResult(context, item))
                    nodes->push_back(std::move(wrapper));
            }
        }
        xmlXPathFreeObject(result);
    }
    xmlXPathFreeContext(xpath);
    return nodes;
}

fnd::Ref<DDXMLNode> DDXMLXPathQuery::wrapResult(const DDXMLNode& context, xmlNodePtr item)
{
    if (item->type != XML_NAMESPACE_DECL)
        return context.wrapInTree(DDXMLRecordTree::asKind(item));

    // Namespace nodes in a result are copies freed with it; their next field is the element they were
    // found on. The wrapper gets the declaration in the tree instead.
    auto copy = reinterpret_cast<xmlNsPtr>(item);
    auto element = reinterpret_cast<xmlNodePtr>(copy->next);
    if (!element || element->type != XML_ELEMENT_NODE)
        return context.wrapNamespaceInTree(copy, nullptr);
    for (xmlNodePtr scope = element; scope && scope->type == XML_ELEMENT_NODE; scope = scope->parent) {
        for (xmlNsPtr declaration = scope->nsDef; declaration; declaration = declaration->next) {
            if (xmlStrEqual(declaration->prefix, copy->prefix) && xmlStrEqual(declaration->href, copy->href))
                return context.wrapNamespaceInTree(declaration, scope);
        }
    }
    // The implicit xml namespace is declared nowhere in the tree: the caller gets a copy of its own.
    xmlNsPtr own = DDXMLRecordTree::newNamespaceRecord(copy->href, copy->prefix);
    if (!own)
        return nullptr;
    return DDXMLNode::nodeWithUnknownPrimitiveFreeOnDealloc(DDXMLRecordTree::asKind(own), true);
}
