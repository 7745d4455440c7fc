#pragma once

#include "xml/DDXMLNode.h"

#include <vector>

// Namespace records that belong to one attribute alone (an attribute given a URI, or taken out of
// its element) rather than to an element's declaration list. libxml2 never frees them, so the
// model does when their attribute goes. Internal to the model; safe to use from any thread.
class DDXMLPrivateNamespaces {
public:
    static xmlNsPtr create(const xmlChar* href, const xmlChar* prefix);
    static bool contains(xmlNsPtr);
    static void free(xmlNsPtr);
    // Cheap check that lets the common case skip every search.
    static bool anyExist();

    // The private namespace records of the attributes held by a record about to be freed.
    static std::vector<xmlNsPtr> collectBelow(xmlKindPtr top);
    static void freeAll(const std::vector<xmlNsPtr>&);
};
