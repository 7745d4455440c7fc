#include "BoardTest.h"

#include "board/BoardFile.h"
#include "platform/addressbook/AddressBook.h"
#include "platform/foundation/FileManager.h"
#include "platform/foundation/String.h"
#include "support/FileContents.h"

#include <clocale>
#include <cstdlib>
#include <fstream>

namespace brenzo::testing {

namespace {

// Switches the numeric locale to German (decimal comma) for its lifetime, building it with
// localedef into a temporary folder when the system has none.
class ScopedCommaLocale {
public:
    ScopedCommaLocale()
        : m_previous(std::setlocale(LC_NUMERIC, nullptr))
    {
        if (std::setlocale(LC_NUMERIC, name)) {
            m_active = true;
            return;
        }
        auto command = "localedef -i de_DE -f UTF-8 '" + (m_folder.path() / name).string() + "' >/dev/null 2>&1";
        if (std::system(command.c_str()) != 0 && !std::filesystem::exists(m_folder.path() / name / "LC_NUMERIC"))
            return;
        setenv("LOCPATH", m_folder.path().c_str(), 1);
        m_active = std::setlocale(LC_NUMERIC, name) != nullptr;
        unsetenv("LOCPATH");
    }
    ~ScopedCommaLocale() { std::setlocale(LC_NUMERIC, m_previous.c_str()); }

    bool isActive() const { return m_active; }

private:
    static constexpr const char* name = "de_DE.UTF-8";
    std::string m_previous;
    TemporaryDirectory m_folder;
    bool m_active = false;
};

std::string boardWith(const std::string& children, const std::string& backgroundImage = "defaultbackground.png")
{
    return floorElement(backgroundImage, "background", 0, "", children);
}

}

class BoardFileTest : public BoardTest {
protected:
    std::shared_ptr<ab::AddressBook> bookWithOnePerson(ab::RecordId& id)
    {
        auto book = ab::AddressBook::createEmpty();
        id = book->addPerson({ fnd::String::create("John"), fnd::String::create("Smith"), nullptr, {}, nullptr, false });
        ab::AddressBook::useBook(book);
        return book;
    }
};

TEST_F(BoardFileTest, TheFirstLaunchWritesTheDefaultBoardByteForByte)
{
    showBoard();
    auto text = boardFileText();
    ASSERT_TRUE(text);
    auto golden = readFile(std::string(BRENZO_SOURCE_DIR) + "/tests/board/first-launch-main.xml");
    EXPECT_EQ(*text, golden);
}

}

namespace brenzo::testing {

TEST_F(BoardFileTest, WritingReadingAndWritingAgainGivesTheSameText)
{
    showBoard();
    auto first = boardFileText();
    ASSERT_TRUE(first);
    m_window = nullptr;
    auto board = showBoard();
    EXPECT_EQ(board->mainTouchImageView()->children().size(), 12u);
    EXPECT_EQ(boardFileText(), first);
}

TEST_F(BoardFileTest, AContactPictureWritesItsIdCentreAndBadgeColour)
{
    ab::RecordId id = 0;
    auto book = bookWithOnePerson(id);
    auto board = showBoard();
    auto picture = board->mainTouchImageView()->children()[0];
    picture->setId(42);
    picture->setCenter({ 160, 85 });
    picture->setBadgeString("mobile");
    picture->setBadgeColor(gfx::Color(1, 0.8, 0, 1));
    board->saveXML();

    auto text = *boardFileText();
    EXPECT_NE(text.find("<id>42</id>\n    <center x=\"160.000000\" y=\"85.000000\"></center>\n"
                        "    <badge string=\"mobile\" color=\"1.000000,0.800000,0.000000,1.000000\"></badge>"),
        std::string::npos)
        << text;

    // Read back (person 42 does not exist: the check resets it, so give the picture the real id).
    picture->setId(id);
    board->saveXML();
    m_window = nullptr;
    auto reread = showBoard()->mainTouchImageView()->children()[0];
    EXPECT_EQ(reread->id(), id);
    EXPECT_EQ(reread->badgeString(), "mobile");
    ASSERT_TRUE(reread->badgeColor());
    EXPECT_NEAR(reread->badgeColor()->green, 0.8, 1e-6);
    EXPECT_EQ(reread->center(), (gfx::Point { 160, 85 }));
}

TEST_F(BoardFileTest, ABadgeWithoutColourReadsAsTheTransparentColourAndShortColoursReadMissingPartsAsZero)
{
    writeBoardFile(boardWith(floorElement("contact-placeholder.png", "none") + floorElement("contact-placeholder.png", "none", 0, "", "",
        "<badge string=\"x\" color=\"1,0.5\"/>")));
    auto children = showBoard()->mainTouchImageView()->children();
    ASSERT_EQ(children.size(), 2u);
    EXPECT_EQ(children[0]->badgeColor(), gfx::Color(0, 0, 0, 0));
    EXPECT_EQ(children[1]->badgeColor(), gfx::Color(1, 0.5, 0, 0));
    EXPECT_EQ(BoardFile::parseColor("0.25,1,,0.5,9"), gfx::Color(0.25, 1, 0, 0.5));
}

TEST_F(BoardFileTest, APictureWhoseImageIsMissingIsDroppedAndTheRestLoads)
{
    writeBoardFile(boardWith(floorElement("contact-placeholder.png", "tel", 0, "A") + floorElement("image005.png", "tel", 0, "Gone")
        + floorElement("contact-placeholder.png", "tel", 0, "C")));
    auto board = showBoard();
    auto children = board->mainTouchImageView()->children();
    ASSERT_EQ(children.size(), 2u);
    EXPECT_EQ(children[0]->title(), "A");
    EXPECT_EQ(children[1]->title(), "C");
    EXPECT_EQ(boardFileText()->find("Gone"), std::string::npos);
}

TEST_F(BoardFileTest, OnlyTheDirectChildrenOfTheRootAreReadButTheTreeIsWrittenWhole)
{
    writeBoardFile(boardWith(floorElement("contact-placeholder.png", "none", 0, "Child", floorElement("contact-placeholder.png", "none", 0, "Grandchild"))));
    auto board = showBoard();
    auto children = board->mainTouchImageView()->children();
    ASSERT_EQ(children.size(), 1u);
    EXPECT_TRUE(children[0]->children().empty());
    EXPECT_EQ(board->boardPictures().size(), 2u);

    auto grandchild = TouchImageView::create({ 0, 0, 10, 10 });
    grandchild->setTitle("Deep");
    children[0]->addChild(grandchild);
    auto element = board->xmlFromTouchImageView(*board->mainTouchImageView());
    auto written = element->XMLStringWithOptions(DDXMLNodePrettyPrint);
    EXPECT_NE(written.find("<title>Deep</title>"), std::string::npos);
}

TEST_F(BoardFileTest, TheNextPictureFileNameIsTheFirstFreeNumber)
{
    EXPECT_EQ(BoardFile::nextImageAvailable(), "image001.png");
    std::ofstream(documents() / "image002.png") << "x";
    EXPECT_EQ(BoardFile::nextImageAvailable(), "image001.png");
    std::ofstream(documents() / "image001.png") << "x";
    EXPECT_EQ(BoardFile::nextImageAvailable(), "image003.png");
    for (int number = 3; number <= 999; ++number)
        std::ofstream(documents() / fnd::format("image%03d.png", number)) << "x";
    EXPECT_EQ(BoardFile::nextImageAvailable(), "image000.png");
}

TEST_F(BoardFileTest, ABundleImageWinsOverADocumentsFileOfTheSameName)
{
    auto red = gfx::Image::createWithContentsOfFile(std::string(BRENZO_SOURCE_DIR) + "/resources/heart.png");
    ASSERT_TRUE(red);
    ASSERT_TRUE(BoardFile::writePicture(*red, "contact-placeholder.png"));
    auto loaded = BoardFile::loadPicture("contact-placeholder.png");
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->size(), (gfx::Size { 90, 90 }));
    ASSERT_TRUE(BoardFile::writePicture(*red, "image001.png"));
    EXPECT_EQ(BoardFile::loadPicture("image001.png")->size(), (gfx::Size { 20, 20 }));
}

TEST_F(BoardFileTest, ImageNamesThatAreNotBareFileNamesAreIgnored)
{
    auto red = gfx::Image::createWithContentsOfFile(std::string(BRENZO_SOURCE_DIR) + "/resources/heart.png");
    std::filesystem::create_directories(documents() / "sub");
    ASSERT_TRUE(fnd::FileManager::writeAtomically(documents() / "sub" / "image001.png", red->pngRepresentation()->span()));
    for (auto name : { "sub/image001.png", "../Documents/image001.png", "..", ".", "/etc/passwd", "" })
        EXPECT_FALSE(BoardFile::loadPicture(name)) << name;
    writeBoardFile(boardWith(floorElement("sub/image001.png", "tel") + floorElement("../../resources/heart.png", "tel")));
    EXPECT_TRUE(showBoard()->mainTouchImageView()->children().empty());
}

TEST_F(BoardFileTest, AVanishedContactTurnsBackIntoAPlaceholder)
{
    ab::RecordId id = 0;
    bookWithOnePerson(id);
    writeBoardFile(boardWith(floorElement("contact-placeholder.png", "tel", id, "Smith John") + floorElement("contact-placeholder.png", "tel", id + 7, "Gone Person")));
    auto children = showBoard()->mainTouchImageView()->children();
    ASSERT_EQ(children.size(), 2u);
    EXPECT_EQ(children[0]->type(), "tel");
    EXPECT_EQ(children[0]->id(), id);
    EXPECT_EQ(children[1]->type(), "unknown");
    EXPECT_EQ(children[1]->id(), 0);
    EXPECT_TRUE(m_log.contains("effacer Gone Person"));
    EXPECT_EQ(m_log.count("effacer"), 1u);
    EXPECT_NE(boardFileText()->find("<type>unknown</type>"), std::string::npos);
}

TEST_F(BoardFileTest, WithoutAnAddressBookNoContactIsReset)
{
    ab::AddressBook::useOpenFailure();
    writeBoardFile(boardWith(floorElement("contact-placeholder.png", "tel", 12, "Smith John")));
    auto children = showBoard()->mainTouchImageView()->children();
    ASSERT_EQ(children.size(), 1u);
    EXPECT_EQ(children[0]->type(), "tel");
    EXPECT_EQ(children[0]->id(), 12);
    EXPECT_FALSE(m_log.contains("effacer"));
}

TEST_F(BoardFileTest, AnUnreadableBoardFileIsKeptAsideAndTheDefaultBoardIsBuilt)
{
    writeBoardFile("<floor><background>defaultbackground.png</back");
    auto board = showBoard();
    EXPECT_EQ(board->mainTouchImageView()->children().size(), 12u);
    EXPECT_EQ(readFile(documents() / "main.xml.unreadable"), "<floor><background>defaultbackground.png</back");
    EXPECT_EQ(boardFileText(), readFile(std::string(BRENZO_SOURCE_DIR) + "/tests/board/first-launch-main.xml"));

    // A second unreadable file does not replace the first one kept.
    writeBoardFile("not xml");
    m_window = nullptr;
    showBoard();
    EXPECT_EQ(readFile(documents() / "main.xml.unreadable"), "<floor><background>defaultbackground.png</back");
    EXPECT_EQ(readFile(documents() / "main.xml.unreadable.2"), "not xml");
}

TEST_F(BoardFileTest, AMissingBackgroundImageFallsBackToTheDefaultBackgroundAndKeepsThePictures)
{
    writeBoardFile(boardWith(floorElement("contact-placeholder.png", "tel", 0, "Kept"), "image077.png"));
    auto board = showBoard();
    auto background = board->mainTouchImageView();
    ASSERT_TRUE(background);
    EXPECT_EQ(background->imageName(), "defaultbackground.png");
    EXPECT_EQ(background->type(), "background");
    ASSERT_EQ(background->children().size(), 1u);
    EXPECT_EQ(background->children()[0]->title(), "Kept");
    EXPECT_EQ(background->children()[0]->parent(), background);
    EXPECT_NE(boardFileText()->find("<title>Kept</title>"), std::string::npos);
}

TEST_F(BoardFileTest, CharactersXmlCannotHoldAreDroppedSoTheNextLaunchReadsTheBoard)
{
    auto board = showBoard();
    auto picture = board->mainTouchImageView()->children()[0];
    picture->setTitle(std::string("Smi\x01th \xEF\xBF\xBE\x1FJohn \xC3\xA9"));
    picture->setBadgeString(std::string("mo\x02" "bile"));
    board->saveXML();
    m_window = nullptr;
    auto reread = showBoard()->mainTouchImageView()->children();
    ASSERT_EQ(reread.size(), 12u);
    EXPECT_EQ(reread[0]->title(), "Smith John \xC3\xA9");
    EXPECT_EQ(reread[0]->badgeString(), "mobile");
    EXPECT_EQ(BoardFile::xmlSafeText("a\tb\nc\rd\x7F\xF0\x9F\x98\x80"), "a\tb\nc\rd\x7F\xF0\x9F\x98\x80");
}

TEST_F(BoardFileTest, AMissingTransformReadsAsTheIdentityAndMissingNumbersAsZero)
{
    writeBoardFile("<floor><background>defaultbackground.png</background><type>background</type><size width=\"320\" height=\"460\"/>"
                   "<floor><background>contact-placeholder.png</background><type>none</type><center x=\"10\"/>"
                   "<transform a=\"2\" d=\"2\"/></floor></floor>");
    auto background = showBoard()->mainTouchImageView();
    EXPECT_TRUE(background->originalTransform().isIdentity());
    EXPECT_EQ(background->center(), (gfx::Point { 0, 0 }));
    ASSERT_EQ(background->children().size(), 1u);
    auto child = background->children()[0];
    EXPECT_EQ(child->originalTransform(), (gfx::AffineTransform { 2, 0, 0, 2, 0, 0 }));
    EXPECT_EQ(child->transform(), child->originalTransform());
    EXPECT_EQ(child->center(), (gfx::Point { 10, 0 }));
    EXPECT_EQ(child->title(), std::nullopt);
    EXPECT_EQ(child->frame().size, (gfx::Size { 0, 0 }));
}

TEST_F(BoardFileTest, NumbersAreWrittenAndReadWithADecimalPointWhateverTheLocale)
{
    ScopedCommaLocale locale;
    if (!locale.isActive())
        GTEST_SKIP() << "no locale with a decimal comma can be had here";
    ASSERT_EQ(std::string(std::localeconv()->decimal_point), ",");

    auto board = showBoard();
    auto picture = board->mainTouchImageView()->children()[0];
    picture->setCenter({ 160.5, 85.25 });
    picture->setBadgeColor(gfx::Color(1, 0.8, 0, 1));
    board->saveXML();
    auto text = *boardFileText();
    EXPECT_NE(text.find("<center x=\"160.500000\" y=\"85.250000\">"), std::string::npos);
    EXPECT_NE(text.find("color=\"1.000000,0.800000,0.000000,1.000000\""), std::string::npos);

    m_window = nullptr;
    auto reread = showBoard()->mainTouchImageView()->children()[0];
    EXPECT_EQ(reread->center(), (gfx::Point { 160.5, 85.25 }));
    EXPECT_NEAR(reread->badgeColor()->green, 0.8, 1e-9);
}

}
