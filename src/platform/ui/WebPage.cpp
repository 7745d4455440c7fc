#include "platform/ui/WebPage.h"

#include <libxml/HTMLparser.h>
#include <libxml/HTMLtree.h>
#include <libxml/tree.h>

#include <functional>
#include <regex>

namespace ui {

namespace {

std::string collapsedText(xmlNode* node)
{
    std::string text;
    xmlChar* content = xmlNodeGetContent(node);
    if (!content)
        return text;
    bool blank = true;
    for (const xmlChar* character = content; *character; ++character) {
        bool space = *character == ' ' || *character == '\n' || *character == '\t' || *character == '\r';
        if (space) {
            blank = true;
            continue;
        }
        if (blank && !text.empty())
            text += ' ';
        blank = false;
        text += static_cast<char>(*character);
    }
    xmlFree(content);
    return text;
}

bool isNamed(xmlNode* node, const char* name)
{
    return node->type == XML_ELEMENT_NODE && node->name && xmlStrcasecmp(node->name, reinterpret_cast<const xmlChar*>(name)) == 0;
}

xmlNode* findElement(xmlNode* node, const std::function<bool(xmlNode*)>& matches)
{
    for (; node; node = node->next) {
        if (node->type == XML_ELEMENT_NODE && matches(node))
            return node;
        if (auto* found = findElement(node->children, matches))
            return found;
    }
    return nullptr;
}

void forEachElement(xmlNode* node, const std::function<void(xmlNode*)>& visit)
{
    for (; node; node = node->next) {
        if (node->type == XML_ELEMENT_NODE)
            visit(node);
        forEachElement(node->children, visit);
    }
}

std::string attribute(xmlNode* node, const char* name)
{
    xmlChar* value = xmlGetProp(node, reinterpret_cast<const xmlChar*>(name));
    if (!value)
        return {};
    std::string text(reinterpret_cast<const char*>(value));
    xmlFree(value);
    return text;
}

bool isBlock(xmlNode* node)
{
    for (auto* name : { "p", "div", "br", "h1", "h2", "h3", "li", "tr", "form", "table", "ul", "ol" }) {
        if (isNamed(node, name))
            return true;
    }
    return false;
}

void appendText(xmlNode* node, std::string& text)
{
    for (; node; node = node->next) {
        if (isNamed(node, "script") || isNamed(node, "style") || isNamed(node, "head"))
            continue;
        if (node->type == XML_TEXT_NODE) {
            text += collapsedText(node);
            text += ' ';
        }
        if (isBlock(node) && !text.empty() && text.back() != '\n')
            text += '\n';
        appendText(node->children, text);
    }
}

}

struct WebPage::Document {
    htmlDocPtr document = nullptr;
    ~Document()
    {
        if (document)
            xmlFreeDoc(document);
    }
};

WebPage::WebPage(std::string_view html, fnd::Ref<fnd::URL> url, std::string_view encoding)
    : m_document(std::make_unique<Document>())
    , m_url(std::move(url))
{
    std::string encodingName(encoding);
    std::string address = m_url ? m_url->absoluteString() : std::string();
    if (!html.empty()) {
        m_document->document = htmlReadMemory(html.data(), static_cast<int>(html.size()), address.empty() ? nullptr : address.c_str(),
            encodingName.empty() ? nullptr : encodingName.c_str(), HTML_PARSE_NONET | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING | HTML_PARSE_RECOVER);
    }
    collectLinks();
}

WebPage::~WebPage() = default;

std::string WebPage::title() const
{
    if (!m_document->document)
        return {};
    auto* title = findElement(xmlDocGetRootElement(m_document->document), [](xmlNode* node) { return isNamed(node, "title"); });
    return title ? collapsedText(title) : std::string();
}

std::string WebPage::innerHTMLOfElementWithID(std::string_view id) const
{
    if (!m_document->document || id.empty())
        return {};
    auto* element = findElement(xmlDocGetRootElement(m_document->document), [&](xmlNode* node) { return attribute(node, "id") == id; });
    if (!element)
        return {};
    std::string html;
    xmlBufferPtr buffer = xmlBufferCreate();
    for (auto* child = element->children; child; child = child->next) {
        xmlBufferEmpty(buffer);
        htmlNodeDump(buffer, m_document->document, child);
        html.append(reinterpret_cast<const char*>(xmlBufferContent(buffer)), xmlBufferLength(buffer));
    }
    xmlBufferFree(buffer);
    return html;
}

std::string WebPage::text() const
{
    std::string text;
    if (!m_document->document)
        return text;
    auto* root = xmlDocGetRootElement(m_document->document);
    auto* body = findElement(root, [](xmlNode* node) { return isNamed(node, "body"); });
    appendText(body ? body->children : root, text);
    // One blank between words, none at the ends of lines.
    std::string tidy;
    for (char character : text) {
        if (character == ' ' && (tidy.empty() || tidy.back() == ' ' || tidy.back() == '\n'))
            continue;
        if (character == '\n' && !tidy.empty() && tidy.back() == ' ')
            tidy.pop_back();
        if (character == '\n' && (tidy.empty() || tidy.back() == '\n'))
            continue;
        tidy += character;
    }
    while (!tidy.empty() && (tidy.back() == ' ' || tidy.back() == '\n'))
        tidy.pop_back();
    return tidy;
}

void WebPage::collectLinks()
{
    if (!m_document->document)
        return;
    forEachElement(xmlDocGetRootElement(m_document->document), [&](xmlNode* node) {
        if (!isNamed(node, "a"))
            return;
        auto href = attribute(node, "href");
        if (href.empty())
            return;
        m_links.push_back({ collapsedText(node), std::move(href) });
    });
}

std::string WebPage::evaluateScript(std::string_view script) const
{
    static const std::regex title(R"(^\s*document\.title\s*;?\s*$)");
    static const std::regex innerHTML(R"(^\s*document\.getElementById\(\s*(['"])([^'"]*)\1\s*\)\.innerHTML\s*;?\s*$)");
    std::string text(script);
    std::smatch match;
    if (std::regex_match(text, title))
        return this->title();
    if (std::regex_match(text, match, innerHTML))
        return innerHTMLOfElementWithID(match[2].str());
    return {};
}

}
