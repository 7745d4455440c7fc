#include "SharingTestEnvironment.h"

#include "platform/foundation/Bundle.h"
#include "platform/foundation/FileManager.h"
#include "platform/foundation/Null.h"
#include "platform/foundation/Number.h"
#include "platform/foundation/String.h"
#include "platform/foundation/StringsFile.h"
#include "sharing/core/SHK.h"
#include "sharing/core/SHKEscaping.h"
#include "sharing/core/SHKLocalizedText.h"
#include "sharing/core/SHKPlatformExtensions.h"

#include <gtest/gtest.h>

using brenzo::testing::OfferedServicesBundle;

namespace {

fnd::Id string(std::string_view text)
{
    return fnd::String::create(text);
}

// A main bundle whose "Sharing.bundle" holds the given table.
class LocalizationBundle : public OfferedServicesBundle {
public:
    explicit LocalizationBundle(std::string_view table)
    {
        auto folder = path() / "Sharing.bundle" / "en.lproj";
        fnd::FileManager::createDirectory(folder);
        fnd::FileManager::writeAtomically(folder / "Localizable.strings", table);
        SHKResetLocalizationBundleForTesting();
    }
};

}

TEST(SHKEscapingTests, FormValues)
{
    EXPECT_EQ(SHKEscapeFormValue("Fish &amp; Chips"), "Fish%20%26%20Chips");
    EXPECT_EQ(SHKEscapeFormValue("1+1=2"), "1%2B1=2");
    EXPECT_EQ(SHKEscapeFormValue("#tag! @joe"), "%23tag%21%20%40joe");
    EXPECT_EQ(SHKEscapeFormValue("100% \"café\""), "100%25%20%22caf%C3%A9%22");
    EXPECT_EQ(SHKEscapeFormValue("a/b?c;d:e$f,g'h(i)*"), "a/b?c;d:e$f,g'h(i)*");
    EXPECT_EQ(SHKEscapeFormValue(""), "");
    EXPECT_EQ(SHKEscapeFormValue(std::nullopt), "");
}

TEST(SHKEscapingTests, URLsAsParameterValues)
{
    EXPECT_EQ(SHKEscapeURL(fnd::URL::create("http://joe@example.com:8080/a;b?q=1&r=two%20words#top")),
        "http%3A%2F%2Fjoe%40example.com%3A8080%2Fa%3Bb%3Fq%3D1%26r%3Dtwo%2520words%23top");
    EXPECT_EQ(SHKEscapeURL(fnd::URL::create("http://example.com/!*'(),$+-._~")), "http%3A%2F%2Fexample.com%2F%21%2A%27%28%29%2C%24%2B-._~");
    EXPECT_EQ(SHKEscapeURL(nullptr), "");
}

TEST(SHKEscapingTests, StrippingHTMLTags)
{
    EXPECT_EQ(SHKStripHTMLTags("<p>word</p>\nsecond", false), "word second");
    EXPECT_EQ(SHKStripHTMLTags("<p>word</p>\nsecond", true), "word \nsecond");
    EXPECT_EQ(SHKStripHTMLTags("<a href=\"http://x.com/\">link</a> and <b>bold</b><b>again</b>", false), "link  and  bold  again");
    EXPECT_EQ(SHKStripHTMLTags("plain text", false), "plain text");
    EXPECT_EQ(SHKStripHTMLTags("  a < b and more", false), "a < b and more");
    EXPECT_EQ(SHKStripHTMLTags("<br/>\n\t", true), "");
    EXPECT_EQ(SHKStripHTMLTags("", false), "");
}

TEST(SHKPlatformExtensionsTests, DigestOfData)
{
    EXPECT_EQ(SHKDataMD5(*fnd::Data::create()), "d41d8cd98f00b204e9800998ecf8427e");
    EXPECT_EQ(SHKDataMD5(*fnd::Data::create("abc")), "900150983cd24fb0d6963f7d28e17f72");
}

TEST(SHKPlatformExtensionsTests, NullsBecomeEmptyStringsInEveryNestedDictionary)
{
    auto innerMutable = fnd::MutableDictionary::create({ { string("gone"), fnd::Null::null() } });
    auto innerFixed = fnd::Dictionary::create({ { string("deeper"), fnd::Dictionary::create({ { string("value"), fnd::Null::null() } }) } });
    auto listed = fnd::Array::create({ fnd::Null::null() });
    auto reply = fnd::MutableDictionary::create({
        { string("name"), fnd::Null::null() },
        { string("count"), fnd::Number::withInteger(2) },
        { string("mutable"), innerMutable },
        { string("fixed"), innerFixed },
        { string("list"), listed },
    });

    SHKConvertNullsToEmptyStrings(*reply);

    EXPECT_TRUE(fnd::isEqual(reply->objectForKey("name"), string("")));
    EXPECT_TRUE(fnd::isEqual(reply->objectForKey("count"), fnd::Number::withInteger(2)));
    EXPECT_EQ(reply->objectForKey("mutable"), innerMutable);
    EXPECT_TRUE(fnd::isEqual(innerMutable->objectForKey("gone"), string("")));
    auto fixed = reply->objectForKeyAs<fnd::Dictionary>("fixed");
    ASSERT_TRUE(fixed);
    auto deeper = fixed->objectForKeyAs<fnd::Dictionary>("deeper");
    ASSERT_TRUE(deeper);
    EXPECT_TRUE(fnd::isEqual(deeper->objectForKey("value"), string("")));
    // Arrays are not entered.
    EXPECT_EQ(reply->objectForKey("list"), listed);
    EXPECT_TRUE(fnd::isNull(listed->objectAtIndex(0)));
    EXPECT_EQ(reply->allKeys().size(), 5u);
    EXPECT_EQ(fnd::descriptionOf(reply->allKeys()[0]), "name");
}

TEST(SHKPlatformExtensionsTests, DeeplyNestedRepliesAreConverted)
{
    auto root = fnd::MutableDictionary::create();
    auto current = root;
    for (int depth = 0; depth < 20000; ++depth) {
        auto child = fnd::MutableDictionary::create({ { string("null"), fnd::Null::null() } });
        current->setObjectForKey(child, "child");
        current = child;
    }
    SHKConvertNullsToEmptyStrings(*root);
    EXPECT_TRUE(fnd::isEqual(current->objectForKey("null"), string("")));
}

TEST(SHKLocalizedTextTests, TextsComeFromTheSharingBundle)
{
    LocalizationBundle bundle("\"Saving to %@\" = \"Enregistrement sur %@\";\n\"Count\" = \"%d items\";\n");
    EXPECT_EQ(SHKBundleString("Saving to %@"), "Enregistrement sur %@");
    EXPECT_EQ(SHKLocalizedText("Saving to %@", "Twitter"), "Enregistrement sur Twitter");
    // A missing key is its own text, and still a format.
    EXPECT_EQ(SHKLocalizedText("You must be online to login to %@", "Diigo"), "You must be online to login to Diigo");
    // A translation whose specifier does not fit its argument does not break the text.
    EXPECT_EQ(SHKLocalizedText("Count", "three"), "0 items");
}

TEST(SHKLocalizedTextTests, WithoutTheBundleKeysAreShown)
{
    OfferedServicesBundle withoutSharingBundle;
    EXPECT_EQ(SHKBundleString("Share"), "Share");
    EXPECT_EQ(SHKLocalizedText("Sent from %@", "Brenzo"), "Sent from Brenzo");
}

TEST(SHKLocalizedTextTests, TheApplicationsBundleHoldsAValidTable)
{
    auto path = fnd::Bundle::main()->resourcePath() / "Sharing.bundle" / "en.lproj" / "Localizable.strings";
    auto contents = fnd::FileManager::contentsOfFile(path);
    ASSERT_TRUE(contents) << path;
    std::string error;
    auto table = fnd::StringsFile::parse(contents->span(), &error);
    ASSERT_TRUE(table) << error;
    for (auto key : { "Share", "More...", "Send to %@", "Saving to %@", "Offline", "Could not authenticate you. Please relogin." })
        EXPECT_TRUE(table->contains(key)) << key;
}

TEST(SHKErrorTests, ErrorsOfTheSharingDomain)
{
    auto error = SHK::error("Could not authenticate you. Please relogin.");
    EXPECT_EQ(error->domain(), "sharing");
    EXPECT_EQ(error->code(), 1);
    EXPECT_EQ(error->localizedDescription(), "Could not authenticate you. Please relogin.");
    EXPECT_EQ(SHK::error("%@ said: %@", "Server", "100% %d wrong")->localizedDescription(), "Server said: 100% %d wrong");
}
