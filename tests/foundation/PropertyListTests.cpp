#include "platform/foundation/PropertyList.h"

#include "platform/foundation/Array.h"
#include "platform/foundation/Date.h"
#include "platform/foundation/DecimalNumber.h"
#include "platform/foundation/Dictionary.h"
#include "platform/foundation/FileManager.h"
#include "platform/foundation/MutableString.h"
#include "platform/foundation/Null.h"
#include "platform/foundation/Number.h"
#include "platform/foundation/String.h"
#include "platform/foundation/URL.h"

#include "support/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <climits>

using namespace fnd;

namespace {

Id readText(std::string_view text, Ref<Error>* error = nullptr)
{
    return PropertyList::read(std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()), error);
}

Id roundTrip(const Id& value, PropertyList::Format format)
{
    auto bytes = PropertyList::write(value, format);
    EXPECT_TRUE(bytes);
    if (!bytes)
        return nullptr;
    return readText(*bytes);
}

Ref<Dictionary> sampleDictionary()
{
    auto item = MutableDictionary::create();
    item->setObjectForKey(String::create("Brenzo \u00e9t\u00e9 \xF0\x9F\x98\x80"), "title");
    item->setObjectForKey(Number::withInteger(3), "shareType");
    item->setObjectForKey(Number::withInteger(-42), "negative");
    item->setObjectForKey(Number::withInteger(INT64_MAX), "largest");
    item->setObjectForKey(Number::withDouble(0.1), "ratio");
    item->setObjectForKey(Number::yes(), "quiet");
    item->setObjectForKey(Number::no(), "loud");
    item->setObjectForKey(Data::create(std::string_view("\x00\xFF\x10", 3)), "image");
    // Whole seconds: the XML form has no fractions.
    item->setObjectForKey(Date::withTimeIntervalSince1970(1298980800), "when");
    item->setObjectForKey(Array::create({ String::create("SHKFacebook"), Array::create(), Dictionary::create() }), "list");
    return item;
}

}

TEST(PropertyList, ValuesSurviveXMLAndBinaryRoundTrips)
{
    auto original = sampleDictionary();
    for (auto format : { PropertyList::Format::XML, PropertyList::Format::Binary }) {
        auto copy = as<Dictionary>(roundTrip(original, format));
        ASSERT_TRUE(copy);
        EXPECT_TRUE(copy->isEqual(*original)) << copy->description();
        auto quiet = copy->objectForKeyAs<Number>("quiet");
        ASSERT_TRUE(quiet);
        EXPECT_EQ(quiet, Number::yes()) << "booleans are the shared boolean numbers";
        EXPECT_EQ(copy->objectForKeyAs<Number>("shareType")->type(), Number::Type::Int64);
        EXPECT_EQ(copy->objectForKeyAs<Number>("negative")->longLongValue(), -42);
        EXPECT_EQ(copy->objectForKeyAs<Number>("largest")->longLongValue(), INT64_MAX);
        EXPECT_EQ(copy->objectForKeyAs<Number>("ratio")->doubleValue(), 0.1);
        EXPECT_EQ(copy->objectForKeyAs<Date>("when")->timeIntervalSince1970(), 1298980800);
        EXPECT_FALSE(copy->isMutable());
    }
}

TEST(PropertyList, XMLOutputSortsKeysSoFilesAreStable)
{
    auto first = Dictionary::create({ { String::create("zeta"), Number::withInteger(1) }, { String::create("alpha"), Number::withInteger(2) } });
    auto second = Dictionary::create({ { String::create("alpha"), Number::withInteger(2) }, { String::create("zeta"), Number::withInteger(1) } });
    auto firstText = PropertyList::write(first);
    ASSERT_TRUE(firstText);
    EXPECT_EQ(firstText, PropertyList::write(second));
    EXPECT_LT(firstText->find("<key>alpha</key>"), firstText->find("<key>zeta</key>"));
    EXPECT_NE(firstText->find("<integer>2</integer>"), std::string::npos);
}

TEST(PropertyList, ReadsTheUsualXMLForm)
{
    auto value = as<Dictionary>(readText(R"(<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE plist PUBLIC "-//Apple//DTD PLIST 1.0//EN" "http://www.apple.com/DTDs/PropertyList-1.0.dtd">
<plist version="1.0">
<dict>
    <key>actions</key>
    <array><string>SHKMail</string><string>SHKCopy</string></array>
    <key>count</key><integer>-7</integer>
    <key>big</key><integer>18446744073709551615</integer>
    <key>on</key><true/>
    <key>when</key><date>2011-03-01T12:00:00Z</date>
    <key>bytes</key><data>SGVsbG8=</data>
    <key>escaped</key><string>a &lt;b&gt; &amp; c</string>
</dict>
</plist>)"));
    ASSERT_TRUE(value);
    auto actions = value->objectForKeyAs<Array>("actions");
    ASSERT_TRUE(actions);
    EXPECT_EQ(descriptionOf(actions->objectAtIndex(1)), "SHKCopy");
    EXPECT_EQ(value->objectForKeyAs<Number>("count")->longLongValue(), -7);
    EXPECT_EQ(value->objectForKeyAs<Number>("big")->unsignedLongLongValue(), UINT64_MAX);
    EXPECT_EQ(value->objectForKeyAs<Number>("big")->type(), Number::Type::UInt64);
    EXPECT_EQ(value->objectForKey("on"), Number::yes());
    EXPECT_EQ(value->objectForKeyAs<Date>("when")->timeIntervalSince1970(), 1298980800.0);
    EXPECT_EQ(value->objectForKeyAs<Data>("bytes")->asStringView(), "Hello");
    EXPECT_EQ(value->stringForKey("escaped"), "a <b> & c");
}

TEST(PropertyList, UnsupportedValuesAreErrorsNotCrashes)
{
    auto refused = [](const Id& value) {
        Ref<Error> error;
        EXPECT_FALSE(PropertyList::write(value, PropertyList::Format::XML, &error));
        EXPECT_FALSE(PropertyList::isValid(value));
        return error ? error->code() : 0;
    };
    EXPECT_EQ(refused(Null::null()), PropertyList::writeInvalidError);
    EXPECT_EQ(refused(Array::create({ String::create("ok"), URL::create("http://example.com/") })), PropertyList::writeInvalidError);
    EXPECT_EQ(refused(Dictionary::create({ { Number::withInteger(1), String::create("numeric key") } })), PropertyList::writeInvalidError);
    EXPECT_EQ(refused(Number::withUnsigned(UINT64_MAX)), PropertyList::writeInvalidError);
    EXPECT_EQ(refused(nullptr), PropertyList::writeInvalidError);
    // Stored, these would come back cut short at the U+0000.
    EXPECT_EQ(refused(Array::create({ String::create(std::string("cut\0short", 9)) })), PropertyList::writeInvalidError);
    EXPECT_EQ(refused(Dictionary::create({ { String::create(std::string("k\0ey", 4)), String::create("value") } })), PropertyList::writeInvalidError);

    auto selfHolding = MutableArray::create();
    selfHolding->addObject(selfHolding);
    EXPECT_EQ(refused(selfHolding), PropertyList::writeInvalidError);
    selfHolding->removeAllObjects();
}

TEST(PropertyList, IllFormedUTF8IsReadAsReplacementCharactersAndStoresAgain)
{
    auto value = as<Dictionary>(readText("<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>k\xFF</key><string>v\xFE</string></dict></plist>"));
    ASSERT_TRUE(value);
    auto string = value->objectForKeyAs<String>("k\uFFFD");
    ASSERT_TRUE(string);
    EXPECT_EQ(string->utf8(), "v\uFFFD");
    for (auto format : { PropertyList::Format::XML, PropertyList::Format::Binary })
        EXPECT_TRUE(isEqual(roundTrip(value, format), value));
}

TEST(PropertyList, CorruptInputIsAnError)
{
    for (std::string_view text : {
             std::string_view(""),
             std::string_view("garbage"),
             std::string_view("bplist00garbage"),
             std::string_view(R"(<?xml version="1.0"?><plist><dict><key>a</key><string>x</string>)"),
             std::string_view(R"(<?xml version="1.0"?><plist><array><string>x</array></plist>)"),
         }) {
        Ref<Error> error;
        EXPECT_FALSE(readText(text, &error)) << text;
        ASSERT_TRUE(error) << text;
        EXPECT_EQ(error->code(), PropertyList::readCorruptError) << text;
    }
}

TEST(PropertyList, DecimalNumbersAndMutableValuesAreStoredByValue)
{
    auto value = Array::create({ DecimalNumber::fromText("1500"), DecimalNumber::fromText("0.25"), MutableString::create("text") });
    auto copy = as<Array>(roundTrip(value, PropertyList::Format::XML));
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->objectAtIndexAs<Number>(0)->type(), Number::Type::Int64);
    EXPECT_EQ(copy->objectAtIndexAs<Number>(0)->longLongValue(), 1500);
    EXPECT_EQ(copy->objectAtIndexAs<Number>(1)->doubleValue(), 0.25);
    EXPECT_FALSE(copy->objectAtIndex(2)->isMutable());

    auto deep = as<Array>(PropertyList::immutableDeepCopy(Array::create({ MutableArray::create({ MutableString::create("x") }) })));
    ASSERT_TRUE(deep);
    EXPECT_FALSE(deep->objectAtIndex(0)->isMutable());
    EXPECT_FALSE(as<Array>(deep->objectAtIndex(0))->objectAtIndex(0)->isMutable());
}

TEST(PropertyList, FilesAreWrittenAtomicallyAndReadBack)
{
    brenzo::testing::TemporaryDirectory directory;
    auto path = directory.path() / "SHKOfflineQueue.plist";
    auto list = Array::create({ sampleDictionary() });
    ASSERT_TRUE(PropertyList::writeFile(list, path));
    auto read = PropertyList::readFile(path);
    ASSERT_TRUE(read);
    EXPECT_TRUE(read->isEqual(*list));

    Ref<Error> error;
    EXPECT_FALSE(PropertyList::writeFile(Null::null(), path, &error));
    EXPECT_TRUE(PropertyList::readFile(path)) << "a refused value leaves the file as it was";
    EXPECT_FALSE(PropertyList::readFile(directory.path() / "missing.plist", &error));
    EXPECT_EQ(error->code(), FileManager::readNoSuchFileError);
}
