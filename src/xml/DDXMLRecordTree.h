#pragma once

#include "xml/DDXMLNode.h"

// Algorithms on raw libxml2 records that know nothing of wrappers. Internal to the model.
class DDXMLRecordTree {
public:
    // Kinds that may be an element's child and whose string value is their content: 1, 3, 4, 7, 8.
    static bool isContentKind(int kind) { return kind >= 0 && kind < 32 && ((0x19au >> kind) & 1); }
    // Kinds whose child list navigation reads: the content kinds, documents and DTDs.
    static bool isChildBearingKind(int kind) { return kind >= 0 && kind < 32 && ((0x439au >> kind) & 1); }

    static int kindOf(const _xmlKind* record) { return record ? int(record->type) : 0; }
    // Records laid out as nodes (every kind but namespace declarations), else nullptr.
    static xmlNodePtr asNode(xmlKindPtr record)
    {
        return record && record->type != XML_NAMESPACE_DECL ? reinterpret_cast<xmlNodePtr>(record) : nullptr;
    }
    static xmlKindPtr asKind(void* record) { return static_cast<xmlKindPtr>(record); }

    // The application field of any record. Nodes, attributes, documents, DTDs and declarations
    // all start with it; namespace declarations keep it further in.
    static void*& privateField(xmlKindPtr record)
    {
        if (record->type == XML_NAMESPACE_DECL)
            return reinterpret_cast<xmlNsPtr>(record)->_private;
        return reinterpret_cast<xmlNodePtr>(record)->_private;
    }

    // Visits `top` and everything it holds: for elements their attributes (with the attribute's value
    // records) and namespace declarations, then their children, in document order. Entity
    // references' children belong to the DTD and DTDs' declarations are not entered.
    template<typename Visitor>
    static void forEachRecordInSubtree(xmlKindPtr top, Visitor&& visit);

    // The record at the top of the node's parent chain (a document, or a free-standing record).
    static xmlNodePtr topOf(xmlNodePtr);
    static bool isAncestorOrSelf(xmlNodePtr candidate, xmlNodePtr node);

    static void unlinkChild(xmlNodePtr child, xmlNodePtr parent);
    static void unlinkAttribute(xmlAttrPtr, xmlNodePtr element);
    // Answers whether the declaration was in the element's list.
    static bool unlinkNamespace(xmlNsPtr, xmlNodePtr element);
    // Nodes and attributes below `element` (itself included) that are in `ns` lose their namespace.
    static void forgetNamespaceInSubtree(xmlNsPtr ns, xmlNodePtr element);

    // Clears every document link below `top`; entity references lose their link into the DTD and ID
    // attributes leave the document's ID table.
    static void stripDocumentLinks(xmlKindPtr top);
    // Replaces references to namespace declarations outside the subtree by equivalent declarations
    // inside it; an attribute taken out alone gets a private namespace record.
    static void makeNamespacesSelfContained(xmlKindPtr top);

    // The nearest declaration of the prefix (nullptr: the default namespace) on the element or its
    // ancestor elements. Never creates declarations.
    static xmlNsPtr declarationInScope(xmlNodePtr element, const xmlChar* prefix);
    // The element (the start or an ancestor) whose declaration list holds `ns`.
    static xmlNodePtr declaringElement(xmlNsPtr ns, xmlNodePtr start);
    static bool declaresNamespace(xmlNodePtr element, xmlNsPtr ns);

    // Frees a record with everything below it by its kind; false for kinds without a rule.
    static bool freeByKind(xmlKindPtr);
    // A declaration record for the xml prefix, which xmlNewNs refuses to make.
    static xmlNsPtr newNamespaceRecord(const xmlChar* href, const xmlChar* prefix);
};

template<typename Visitor>
void DDXMLRecordTree::forEachRecordInSubtree(xmlKindPtr top, Visitor&& visit)
{
    if (!top)
        return;
    if (top->type == XML_NAMESPACE_DECL) {
        visit(top);
        return;
    }
    auto visitNodeList = [&](xmlNodePtr list) {
        for (xmlNodePtr value = list; value; value = value->next)
            visit(asKind(value));
    };
    if (top->type == XML_ATTRIBUTE_NODE) {
        visit(top);
        visitNodeList(reinterpret_cast<xmlAttrPtr>(top)->children);
        return;
    }

    auto root = reinterpret_cast<xmlNodePtr>(top);
    xmlNodePtr node = root;
    while (node) {
        visit(asKind(node));
        if (node->type == XML_ELEMENT_NODE) {
            for (xmlAttrPtr attribute = node->properties; attribute; attribute = attribute->next) {
                visit(asKind(attribute));
                visitNodeList(attribute->children);
            }
            for (xmlNsPtr declaration = node->nsDef; declaration; declaration = declaration->next)
                visit(asKind(declaration));
        }
        bool descends = node->children && node->type != XML_ENTITY_REF_NODE && node->type != XML_DTD_NODE
            && node->type != XML_ATTRIBUTE_NODE;
        if (descends) {
            node = node->children;
            continue;
        }
        while (node != root && !node->next)
            node = node->parent;
        if (node == root)
            break;
        node = node->next;
    }
}
