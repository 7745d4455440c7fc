// Drives the XML document model through random sequences of navigation, copying, moving and
// removal over a parsed document and a few free nodes. Wrappers outlive, share and lose their
// records in every order, so that any slip in who frees which record shows under AddressSanitizer.
//
// Input: one byte n, then 4n bytes of XML text, then operations of four bytes each: what to do, on
// which held node, with which other held node, and a number.

#include "platform/foundation/Assertion.h"
#include "xml/DDXMLAttributeNode.h"
#include "xml/DDXMLDocument.h"
#include "xml/DDXMLElement.h"
#include "xml/DDXMLNamespaceNode.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace {

enum class Operation : uint8_t {
    HoldChildren,
    Detach,
    HoldParent,
    HoldCopy,
    AddChild,
    RemoveChildAtIndex,
    SetStringValue,
    Serialize,
    Release,
    HoldRootDocument,
    KeepEveryOtherChild,
    AddAttribute,
    RemoveAttribute,
    HoldXPathResults,
    SetRootElement,
    HoldElementsByName,
    HoldNextOrPreviousNode,
    InsertChild,
    AddNamespace,
    RemoveAllNamespaces,
    HoldAttributesAndNamespaces,
    SetAttributes,
    Rename,
    ResolveAndRemoveChild,
    SetURI,
    RemoveAllAttributes,
    RemoveNamespaceForPrefix,
    SetNamespaces,
    SetXmlns,
    HoldParsedElement,
    HoldElementByName,
    SetChildrenToOther,
    Count,
};

constexpr size_t longestRun = 256;
constexpr size_t mostHeldNodes = 512;

class Run {
public:
    explicit Run(fnd::Ref<DDXMLDocument> document)
    {
        if (document) {
            auto root = document->rootElement();
            hold(std::move(document));
            hold(std::move(root));
        }
        hold(DDXMLNode::elementWithNameStringValue("e", "v"));
        hold(DDXMLNode::attributeWithNameStringValue("a", "1"));
        hold(DDXMLNode::namespaceWithNameStringValue("p", "urn:p"));
        hold(DDXMLNode::textWithStringValue("t"));
        hold(DDXMLNode::commentWithStringValue("c"));
    }

    void perform(Operation, size_t nodeChoice, size_t otherChoice, size_t number);

private:
    void hold(fnd::Ref<DDXMLNode> node)
    {
        if (node && m_held.size() < mostHeldNodes)
            m_held.push_back(std::move(node));
    }
    template<typename Nodes>
    void holdAll(const Nodes& nodes)
    {
        for (auto& node : nodes)
            hold(node);
    }

    std::vector<fnd::Ref<DDXMLNode>> m_held;
};

void Run::perform(Operation operation, size_t nodeChoice, size_t otherChoice, size_t number)
{
    if (m_held.empty())
        return;
    fnd::Ref<DDXMLNode> node = m_held[nodeChoice % m_held.size()];
    fnd::Ref<DDXMLNode> other = m_held[otherChoice % m_held.size()];
    auto element = std::dynamic_pointer_cast<DDXMLElement>(node);
    switch (operation) {
    case Operation::HoldChildren:
        if (auto children = node->children())
            holdAll(*children);
        break;
    case Operation::Detach:
        node->detach();
        break;
    case Operation::HoldParent:
        hold(node->parent());
        break;
    case Operation::HoldCopy:
        hold(node->copy());
        break;
    case Operation::AddChild:
        if (element)
            element->addChild(other);
        break;
    case Operation::RemoveChildAtIndex:
        if (element && number < element->childCount())
            element->removeChildAtIndex(number);
        break;
    case Operation::SetStringValue:
        node->setStringValue(number % 2 ? std::optional<std::string_view>("x&y<z") : std::nullopt);
        break;
    case Operation::Serialize:
        node->XMLString();
        node->XPath();
        node->description();
        break;
    case Operation::Release:
        m_held.erase(m_held.begin() + static_cast<std::ptrdiff_t>(number % m_held.size()));
        break;
    case Operation::HoldRootDocument:
        hold(node->rootDocument());
        break;
    case Operation::KeepEveryOtherChild:
        if (element) {
            DDXMLNode::Nodes kept;
            if (auto children = element->children()) {
                for (size_t index = 0; index < children->size(); index += 2)
                    kept.push_back((*children)[index]);
            }
            if (number % 3 == 0)
                kept.push_back(other);
            element->setChildren(kept);
        }
        break;
    case Operation::AddAttribute:
        if (element)
            element->addAttribute(other);
        break;
    case Operation::RemoveAttribute:
        if (element)
            element->removeAttributeForName("a");
        break;
    case Operation::HoldXPathResults:
        if (auto results = node->nodesForXPathError(number % 2 ? "//*" : "//@*", nullptr))
            holdAll(*results);
        break;
    case Operation::SetRootElement:
        if (auto document = std::dynamic_pointer_cast<DDXMLDocument>(node)) {
            if (auto root = std::dynamic_pointer_cast<DDXMLElement>(other))
                document->setRootElement(root);
        }
        break;
    case Operation::HoldElementsByName:
        if (element)
            holdAll(element->elementsForName("e"));
        break;
    case Operation::HoldNextOrPreviousNode:
        hold(number % 2 ? node->nextNode() : node->previousNode());
        break;
    case Operation::InsertChild:
        if (element)
            element->insertChildAtIndex(other, number % (element->childCount() + 1));
        break;
    case Operation::AddNamespace:
        if (element)
            element->addNamespace(other);
        break;
    case Operation::RemoveAllNamespaces:
        if (element)
            element->removeAllNamespaces();
        break;
    case Operation::HoldAttributesAndNamespaces:
        if (element) {
            holdAll(element->attributes());
            holdAll(element->namespaces());
        }
        break;
    case Operation::SetAttributes:
        if (element)
            element->setAttributes({ other });
        break;
    case Operation::Rename:
        node->setName(number % 2 ? "p:n" : "m");
        node->name();
        node->URI();
        node->localName();
        node->prefix();
        break;
    case Operation::ResolveAndRemoveChild:
        if (element) {
            element->resolveNamespaceForName("p:x");
            element->namespaceForPrefix("p");
            element->removeChild(other);
        }
        break;
    case Operation::SetURI:
        node->setURI(number % 2 ? std::optional<std::string_view>("urn:q") : std::nullopt);
        break;
    case Operation::RemoveAllAttributes:
        if (element)
            element->removeAllAttributes();
        break;
    case Operation::RemoveNamespaceForPrefix:
        if (element)
            element->removeNamespaceForPrefix(number % 2 ? "p" : "");
        break;
    case Operation::SetNamespaces:
        if (element)
            element->setNamespaces({ other });
        break;
    case Operation::SetXmlns:
        if (element)
            element->setXmlns(number % 2 ? std::optional<std::string_view>("urn:d") : std::nullopt);
        break;
    case Operation::HoldParsedElement:
        hold(DDXMLElement::createWithXMLStringError(number % 2 ? "<p:x xmlns:p='urn:p' p:a='1'><y/>t</p:x>" : "<x a='1'>t<!--c--></x>", nullptr));
        break;
    case Operation::HoldElementByName:
        if (element)
            hold(element->elementForName(number % 2 ? "p:e" : "e"));
        break;
    case Operation::SetChildrenToOther:
        if (element)
            element->setChildren({ other });
        break;
    case Operation::Count:
        break;
    }
}

}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Misuse of the model (adding a node that has a parent, say) is refused and the run goes on.
    static auto* refusalsAreQuiet = new fnd::ScopedAssertionHandler([](const fnd::AssertionInfo&) { });
    (void)refusalsAreQuiet;
    if (size < 1)
        return 0;
    size_t textLength = std::min<size_t>(size_t(data[0]) * 4, size - 1);
    std::string text(reinterpret_cast<const char*>(data + 1), textLength);
    Run run(DDXMLDocument::createWithXMLStringOptionsError(text, 0, nullptr));
    const uint8_t* operations = data + 1 + textLength;
    size_t operationCount = std::min((size - 1 - textLength) / 4, longestRun);
    for (size_t index = 0; index < operationCount; ++index) {
        const uint8_t* step = operations + index * 4;
        auto operation = static_cast<Operation>(step[0] % static_cast<uint8_t>(Operation::Count));
        run.perform(operation, step[1], step[2], step[3]);
    }
    return 0;
}
