#include "SharingTestEnvironment.h"

#include "platform/foundation/Array.h"
#include "platform/foundation/Exception.h"
#include "platform/foundation/Number.h"
#include "platform/foundation/PropertyList.h"
#include "platform/foundation/String.h"
#include "sharing/core/SHKItem.h"

#include <gtest/gtest.h>

using brenzo::testing::solidImage;

namespace {

std::vector<std::string> keysOf(const fnd::Dictionary& dictionary)
{
    std::vector<std::string> keys;
    for (auto& key : dictionary.allKeys())
        keys.push_back(fnd::descriptionOf(key));
    return keys;
}

fnd::Ref<fnd::Dictionary> dictionaryOf(std::vector<std::pair<std::string, fnd::Id>> entries)
{
    std::vector<fnd::DictionaryEntry> converted;
    for (auto& [key, value] : entries)
        converted.push_back({ fnd::String::create(key), value });
    return fnd::Dictionary::create(std::move(converted));
}

}

TEST(SHKItemTests, PlainItemHasNoTypeAndNoCustomValues)
{
    auto item = SHKItem::create();
    EXPECT_EQ(item->shareType(), SHKShareTypeUndefined);
    EXPECT_FALSE(item->custom());
    EXPECT_EQ(item->customValueForKey("body"), std::nullopt);
    EXPECT_FALSE(item->customBoolForSwitchKey("autoShare"));
}

TEST(SHKItemTests, CustomValuesAndSwitches)
{
    auto item = SHKItem::create();
    item->setCustomValueForKey(std::nullopt, "missing");
    ASSERT_TRUE(item->custom());
    EXPECT_EQ(item->custom()->count(), 0u);

    item->setCustomValueForKey("1", "on");
    item->setCustomValueForKey("0", "off");
    item->setCustomValueForKey("yes", "word");
    EXPECT_TRUE(item->customBoolForSwitchKey("on"));
    EXPECT_FALSE(item->customBoolForSwitchKey("off"));
    EXPECT_FALSE(item->customBoolForSwitchKey("word"));
    EXPECT_EQ(item->customValueForKey("word"), "yes");

    item->setCustomValueForKey(std::nullopt, "on");
    EXPECT_EQ(item->customValueForKey("on"), std::nullopt);
    EXPECT_EQ(item->custom()->count(), 2u);
}

TEST(SHKItemTests, FactoriesSetTheirType)
{
    EXPECT_EQ(SHKItem::createWithURL(fnd::URL::create("http://example.com/"))->shareType(), SHKShareTypeURL);
    EXPECT_EQ(SHKItem::createWithImage(solidImage(2, 2, 1, 0, 0))->shareType(), SHKShareTypeImage);
    EXPECT_EQ(SHKItem::createWithText("hello")->shareType(), SHKShareTypeText);
    auto fileItem = SHKItem::createWithFile(fnd::Data::create("contents"), "notes.txt", "text/plain", "Notes");
    EXPECT_EQ(fileItem->shareType(), SHKShareTypeFile);
    EXPECT_EQ(fileItem->filename(), "notes.txt");
    EXPECT_EQ(fileItem->mimeType(), "text/plain");
}

TEST(SHKItemTests, URLItemWritesOnlyTypeAndURLAndReadsBackTheSame)
{
    auto item = SHKItem::createWithURL(fnd::URL::create("http://example.com/search?q=two%20words&x=%2B"));
    auto dictionary = item->dictionaryRepresentation();
    EXPECT_EQ(keysOf(*dictionary), (std::vector<std::string> { "shareType", "URL" }));

    auto readBack = SHKItem::itemFromDictionary(dictionary);
    ASSERT_TRUE(readBack);
    EXPECT_EQ(readBack->shareType(), SHKShareTypeURL);
    ASSERT_TRUE(readBack->URL());
    EXPECT_EQ(readBack->URL()->absoluteString(), "http://example.com/search?q=two%20words&x=%2B");
    EXPECT_FALSE(readBack->title());
    EXPECT_FALSE(readBack->text());
    EXPECT_FALSE(readBack->tags());
    EXPECT_FALSE(readBack->image());
    EXPECT_FALSE(readBack->data());
    EXPECT_FALSE(readBack->mimeType());
    EXPECT_FALSE(readBack->filename());
    EXPECT_FALSE(readBack->custom());
}

TEST(SHKItemTests, EveryPropertySurvivesAPropertyListFileExceptTheFileData)
{
    brenzo::testing::TemporaryDirectory folder;
    auto item = SHKItem::createWithFile(fnd::Data::create("bytes"), "a.bin", "application/octet-stream", "Title é");
    item->setText("Some text");
    item->setTags("one two");
    item->setImage(solidImage(3, 2, 0, 0, 1));
    item->setCustomValueForKey("1", "autoShare");

    auto dictionary = item->dictionaryRepresentation();
    EXPECT_EQ(keysOf(*dictionary), (std::vector<std::string> { "shareType", "custom", "title", "text", "tags", "mimeType", "filename", "data", "image" }));
    auto path = folder.path() / "item.plist";
    ASSERT_TRUE(fnd::PropertyList::writeFile(dictionary, path));
    auto stored = fnd::as<fnd::Dictionary>(fnd::PropertyList::readFile(path));
    ASSERT_TRUE(stored);
    auto storedType = stored->objectForKeyAs<fnd::Number>("shareType");
    ASSERT_TRUE(storedType);
    EXPECT_TRUE(storedType->isInteger());
    EXPECT_FALSE(storedType->isBoolean());

    auto readBack = SHKItem::itemFromDictionary(stored);
    ASSERT_TRUE(readBack);
    EXPECT_EQ(readBack->shareType(), SHKShareTypeFile);
    EXPECT_EQ(readBack->title(), "Title é");
    EXPECT_EQ(readBack->text(), "Some text");
    EXPECT_EQ(readBack->tags(), "one two");
    EXPECT_EQ(readBack->mimeType(), "application/octet-stream");
    EXPECT_EQ(readBack->filename(), "a.bin");
    EXPECT_TRUE(readBack->customBoolForSwitchKey("autoShare"));
    EXPECT_TRUE(readBack->custom()->isMutable());
    EXPECT_FALSE(readBack->data());
    ASSERT_TRUE(readBack->image());
    EXPECT_EQ(readBack->image()->size(), gfx::Size(3, 2));
    EXPECT_EQ(readBack->image()->pixelAt(1, 1), (gfx::Pixel { 0, 0, 255, 255 }));
}

TEST(SHKItemTests, ValuesOfTheWrongTypeReadAsAbsent)
{
    EXPECT_FALSE(SHKItem::itemFromDictionary(nullptr));

    auto item = SHKItem::itemFromDictionary(dictionaryOf({
        { "shareType", fnd::String::create("1") },
        { "URL", fnd::Number::withInteger(5) },
        { "title", fnd::Number::withInteger(7) },
        { "text", fnd::Array::create() },
        { "tags", fnd::Data::create("tags") },
        { "custom", fnd::Array::create({ fnd::String::create("x") }) },
        { "mimeType", fnd::Number::yes() },
        { "filename", fnd::Dictionary::create() },
        { "image", fnd::String::create("not bytes") },
    }));
    ASSERT_TRUE(item);
    EXPECT_EQ(item->shareType(), SHKShareTypeUndefined);
    EXPECT_FALSE(item->URL());
    EXPECT_FALSE(item->title());
    EXPECT_FALSE(item->text());
    EXPECT_FALSE(item->tags());
    EXPECT_FALSE(item->custom());
    EXPECT_FALSE(item->mimeType());
    EXPECT_FALSE(item->filename());
    EXPECT_FALSE(item->image());
}

TEST(SHKItemTests, DamagedValuesReadAsAbsent)
{
    auto item = SHKItem::itemFromDictionary(dictionaryOf({
        { "shareType", fnd::Number::withInteger(3) },
        { "URL", fnd::String::create("not a url with blanks") },
        { "image", fnd::Data::create("\x89PNG but not really") },
        { "custom", dictionaryOf({ { "kept", fnd::String::create("yes") }, { "number", fnd::Number::withInteger(1) }, { "list", fnd::Array::create() } }) },
    }));
    ASSERT_TRUE(item);
    EXPECT_EQ(item->shareType(), SHKShareTypeImage);
    EXPECT_FALSE(item->URL());
    EXPECT_FALSE(item->image());
    ASSERT_TRUE(item->custom());
    EXPECT_EQ(item->custom()->count(), 1u);
    EXPECT_EQ(item->customValueForKey("kept"), "yes");
}

TEST(SHKItemTests, ShareTypeNames)
{
    EXPECT_EQ(SHKItem::shareTypeToString(0), "SHKShareTypeUndefined");
    EXPECT_EQ(SHKItem::shareTypeToString(1), "SHKShareTypeURL");
    EXPECT_EQ(SHKItem::shareTypeToString(2), "SHKShareTypeText");
    EXPECT_EQ(SHKItem::shareTypeToString(3), "SHKShareTypeImage");
    EXPECT_EQ(SHKItem::shareTypeToString(4), "SHKShareTypeFile");
    for (int32_t type : { 5, 6, -1 }) {
        try {
            SHKItem::shareTypeToString(type);
            ADD_FAILURE() << "no exception for " << type;
        } catch (const fnd::Exception& exception) {
            EXPECT_EQ(exception.name(), "NSGenericException");
            EXPECT_EQ(exception.reason(), "Unexpected FormatType.");
        }
    }
}

TEST(SHKItemTests, DescriptionListsEveryProperty)
{
    auto item = SHKItem::createWithURL(fnd::URL::create("http://example.com/"), "Example");
    item->setText("Look");
    EXPECT_EQ(item->description(),
        "Share type: SHKShareTypeURL\nURL:http://example.com/\nImage:(null)\nTitle: Example\nText: Look\nTags:(null)\nCustom fields:(null)");

    item->setCustomValueForKey("1", "autoShare");
    EXPECT_NE(item->description().find("Custom fields:{\n    autoShare = 1;\n}"), std::string::npos);
}

TEST(SHKItemTests, DescriptionWorksForEveryShareType)
{
    auto item = SHKItem::create();
    item->setShareType(SHKShareTypeUserInfoRequest);
    EXPECT_EQ(item->description().substr(0, 39), "Share type: SHKShareTypeUserInfoRequest");

    auto stored = SHKItem::itemFromDictionary(dictionaryOf({ { "shareType", fnd::Number::withInteger(42) } }));
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->description().substr(0, 15), "Share type: 42\n");
}
