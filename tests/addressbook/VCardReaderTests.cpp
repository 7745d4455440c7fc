#include "platform/addressbook/VCardReader.h"
#include "platform/addressbook/VCardDecoding.h"
#include "platform/foundation/Log.h"

#include <gtest/gtest.h>

namespace {

using ab::VCardReader;

std::string text(const fnd::Ref<fnd::String>& string)
{
    return string ? string->utf8() : "<nil>";
}

std::string card(std::string_view body)
{
    return "BEGIN:VCARD\r\nVERSION:3.0\r\n" + std::string(body) + "END:VCARD\r\n";
}

std::vector<std::string> firstNames(const std::vector<VCardReader::Card>& cards)
{
    std::vector<std::string> names;
    for (auto& card : cards)
        names.push_back(text(card.details.firstName));
    return names;
}

TEST(VCardReader, SkipsEachMalformedCardWithOneLogLineAndKeepsTheOthers)
{
    std::string input = card("N:One;Good;;;\r\n")
        + card("N:Two;Bad\r\nTEL this line has no colon\r\n")
        + card("N:Three;Good;;;\r\n")
        + card("N;ENCODING=QUOTED-PRINTABLE:Four;=ZZbad;;;\r\n")
        + card("N;CHARSET=NO-SUCH-CHARSET:Five;Bad;;;\r\n")
        + card("N:Six;Good;;;\r\n")
        + "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Seven;Bad (no end);;;\r\n"
        + card("N:Eight;Good;;;\r\n")
        + "BEGIN:VCARD\r\nVERSION:9.9\r\nN:Nine;Bad;;;\r\nEND:VCARD\r\n"
        + "BEGIN:VCARD\r\nN:Ten;Bad (cut off at the end);;;\r\n";

    fnd::LogCapture log;
    auto cards = VCardReader::read(input, "broken.vcf");

    EXPECT_EQ(firstNames(cards), (std::vector<std::string> { "Good", "Good", "Good", "Good" }));
    std::vector<int32_t> ordinals;
    for (auto& card : cards)
        ordinals.push_back(card.ordinal);
    // Skipped cards keep their place, so the ones after them keep their record ids.
    EXPECT_EQ(ordinals, (std::vector<int32_t> { 1, 3, 6, 8 }));

    EXPECT_EQ(log.count("Contacts: skipped the card"), 6u);
    EXPECT_EQ(log.lines().size(), 6u);
    EXPECT_TRUE(log.contains("skipped the card at line 5 of broken.vcf: no name and value at line 8"));
    EXPECT_TRUE(log.contains("bad quoted-printable text at line 16"));
    EXPECT_TRUE(log.contains("character set \"NO-SUCH-CHARSET\""));
    EXPECT_TRUE(log.contains("no END:VCARD before the next card"));
    EXPECT_TRUE(log.contains("unsupported version \"9.9\""));
    EXPECT_TRUE(log.contains("no END:VCARD before the end of the file"));
}

TEST(VCardReader, IgnoresTextOutsideCardsWithOneLogLinePerRun)
{
    fnd::LogCapture log;
    auto cards = VCardReader::read("garbage\nmore garbage\n\n" + card("N:A;B;;;\r\n") + "END:VCARD\n", "stray.vcf");
    ASSERT_EQ(cards.size(), 1u);
    EXPECT_EQ(log.count("ignored text outside a card"), 2u);
    EXPECT_TRUE(log.contains("at line 1 of stray.vcf"));
}

TEST(VCardReader, EmptyAndBinaryInputGiveNoPeopleAndNoCrash)
{
    EXPECT_TRUE(VCardReader::read("", "empty.vcf").empty());
    fnd::LogCapture log;
    std::string binary("\0\xff\xfe:\x01" "BEGIN\r\r\n\0", 14);
    EXPECT_TRUE(VCardReader::read(binary, "binary.vcf").empty());
    EXPECT_TRUE(VCardReader::read("BEGIN:VCARD", "cut.vcf").empty());
}

TEST(VCardReader, UnfoldsContinuationLines)
{
    auto cards = VCardReader::read("BEGIN:VCARD\nVERSION:3.0\nN:Long\n  name;Fir\n\tst;;;\nTEL;TY\n PE=CELL:+1 555\n  0100\nEND:VCARD\n", "folded.vcf");
    ASSERT_EQ(cards.size(), 1u);
    EXPECT_EQ(text(cards[0].details.lastName), "Long name");
    EXPECT_EQ(text(cards[0].details.firstName), "First");
    ASSERT_EQ(cards[0].details.phoneNumbers.size(), 1u);
    EXPECT_EQ(text(cards[0].details.phoneNumbers[0].label), "_$!<Mobile>!$_");
    EXPECT_EQ(text(cards[0].details.phoneNumbers[0].value), "+1 555 0100");
}

TEST(VCardReader, DecodesQuotedPrintableWithSoftLineBreaksAndCharsets)
{
    std::string input = "BEGIN:VCARD\r\nVERSION:2.1\r\n"
                        "N;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:=C3=85ngstr=C3=B6m;Zo=C3=\r\n"
                        "=AB;;;\r\n"
                        "ORG;QUOTED-PRINTABLE;CHARSET=ISO-8859-1:Caf=E9 du Coin\r\n"
                        "TEL;CELL;VOICE:0612\r\n"
                        "END:VCARD\r\n";
    auto cards = VCardReader::read(input, "qp.vcf");
    ASSERT_EQ(cards.size(), 1u);
    EXPECT_EQ(text(cards[0].details.lastName), "Ångström");
    EXPECT_EQ(text(cards[0].details.firstName), "Zoë");
    EXPECT_EQ(text(cards[0].details.organization), "Café du Coin");
    EXPECT_EQ(text(cards[0].details.phoneNumbers.at(0).label), "_$!<Mobile>!$_");
}

TEST(VCardReader, UnescapesStructuredValues)
{
    auto cards = VCardReader::read(card("N:Dupont\\, Jr;Anne\\;Marie;;;\r\nORG:Smith\\, Jones\\; Co;Sales\r\nTEL:1\r\n"), "escapes.vcf");
    ASSERT_EQ(cards.size(), 1u);
    EXPECT_EQ(text(cards[0].details.lastName), "Dupont, Jr");
    EXPECT_EQ(text(cards[0].details.firstName), "Anne;Marie");
    EXPECT_EQ(text(cards[0].details.organization), "Smith, Jones; Co");
}

TEST(VCardReader, NamesOnlyInFormattedNameAreKeptUnlessTheCardIsACompany)
{
    auto cards = VCardReader::read(card("FN:Cher\r\n") + card("N:;;;;\r\nFN:Acme\r\nORG:Acme;\r\n"), "fn.vcf");
    ASSERT_EQ(cards.size(), 2u);
    EXPECT_EQ(text(cards[0].details.firstName), "Cher");
    EXPECT_FALSE(cards[1].details.firstName);
    EXPECT_FALSE(cards[1].details.lastName);
    EXPECT_EQ(text(cards[1].details.organization), "Acme");
}

TEST(VCardReader, MapsTelephoneTypesToLabels)
{
    struct Case {
        std::string line;
        std::string label;
    };
    std::vector<Case> cases {
        { "TEL;TYPE=CELL:1", "_$!<Mobile>!$_" },
        { "TEL;type=cell;type=pref:1", "_$!<Mobile>!$_" },
        { "TEL;TYPE=\"cell,voice\":1", "_$!<Mobile>!$_" },
        { "TEL;TYPE=IPHONE,CELL:1", "iPhone" },
        { "TEL;TYPE=HOME,VOICE:1", "_$!<Home>!$_" },
        { "TEL;TYPE=WORK:1", "_$!<Work>!$_" },
        { "TEL;TYPE=MAIN:1", "_$!<Main>!$_" },
        { "TEL;TYPE=HOME,FAX:1", "_$!<HomeFAX>!$_" },
        { "TEL;TYPE=WORK;TYPE=FAX:1", "_$!<WorkFAX>!$_" },
        { "TEL;TYPE=FAX:1", "_$!<OtherFAX>!$_" },
        { "TEL;TYPE=PAGER:1", "_$!<Pager>!$_" },
        { "TEL;TYPE=OTHER:1", "_$!<Other>!$_" },
        { "TEL:1", "_$!<Other>!$_" },
        { "TEL;TYPE=VOICE:1", "_$!<Other>!$_" },
        { "TEL;TYPE=Boat:1", "Boat" },
        { "TEL;PAGER:1", "_$!<Pager>!$_" },
        { "item3.TEL;TYPE=CELL:1\r\nitem3.X-ABLabel:Grand-mère", "Grand-mère" },
        { "ITEM4.TEL:1\r\nitem4.X-ABLabel:_$!<Other>!$_", "_$!<Other>!$_" },
    };
    for (auto& testCase : cases) {
        auto cards = VCardReader::read(card(testCase.line + "\r\n"), "labels.vcf");
        ASSERT_EQ(cards.size(), 1u) << testCase.line;
        ASSERT_EQ(cards[0].details.phoneNumbers.size(), 1u) << testCase.line;
        EXPECT_EQ(text(cards[0].details.phoneNumbers[0].label), testCase.label) << testCase.line;
    }
}

TEST(VCardReader, KeepsNumbersAsWrittenAndDropsEmptyOnes)
{
    auto cards = VCardReader::read(card("TEL;TYPE=CELL: +33 (0)6 12-34-56-78 \r\nTEL;VALUE=uri:tel:+1-555-0100\r\nTEL;TYPE=HOME:\r\n"), "numbers.vcf");
    ASSERT_EQ(cards.size(), 1u);
    ASSERT_EQ(cards[0].details.phoneNumbers.size(), 2u);
    EXPECT_EQ(text(cards[0].details.phoneNumbers[0].value), "+33 (0)6 12-34-56-78");
    EXPECT_EQ(text(cards[0].details.phoneNumbers[1].value), "+1-555-0100");
}

TEST(VCardReader, ReadsPhotosInEveryEncoding)
{
    // "PNGDATA" in base64 and percent-encoded.
    auto cards = VCardReader::read(card("N:A;;;;\r\nPHOTO;ENCODING=b;TYPE=PNG:UE5HREFU\r\n  QQ==\r\n")
            + card("N:B;;;;\r\nPHOTO;TYPE=JPEG;ENCODING=BASE64:UE5HREFUQQ==\r\n")
            + card("N:C;;;;\r\nPHOTO;VALUE=uri:data:image/png;base64,UE5HREFUQQ==\r\n")
            + card("N:D;;;;\r\nPHOTO:data:,PNG%44ATA\r\n")
            + card("N:E;;;;\r\nPHOTO;VALUE=uri:http://example.invalid/photo.png\r\n"),
        "photos.vcf");
    ASSERT_EQ(cards.size(), 5u);
    for (size_t index = 0; index < 4; ++index) {
        ASSERT_TRUE(cards[index].details.imageData) << index;
        EXPECT_EQ(cards[index].details.imageData->asStringView(), "PNGDATA") << index;
    }
    // Photos by reference are not fetched.
    EXPECT_FALSE(cards[4].details.imageData);
}

TEST(VCardReader, DropsAnUndecodablePhotoButKeepsThePerson)
{
    fnd::LogCapture log;
    auto cards = VCardReader::read(card("N:Broken;Photo;;;\r\nTEL:1\r\nPHOTO;ENCODING=b:@@@not base64@@@\r\n"), "photo.vcf");
    ASSERT_EQ(cards.size(), 1u);
    EXPECT_EQ(text(cards[0].details.firstName), "Photo");
    EXPECT_FALSE(cards[0].details.imageData);
    EXPECT_EQ(log.count("dropped the unreadable photo of the card at line 1 of photo.vcf"), 1u);
}

TEST(VCardReader, ReplacesMalformedUTF8InsteadOfPassingItOn)
{
    auto cards = VCardReader::read(card("N:Bad\xff;Byte;;;\r\n"), "utf8.vcf");
    ASSERT_EQ(cards.size(), 1u);
    EXPECT_EQ(text(cards[0].details.lastName), "Bad\xEF\xBF\xBD");
}

TEST(VCardDecoding, RejectsBrokenEncodings)
{
    EXPECT_EQ(ab::VCardDecoding::decodeQuotedPrintable("a=3Db=").value(), "a=b");
    EXPECT_FALSE(ab::VCardDecoding::decodeQuotedPrintable("a=3"));
    EXPECT_FALSE(ab::VCardDecoding::decodeQuotedPrintable("a=G0"));
    // Only a single last "=" is a soft line break; "==" is an escape cut short.
    EXPECT_FALSE(ab::VCardDecoding::decodeQuotedPrintable("a=="));
    EXPECT_EQ(ab::VCardDecoding::decodeDataURI("data:,a%41b").value(), (std::vector<uint8_t> { 'a', 'A', 'b' }));
    EXPECT_FALSE(ab::VCardDecoding::decodeBase64("QUJD*"));
    EXPECT_FALSE(ab::VCardDecoding::decodeDataURI("data:image/png;base64"));
    EXPECT_FALSE(ab::VCardDecoding::decodeDataURI("data:,%4"));
    EXPECT_FALSE(ab::VCardDecoding::decodeDataURI("http://example.invalid/"));
    auto decoded = ab::VCardDecoding::decodeBase64("QUJD\r\n REVG");
    ASSERT_TRUE(decoded);
    EXPECT_EQ(std::string(decoded->begin(), decoded->end()), "ABCDEF");
}

}
