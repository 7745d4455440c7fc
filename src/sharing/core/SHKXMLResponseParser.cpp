#include "sharing/core/SHKXMLResponseParser.h"

#include "platform/foundation/String.h"

#include <libxml/parser.h>
#include <libxml/parserInternals.h>
#include <libxml/SAX2.h>

#include <climits>
#include <memory>
#include <mutex>

namespace {

SHKXMLResponseParser& parserOf(void* context)
{
    return *static_cast<SHKXMLResponseParser*>(static_cast<xmlParserCtxtPtr>(context)->_private);
}

std::string_view textOf(const xmlChar* text)
{
    return text ? std::string_view(reinterpret_cast<const char*>(text)) : std::string_view();
}

std::string qualifiedName(const xmlChar* prefix, const xmlChar* localName)
{
    if (!prefix)
        return std::string(textOf(localName));
    return std::string(textOf(prefix)) + ":" + std::string(textOf(localName));
}

// Without entity substitution libxml2 hands an ampersand in an attribute on as "&#38;", to be
// decoded again by the tree builder; there is no tree here.
std::string decodedAttributeValue(std::string_view raw)
{
    constexpr std::string_view escapedAmpersand = "&#38;";
    std::string value;
    value.reserve(raw.size());
    for (size_t index = 0; index < raw.size();) {
        if (raw.compare(index, escapedAmpersand.size(), escapedAmpersand) == 0) {
            value += '&';
            index += escapedAmpersand.size();
        } else {
            value += raw[index++];
        }
    }
    return value;
}

void startElement(void* context, const xmlChar* localName, const xmlChar* prefix, const xmlChar*, int, const xmlChar**, int attributeCount, int,
    const xmlChar** attributes)
{
    auto dictionary = fnd::MutableDictionary::create();
    for (int index = 0; index < attributeCount; ++index) {
        const xmlChar** attribute = attributes + index * 5;
        std::string_view raw(reinterpret_cast<const char*>(attribute[3]), static_cast<size_t>(attribute[4] - attribute[3]));
        dictionary->setObjectForKey(fnd::String::create(decodedAttributeValue(raw)), qualifiedName(attribute[1], attribute[0]));
    }
    parserOf(context).didStartElement(qualifiedName(prefix, localName), std::move(dictionary));
}

void endElement(void* context, const xmlChar* localName, const xmlChar* prefix, const xmlChar*)
{
    parserOf(context).didEndElement(qualifiedName(prefix, localName));
}

void characters(void* context, const xmlChar* text, int length)
{
    parserOf(context).foundCharacters(std::string_view(reinterpret_cast<const char*>(text), static_cast<size_t>(length)));
}

void ignoreError(void*, xmlErrorPtr) { }

xmlSAXHandler makeHandler()
{
    xmlSAXHandler handler;
    // The standard handlers keep track of the internal subset and its entities; the elements and
    // their text come here, and nothing is ever fetched from outside the reply.
    xmlSAXVersion(&handler, 2);
    handler.startElementNs = startElement;
    handler.endElementNs = endElement;
    handler.characters = characters;
    handler.ignorableWhitespace = characters;
    handler.cdataBlock = characters;
    handler.reference = nullptr;
    handler.resolveEntity = nullptr;
    handler.externalSubset = nullptr;
    handler.comment = nullptr;
    handler.processingInstruction = nullptr;
    handler.warning = nullptr;
    handler.error = nullptr;
    handler.fatalError = nullptr;
    handler.serror = ignoreError;
    return handler;
}

struct ParserContextDeleter {
    void operator()(xmlParserCtxtPtr context) const
    {
        if (context->myDoc)
            xmlFreeDoc(context->myDoc);
        xmlFreeParserCtxt(context);
    }
};

}

fnd::Id SHKXMLResponseParser::getValueForElementFromResponse(std::string_view elementName, const fnd::Ref<fnd::Data>& response)
{
    auto parser = createWithData(response);
    if (!parser->parse() || !parser->parsedResponse())
        return nullptr;
    return findRecursivelyValueForKeyInDict(elementName, *parser->parsedResponse());
}

std::shared_ptr<SHKXMLResponseParser> SHKXMLResponseParser::createWithData(fnd::Ref<fnd::Data> data)
{
    return std::make_shared<SHKXMLResponseParser>(std::move(data));
}

SHKXMLResponseParser::SHKXMLResponseParser(fnd::Ref<fnd::Data> data)
    : m_data(std::move(data))
{
}

bool SHKXMLResponseParser::parse()
{
    static std::once_flag initialised;
    std::call_once(initialised, [] { xmlInitParser(); });

    m_xmlParsedSuccessfully = false;
    if (!m_data || m_data->length() == 0 || m_data->length() > INT_MAX)
        return false;
    auto handler = makeHandler();
    std::unique_ptr<xmlParserCtxt, ParserContextDeleter> context(xmlCreatePushParserCtxt(&handler, nullptr, nullptr, 0, nullptr));
    if (!context)
        return false;
    context->_private = this;
    // No entity substitution, no DTD loading, no network; XML_PARSE_HUGE stays off.
    xmlCtxtUseOptions(context.get(), XML_PARSE_NONET);
    int status = xmlParseChunk(context.get(), reinterpret_cast<const char*>(m_data->bytes()), static_cast<int>(m_data->length()), 1);
    m_xmlParsedSuccessfully = status == 0 && context->wellFormed;
    return m_xmlParsedSuccessfully;
}

void SHKXMLResponseParser::didStartElement(std::string_view name, fnd::Ref<fnd::Dictionary> attributes)
{
    m_currentElementValue = nullptr;
    if (!m_parsedResponse)
        m_parsedResponse = fnd::MutableDictionary::create();
    m_parsedResponse->setObjectForKey(std::move(attributes), name);
}

void SHKXMLResponseParser::foundCharacters(std::string_view text)
{
    if (!m_currentElementValue)
        m_currentElementValue = fnd::MutableString::create();
    m_currentElementValue->append(text);
}

void SHKXMLResponseParser::didEndElement(std::string_view name)
{
    if (name == "error" || name == "errors" || !m_currentElementValue)
        return;
    std::string_view text = m_currentElementValue->view();
    auto first = text.find_first_not_of(' ');
    auto trimmed = first == std::string_view::npos ? std::string_view() : text.substr(first, text.find_last_not_of(' ') - first + 1);
    m_parsedResponse->setObjectForKey(fnd::String::create(trimmed), name);
}

fnd::Id SHKXMLResponseParser::findRecursivelyValueForKeyInDict(std::string_view key, const fnd::Dictionary& dictionary)
{
    fnd::Id result;
    dictionary.forEachEntry([&](const fnd::Id& entryKey, const fnd::Id& value, bool& stop) {
        auto name = fnd::as<fnd::String>(entryKey);
        if (name && name->view() == key) {
            result = value;
            stop = true;
            return;
        }
        if (auto nested = fnd::as<fnd::Dictionary>(value)) {
            if (auto found = findRecursivelyValueForKeyInDict(key, *nested))
                result = std::move(found);
        }
    });
    return result;
}
