// Feeds each input to one of the readers of outside data, chosen by its first byte: files the user
// keeps or imports (board, contacts, settings, queued shares) and replies of web services. Where a
// writer exists, what was read must be written and read back to an equal value.

#include "board/BoardFile.h"
#include "json/JsonParser.h"
#include "json/JsonWriter.h"
#include "platform/addressbook/VCardReader.h"
#include "platform/foundation/Data.h"
#include "platform/foundation/Dictionary.h"
#include "platform/foundation/PercentEscaping.h"
#include "platform/foundation/PropertyList.h"
#include "platform/foundation/String.h"
#include "platform/foundation/StringsFile.h"
#include "platform/foundation/URL.h"
#include "platform/foundation/Unicode.h"
#include "platform/graphics/Image.h"
#include "sharing/core/SHKEscaping.h"
#include "sharing/core/SHKItem.h"
#include "sharing/core/SHKXMLResponseParser.h"
#include "sharing/oauth/OAToken.h"
#include "xml/DDXMLAttributeNode.h"
#include "xml/DDXMLDocument.h"
#include "xml/DDXMLElement.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <string>

namespace {

enum class Reader : uint8_t {
    RecursiveJSON,
    VCard,
    PropertyList,
    StringsFile,
    PercentEscapes,
    BoardXML,
    ServiceXMLReply,
    Image,
    OAuthReply,
    QueuedShareItem,
    Count,
};

[[noreturn]] void fail(const char* what, const std::string& input)
{
    std::fprintf(stderr, "%s\ninput (%zu bytes): %s\n", what, input.size(), input.c_str());
    std::abort();
}

void readRecursiveJSON(const std::string& text)
{
    JsonParser parser;
    auto string = fnd::String::create(text);
    parser.objectWithString(string);
    fnd::Id value = parser.fragmentWithString(string);
    if (!value)
        return;
    JsonWriter writer;
    auto written = writer.stringWithFragment(value);
    writer.setSortKeys(true);
    writer.setHumanReadable(true);
    writer.stringWithFragment(value);
    if (!written)
        return;
    fnd::Id again = parser.fragmentWithString(written);
    if (!again || !fnd::isEqual(again, value))
        fail("recursive JSON: the written value reads back as something else", text);
}

void readPropertyList(std::span<const uint8_t> bytes, const std::string& text)
{
    fnd::Id value = fnd::PropertyList::read(bytes);
    if (!value)
        return;
    for (auto format : { fnd::PropertyList::Format::XML, fnd::PropertyList::Format::Binary }) {
        auto written = fnd::PropertyList::write(value, format);
        if (!written)
            continue;
        fnd::Id again = fnd::PropertyList::read(std::span(reinterpret_cast<const uint8_t*>(written->data()), written->size()));
        if (!again || !fnd::isEqual(again, value))
            fail("property list: the written value reads back as something else", text);
    }
}

void readPercentEscapes(const std::string& text)
{
    fnd::PercentEscaping::removingPercentEscapes(text);
    fnd::URL::create(text);
    // Escaping then unescaping gives the text back, when it is UTF-8 (unescaping refuses anything else).
    auto escaped = fnd::PercentEscaping::addingPercentEscapes(text);
    auto unescaped = fnd::PercentEscaping::removingPercentEscapes(escaped);
    if (fnd::unicode::isValidUTF8(text) && unescaped != text)
        fail("percent escapes: escaping and unescaping changed the text", text);
}

void readBoardElement(const fnd::Ref<DDXMLNode>& node, int depth)
{
    constexpr int deepestElement = 64;
    if (!node || depth > deepestElement)
        return;
    node->name();
    node->stringValue();
    node->XMLString();
    if (auto element = std::dynamic_pointer_cast<DDXMLElement>(node)) {
        BoardFile::readTransform(*element);
        BoardFile::attributeNumber(element.get(), "x");
        BoardFile::childText(*element, "background");
        if (auto color = BoardFile::attributeText(element.get(), "color"))
            BoardFile::parseColor(*color);
        for (auto& attribute : element->attributes())
            attribute->stringValue();
    }
    if (auto children = node->children()) {
        for (auto& child : *children)
            readBoardElement(child, depth + 1);
    }
}

void readBoardXML(const std::string& text)
{
    auto document = DDXMLDocument::createWithXMLStringOptionsError(text, 0, nullptr);
    if (!document)
        return;
    readBoardElement(document->rootElement(), 0);
    document->XMLData();
}

void readServiceXMLReply(const std::string& text)
{
    auto data = fnd::Data::create(std::string_view(text));
    SHKXMLResponseParser::getValueForElementFromResponse("error", data);
    SHKXMLResponseParser::getValueForElementFromResponse("a:b", data);
}

void readOAuthReply(const std::string& text)
{
    OAToken::createWithHTTPResponseBody(text);
    SHKStripHTMLTags(text, true);
    SHKStripHTMLTags(text, false);
    SHKEscapeFormValue(std::string_view(text));
}

void readQueuedShareItem(std::span<const uint8_t> bytes)
{
    if (auto dictionary = fnd::as<fnd::Dictionary>(fnd::PropertyList::read(bytes)))
        SHKItem::itemFromDictionary(dictionary);
}

}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (!size)
        return 0;
    auto reader = static_cast<Reader>(data[0] % static_cast<uint8_t>(Reader::Count));
    std::span<const uint8_t> bytes(data + 1, size - 1);
    std::string text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    switch (reader) {
    case Reader::RecursiveJSON:
        readRecursiveJSON(text);
        break;
    case Reader::VCard:
        ab::VCardReader::read(text, "fuzz.vcf");
        break;
    case Reader::PropertyList:
        readPropertyList(bytes, text);
        break;
    case Reader::StringsFile:
        fnd::StringsFile::parse(bytes);
        break;
    case Reader::PercentEscapes:
        readPercentEscapes(text);
        break;
    case Reader::BoardXML:
        readBoardXML(text);
        break;
    case Reader::ServiceXMLReply:
        readServiceXMLReply(text);
        break;
    case Reader::Image:
        gfx::Image::createWithData(bytes);
        break;
    case Reader::OAuthReply:
        readOAuthReply(text);
        break;
    case Reader::QueuedShareItem:
        readQueuedShareItem(bytes);
        break;
    case Reader::Count:
        break;
    }
    return 0;
}
