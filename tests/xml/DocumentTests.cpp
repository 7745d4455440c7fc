#include "xml/DDXMLDocument.h"
#include "xml/DDXMLElement.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(DDXMLDocumentTest, ParseFailuresReportCodes)
{
    fnd::Ref<fnd::Error> error;
    EXPECT_FALSE(DDXMLDocument::createWithXMLStringOptionsError(std::nullopt, 0, &error));
    ASSERT_TRUE(error);
    EXPECT_EQ(error->domain(), "DDXMLErrorDomain");
    EXPECT_EQ(error->code(), 0);
    EXPECT_TRUE(error->userInfo()->isEmpty());

    error = nullptr;
    EXPECT_FALSE(DDXMLDocument::createWithXMLStringOptionsError("", 0, &error));
    EXPECT_EQ(error->code(), 0);
    EXPECT_FALSE(DDXMLDocument::createWithDataOptionsError(fnd::Data::create(), 0, &error));
    EXPECT_EQ(error->code(), 0);

    error = nullptr;
    EXPECT_FALSE(DDXMLDocument::createWithXMLStringOptionsError("<floor><open>", 0, &error));
    ASSERT_TRUE(error);
    EXPECT_EQ(error->code(), 1);
    EXPECT_EQ(error->domain(), "DDXMLErrorDomain");
    EXPECT_FALSE(DDXMLDocument::createWithXMLStringOptionsError("<a/>", 0, nullptr) == nullptr);
}

TEST(DDXMLDocumentTest, BlankTextBetweenElementsIsDropped)
{
    auto document = DDXMLDocument::createWithXMLStringOptionsError("<root>\n   <child/>\n</root>", 0, nullptr);
    auto root = document->rootElement();
    ASSERT_EQ(root->childCount(), 1u);
    EXPECT_EQ(root->childAtIndex(0)->name(), "child");

    auto withText = DDXMLDocument::createWithXMLStringOptionsError("<t>  kept  </t>", 0, nullptr);
    EXPECT_EQ(withText->rootElement()->stringValue(), "  kept  ");
}

TEST(DDXMLDocumentTest, ParsesData)
{
    auto document = DDXMLDocument::createWithDataOptionsError(fnd::Data::create("<a>\xC3\xA9</a>"), 0, nullptr);
    ASSERT_TRUE(document);
    EXPECT_EQ(document->rootElement()->stringValue(), "\xC3\xA9");
}

TEST(DDXMLDocumentTest, ExternalEntitiesAreNotLoaded)
{
    auto document = DDXMLDocument::createWithXMLStringOptionsError(
        "<!DOCTYPE r [<!ENTITY secret SYSTEM 'file:///etc/hostname'>]><r>&secret;</r>", 0, nullptr);
    ASSERT_TRUE(document);
    EXPECT_EQ(document->rootElement()->stringValue(), "");
}

namespace {

struct Reader {
    std::string text;
    size_t offset = 0;
    bool closed = false;
};

int readChunk(void* context, char* buffer, int length)
{
    auto reader = static_cast<Reader*>(context);
    // Small chunks so the parser has to come back several times.
    size_t count = std::min<size_t>({ size_t(length), size_t(3), reader->text.size() - reader->offset });
    std::memcpy(buffer, reader->text.data() + reader->offset, count);
    reader->offset += count;
    return int(count);
}

int closeReader(void* context)
{
    static_cast<Reader*>(context)->closed = true;
    return 0;
}

}

TEST(DDXMLDocumentTest, ParsesFromReadCallbacks)
{
    Reader reader { "<r>\n  <a x='1'/>\n</r>" };
    fnd::Ref<fnd::Error> error;
    auto document = DDXMLDocument::createWithReadIOCloseIOContextOptionsError(readChunk, closeReader, &reader, XML_PARSE_NOENT, &error);
    ASSERT_TRUE(document);
    EXPECT_TRUE(reader.closed);
    EXPECT_EQ(document->rootElement()->XMLString(), "<r><a x=\"1\"></a></r>");

    Reader broken { "<r>" };
    EXPECT_FALSE(DDXMLDocument::createWithReadIOCloseIOContextOptionsError(readChunk, closeReader, &broken, 0, &error));
    EXPECT_EQ(error->code(), 1);
}

TEST(DDXMLDocumentTest, NewDocumentWithRootElement)
{
    auto root = DDXMLNode::elementWithName("floor");
    auto document = DDXMLDocument::createWithRootElement(root);
    EXPECT_FALSE(root->freeOnDealloc());
    EXPECT_EQ(document->version(), "1.0");
    EXPECT_EQ(document->rootElement()->genericPtr(), root->genericPtr());
    EXPECT_EQ(root->rootDocument()->genericPtr(), document->genericPtr());
    EXPECT_EQ(root->XPath(), "/floor[1]");
    EXPECT_EQ(document->XMLString(), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<floor></floor>");

    auto empty = DDXMLDocument::createWithRootElement(nullptr);
    EXPECT_FALSE(empty->rootElement());
    EXPECT_EQ(empty->childCount(), 0u);
}

TEST(DDXMLDocumentTest, VersionAndStandalone)
{
    auto document = DDXMLDocument::createWithRootElement(DDXMLNode::elementWithName("a"));
    EXPECT_FALSE(document->isStandalone());
    document->setStandalone(true);
    EXPECT_TRUE(document->isStandalone());
    document->setVersion("1.1");
    EXPECT_EQ(document->version(), "1.1");
    EXPECT_EQ(document->XMLString(), "<?xml version=\"1.1\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<a></a>");
    auto data = document->XMLDataWithOptions(DDXMLNodeCompactEmptyElement);
    EXPECT_EQ(data->asStringView(), "<?xml version=\"1.1\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<a/>");
    EXPECT_EQ(document->XMLData()->asStringView(), document->XMLString());

    auto parsed = DDXMLDocument::createWithXMLStringOptionsError("<?xml version='1.0' standalone='no'?><a/>", 0, nullptr);
    EXPECT_FALSE(parsed->isStandalone());
}

TEST(DDXMLDocumentTest, CopyOfADocumentIsIndependent)
{
    auto document = DDXMLDocument::createWithXMLStringOptionsError("<a><b/></a>", 0, nullptr);
    auto copy = document->copy();
    ASSERT_TRUE(fnd::is<DDXMLDocument>(copy));
    fnd::as<DDXMLDocument>(copy)->rootElement()->setName("changed");
    document.reset();
    EXPECT_EQ(fnd::as<DDXMLDocument>(copy)->rootElement()->XMLString(), "<changed><b></b></changed>");
}
