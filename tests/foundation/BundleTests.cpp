#include "platform/foundation/Bundle.h"

#include "platform/foundation/Array.h"
#include "platform/foundation/FileManager.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/String.h"

#include "support/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace fnd;
using brenzo::testing::TemporaryDirectory;

namespace {

void write(const std::filesystem::path& path, std::string_view text)
{
    ASSERT_TRUE(FileManager::createDirectory(path.parent_path()));
    ASSERT_TRUE(FileManager::writeAtomically(path, text));
}

std::optional<StringsFile::Table> parse(std::string_view text)
{
    return StringsFile::parse(std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
}

}

TEST(Bundle, TheMainBundleIsTheApplicationsResourceFolder)
{
    auto bundle = Bundle::main();
    ASSERT_TRUE(bundle);
    EXPECT_TRUE(FileManager::fileExists(bundle->resourcePath() / "Info.plist")) << bundle->resourcePath();
    EXPECT_EQ(bundle->bundleIdentifier(), "com.brenzo.Brenzo");
    auto info = bundle->infoDictionary();
    EXPECT_EQ(info->stringForKey("CFBundleVersion"), "1.0");
    EXPECT_EQ(info->stringForKey("CFBundleShortVersionString"), "1.0");
    EXPECT_EQ(info->stringForKey("CFBundleName"), "Brenzo");
    EXPECT_EQ(info->stringForKey("CFBundleDisplayName"), "Brenzo");
    EXPECT_EQ(descriptionOf(bundle->objectForInfoDictionaryKey("CFBundleName")), "Brenzo");
}

TEST(Bundle, ResourcesAreFoundFromTheEnvironmentOrNearTheProgram)
{
    const char* configured = std::getenv("BRENZO_RESOURCES");
    std::optional<std::string> saved = configured ? std::optional<std::string>(configured) : std::nullopt;
    TemporaryDirectory directory;
    ::setenv("BRENZO_RESOURCES", directory.path().c_str(), 1);
    EXPECT_EQ(Bundle::locateMainResources(), directory.path());
    ::unsetenv("BRENZO_RESOURCES");
    auto found = Bundle::locateMainResources();
    EXPECT_TRUE(FileManager::fileExists(found / "Info.plist")) << found;
    if (saved)
        ::setenv("BRENZO_RESOURCES", saved->c_str(), 1);
}

TEST(Bundle, FindsResourcesAndPropertyListsByName)
{
    TemporaryDirectory directory;
    write(directory.path() / "SHKSharers.plist", R"(<?xml version="1.0"?><plist version="1.0"><dict><key>services</key><array><string>SHKTwitter</string></array></dict></plist>)");
    write(directory.path() / "background.png", "png");
    write(directory.path() / "en.lproj" / "help.html", "<p>");
    write(directory.path() / "images" / "heart.png", "png");
    auto bundle = Bundle::createWithPath(directory.path());
    ASSERT_TRUE(bundle);

    EXPECT_EQ(bundle->pathForResource("background", "png"), directory.path() / "background.png");
    EXPECT_EQ(bundle->pathForResource("background.png", ""), directory.path() / "background.png");
    EXPECT_EQ(bundle->pathForResource("help", "html"), directory.path() / "en.lproj" / "help.html");
    EXPECT_EQ(bundle->pathForResource("heart", "png", "images"), directory.path() / "images" / "heart.png");
    EXPECT_FALSE(bundle->pathForResource("missing", "png"));
    EXPECT_FALSE(bundle->pathForResource("", "png"));

    auto sharers = as<Dictionary>(bundle->propertyListForResource("SHKSharers"));
    ASSERT_TRUE(sharers);
    EXPECT_EQ(sharers->objectForKeyAs<Array>("services")->count(), 1u);
    EXPECT_FALSE(bundle->propertyListForResource("missing"));

    EXPECT_TRUE(bundle->infoDictionary()->isEmpty()) << "no Info.plist";
    EXPECT_EQ(bundle->bundleIdentifier(), "");
    EXPECT_FALSE(Bundle::createWithPath(directory.path() / "missing"));
}

TEST(Bundle, LocalizedStringsComeFromTheTableOrFallBack)
{
    TemporaryDirectory directory;
    write(directory.path() / "en.lproj" / "Localizable.strings", "/* Settings */\n\"Parameters\" = \"Param\\u00E8tres\";\n\"Empty\" = \"\";\n");
    write(directory.path() / "en.lproj" / "Board.strings", "\"Title\" = \"Board\";");
    auto bundle = Bundle::createWithPath(directory.path());
    ASSERT_TRUE(bundle);

    EXPECT_EQ(bundle->localizedString("Parameters", "", ""), "Param\u00e8tres");
    EXPECT_EQ(bundle->localizedString("Empty", "fallback"), "") << "a present empty text is the text";
    EXPECT_EQ(bundle->localizedString("Missing", ""), "Missing");
    EXPECT_EQ(bundle->localizedString("Missing", "Default"), "Default");
    EXPECT_EQ(bundle->localizedString("Title", "", "Board"), "Board");
    EXPECT_EQ(bundle->localizedString("Parameters", "", "Board"), "Parameters");
    EXPECT_EQ(bundle->localizedString("Title", "", "NoSuchTable"), "Title");
}

TEST(Bundle, ASubBundleHasItsOwnStrings)
{
    TemporaryDirectory directory;
    write(directory.path() / "Info.plist", R"(<?xml version="1.0"?><plist version="1.0"><dict><key>CFBundleIdentifier</key><string>com.example.test</string></dict></plist>)");
    write(directory.path() / "Sharing.bundle" / "en.lproj" / "Localizable.strings", "\"Share\" = \"Partager\";");
    auto main = Bundle::createWithPath(directory.path());
    auto sharing = Bundle::createWithPath(main->resourcePath() / "Sharing.bundle");
    ASSERT_TRUE(sharing);
    EXPECT_EQ(main->bundleIdentifier(), "com.example.test");
    EXPECT_EQ(sharing->localizedString("Share"), "Partager");
    EXPECT_EQ(main->localizedString("Share"), "Share");
}

TEST(Bundle, AnUnreadableTableIsLoggedAndShowsTheKeys)
{
    TemporaryDirectory directory;
    write(directory.path() / "en.lproj" / "Localizable.strings", "\"Share\" = \"Partager\"\n\"Next\" = \"Suivant\";");
    auto bundle = Bundle::createWithPath(directory.path());
    LogCapture log;
    EXPECT_EQ(bundle->localizedString("Share"), "Share");
    EXPECT_TRUE(log.contains("line 1: expected \";\""));
}

TEST(Bundle, TheMainBundleCanBeReplaced)
{
    TemporaryDirectory directory;
    write(directory.path() / "Info.plist", R"(<?xml version="1.0"?><plist version="1.0"><dict><key>CFBundleVersion</key><string>2.5</string></dict></plist>)");
    auto original = Bundle::main();
    Bundle::setMain(Bundle::createWithPath(directory.path()));
    EXPECT_EQ(Bundle::main()->infoDictionary()->stringForKey("CFBundleVersion"), "2.5");
    Bundle::setMain(nullptr);
    EXPECT_EQ(Bundle::main()->resourcePath(), original->resourcePath());
}

TEST(StringsFile, ReadsCommentsEscapesAndUnquotedWords)
{
    auto table = parse(R"(// a line comment
/* a block
   comment */
"simple" = "value";
"escapes" = "tab\tnew\nline \"quoted\" back\\slash \101";
"unicode" = "\U00e9t\U00E9 \UD83D\UDE00";
unquoted = word_1.2;
"alone";
"repeated" = "first";
"repeated" = "second";
)");
    ASSERT_TRUE(table);
    EXPECT_EQ(table->at("simple"), "value");
    EXPECT_EQ(table->at("escapes"), "tab\tnew\nline \"quoted\" back\\slash A");
    EXPECT_EQ(table->at("unicode"), "\u00e9t\u00e9 \U0001F600");
    EXPECT_EQ(table->at("unquoted"), "word_1.2");
    EXPECT_EQ(table->at("alone"), "alone");
    EXPECT_EQ(table->at("repeated"), "second");
}

TEST(StringsFile, ReadsUTF16AndPropertyLists)
{
    std::u16string text = u"\uFEFF\"caf\u00e9\" = \"\u00e9\";";
    std::vector<uint8_t> littleEndian;
    for (char16_t unit : text) {
        littleEndian.push_back(uint8_t(unit & 0xFF));
        littleEndian.push_back(uint8_t(unit >> 8));
    }
    auto table = StringsFile::parse(littleEndian);
    ASSERT_TRUE(table);
    EXPECT_EQ(table->at("caf\u00e9"), "\u00e9");

    auto plist = parse(R"(<?xml version="1.0"?><plist version="1.0"><dict><key>Send</key><string>Envoyer</string></dict></plist>)");
    ASSERT_TRUE(plist);
    EXPECT_EQ(plist->at("Send"), "Envoyer");
    EXPECT_FALSE(parse(R"(<?xml version="1.0"?><plist version="1.0"><dict><key>Send</key><integer>1</integer></dict></plist>)"));
}

TEST(StringsFile, MalformedTablesAreRefusedWithTheLine)
{
    std::string error;
    std::string_view missingSemicolon = "\"a\" = \"b\";\n\"c\" = \"d\"\n";
    EXPECT_FALSE(StringsFile::parse(std::span(reinterpret_cast<const uint8_t*>(missingSemicolon.data()), missingSemicolon.size()), &error));
    EXPECT_NE(error.find("line 2"), std::string::npos) << error;
    EXPECT_FALSE(parse("\"a\" = \"unterminated;"));
    EXPECT_FALSE(parse("\"a\" = \"b\"; /* open comment"));
    EXPECT_FALSE(parse("\"a\" = ;"));
    EXPECT_FALSE(parse("\"a\" = \"\\U\";"));
    EXPECT_TRUE(parse("")) << "an empty table is valid";
    EXPECT_TRUE(parse("{ \"a\" = \"b\"; }"));
}
