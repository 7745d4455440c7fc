#include "xml/DDXMLRecordTree.h"

#include "xml/DDXMLPrivateNamespaces.h"

#include <libxml/valid.h>

#include <cstring>

xmlNodePtr DDXMLRecordTree::topOf(xmlNodePtr node)
{
    while (node && node->parent)
        node = node->parent;
    return node;
}

bool DDXMLRecordTree::isAncestorOrSelf(xmlNodePtr candidate, xmlNodePtr node)
{
    for (; node; node = node->parent) {
        if (node == candidate)
            return true;
    }
    return false;
}

void DDXMLRecordTree::unlinkChild(xmlNodePtr child, xmlNodePtr parent)
{
    if (!child->prev && !child->next) {
        parent->children = nullptr;
        parent->last = nullptr;
    } else if (!child->prev) {
        parent->children = child->next;
        child->next->prev = nullptr;
    } else if (!child->next) {
        parent->last = child->prev;
        child->prev->next = nullptr;
    } else {
        child->prev->next = child->next;
        child->next->prev = child->prev;
    }
}

void DDXMLRecordTree::unlinkAttribute(xmlAttrPtr attribute, xmlNodePtr element)
{
    if (!attribute->prev && !attribute->next) {
        element->properties = nullptr;
    } else if (!attribute->prev) {
        element->properties = attribute->next;
        attribute->next->prev = nullptr;
    } else if (!attribute->next) {
        attribute->prev->next = nullptr;
    } else {
        attribute->prev->next = attribute->next;
        attribute->next->prev = attribute->prev;
    }
}

bool DDXMLRecordTree::unlinkNamespace(xmlNsPtr ns, xmlNodePtr element)
{
    xmlNsPtr previous = nullptr;
    for (xmlNsPtr declaration = element->nsDef; declaration; declaration = declaration->next) {
        if (declaration == ns) {
            if (previous)
                previous->next = ns->next;
            else
                element->nsDef = ns->next;
            if (element->ns == ns)
                element->ns = nullptr;
            ns->next = nullptr;
            return true;
        }
        previous = declaration;
    }
    return false;
}

void DDXMLRecordTree::forgetNamespaceInSubtree(xmlNsPtr ns, xmlNodePtr element)
{
    forEachRecordInSubtree(asKind(element), [&](xmlKindPtr record) {
        if (record->type == XML_ELEMENT_NODE || record->type == XML_ATTRIBUTE_NODE) {
            auto node = reinterpret_cast<xmlNodePtr>(record);
            if (node->ns == ns)
                node->ns = nullptr;
        }
    });
}

void DDXMLRecordTree::stripDocumentLinks(xmlKindPtr top)
{
    forEachRecordInSubtree(top, [](xmlKindPtr record) {
        if (record->type == XML_NAMESPACE_DECL)
            return;
        if (record->type == XML_ATTRIBUTE_NODE) {
            auto attribute = reinterpret_cast<xmlAttrPtr>(record);
            // The document's ID table points at its ID attributes; one that leaves must leave the table.
            if (attribute->atype == XML_ATTRIBUTE_ID && attribute->doc)
                xmlRemoveID(attribute->doc, attribute);
            attribute->doc = nullptr;
            return;
        }
        auto node = reinterpret_cast<xmlNodePtr>(record);
        if (node->type == XML_ENTITY_REF_NODE) {
            // These point at the entity declared in the old document's DTD.
            node->children = nullptr;
            node->last = nullptr;
        }
        node->doc = nullptr;
    });
}

xmlNsPtr DDXMLRecordTree::newNamespaceRecord(const xmlChar* href, const xmlChar* prefix)
{
    auto ns = static_cast<xmlNsPtr>(xmlMalloc(sizeof(xmlNs)));
    if (!ns)
        return nullptr;
    std::memset(ns, 0, sizeof(xmlNs));
    ns->type = XML_LOCAL_NAMESPACE;
    ns->href = href ? xmlStrdup(href) : nullptr;
    ns->prefix = prefix ? xmlStrdup(prefix) : nullptr;
    return ns;
}

namespace {

void appendDeclaration(xmlNodePtr element, xmlNsPtr ns)
{
    if (!element->nsDef) {
        element->nsDef = ns;
        return;
    }
    xmlNsPtr last = element->nsDef;
    while (last->next)
        last = last->next;
    last->next = ns;
}

// A declaration equal to `outside` on `element`, or nothing when the element declares the prefix already.
xmlNsPtr declareCopy(xmlNodePtr element, xmlNsPtr outside)
{
    for (xmlNsPtr declaration = element->nsDef; declaration; declaration = declaration->next) {
        if (xmlStrEqual(declaration->prefix, outside->prefix))
            return nullptr;
    }
    xmlNsPtr copy = DDXMLRecordTree::newNamespaceRecord(outside->href, outside->prefix);
    if (copy)
        appendDeclaration(element, copy);
    return copy;
}

// What `user` (an element of the subtree under `top`) should refer to instead of `ns`.
xmlNsPtr equivalentInside(xmlNsPtr ns, xmlNodePtr user, xmlNodePtr top)
{
    for (xmlNodePtr element = user;; element = element->parent) {
        for (xmlNsPtr declaration = element->nsDef; declaration; declaration = declaration->next) {
            if (declaration == ns)
                return ns;
            if (xmlStrEqual(declaration->prefix, ns->prefix)) {
                if (xmlStrEqual(declaration->href, ns->href))
                    return declaration;
                // The prefix means something else here: only a declaration on the user itself keeps its meaning.
                return declareCopy(user, ns);
            }
        }
        if (element == top || !element->parent)
            break;
    }
    return declareCopy(top, ns);
}

}

void DDXMLRecordTree::makeNamespacesSelfContained(xmlKindPtr top)
{
    if (!top)
        return;
    if (top->type == XML_ATTRIBUTE_NODE) {
        auto attribute = reinterpret_cast<xmlAttrPtr>(top);
        if (attribute->ns && !DDXMLPrivateNamespaces::contains(attribute->ns))
            attribute->ns = DDXMLPrivateNamespaces::create(attribute->ns->href, attribute->ns->prefix);
        return;
    }
    if (top->type != XML_ELEMENT_NODE)
        return;
    auto root = reinterpret_cast<xmlNodePtr>(top);
    forEachRecordInSubtree(top, [&](xmlKindPtr record) {
        if (record->type == XML_ELEMENT_NODE) {
            auto element = reinterpret_cast<xmlNodePtr>(record);
            if (element->ns)
                element->ns = equivalentInside(element->ns, element, root);
        } else if (record->type == XML_ATTRIBUTE_NODE) {
            auto attribute = reinterpret_cast<xmlAttrPtr>(record);
            if (attribute->ns && !DDXMLPrivateNamespaces::contains(attribute->ns))
                attribute->ns = equivalentInside(attribute->ns, attribute->parent, root);
        }
    });
}

xmlNsPtr DDXMLRecordTree::declarationInScope(xmlNodePtr element, const xmlChar* prefix)
{
    for (; element && element->type == XML_ELEMENT_NODE; element = element->parent) {
        for (xmlNsPtr declaration = element->nsDef; declaration; declaration = declaration->next) {
            if (xmlStrEqual(declaration->prefix, prefix))
                return declaration;
        }
    }
    return nullptr;
}

bool DDXMLRecordTree::declaresNamespace(xmlNodePtr element, xmlNsPtr ns)
{
    if (!element || element->type != XML_ELEMENT_NODE)
        return false;
    for (xmlNsPtr declaration = element->nsDef; declaration; declaration = declaration->next) {
        if (declaration == ns)
            return true;
    }
    return false;
}

xmlNodePtr DDXMLRecordTree::declaringElement(xmlNsPtr ns, xmlNodePtr start)
{
    for (xmlNodePtr element = start; element && element->type == XML_ELEMENT_NODE; element = element->parent) {
        if (declaresNamespace(element, ns))
            return element;
    }
    return nullptr;
}

bool DDXMLRecordTree::freeByKind(xmlKindPtr record)
{
    switch (record->type) {
    case XML_ELEMENT_NODE:
    case XML_TEXT_NODE:
    case XML_CDATA_SECTION_NODE:
    case XML_PI_NODE:
    case XML_COMMENT_NODE:
        xmlFreeNode(reinterpret_cast<xmlNodePtr>(record));
        return true;
    case XML_ATTRIBUTE_NODE:
        xmlFreeProp(reinterpret_cast<xmlAttrPtr>(record));
        return true;
    case XML_DOCUMENT_NODE:
        xmlFreeDoc(reinterpret_cast<xmlDocPtr>(record));
        return true;
    case XML_DTD_NODE:
        xmlFreeDtd(reinterpret_cast<xmlDtdPtr>(record));
        return true;
    case XML_NAMESPACE_DECL:
        xmlFreeNs(reinterpret_cast<xmlNsPtr>(record));
        return true;
    default:
        return false;
    }
}
