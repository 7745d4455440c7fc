#pragma once

#include "xml/DDXMLNode.h"

// Evaluates an XPath expression with a node as the context node. A node in a tree without a
// document is searched through a temporary document made around the top of its tree, which is left
// as it was afterwards. Internal to the model.
class DDXMLXPathQuery {
public:
    static std::optional<DDXMLNode::Nodes> evaluate(const DDXMLNode& context, std::string_view expression, fnd::Ref<fnd::Error>* error);

private:
    static fnd::Ref<DDXMLNode> wrapResult(const DDXMLNode& context, xmlNodePtr item);
};
