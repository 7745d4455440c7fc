#include "ScriptedSession.h"

#include <algorithm>
#include <fstream>
#include <regex>

namespace brenzo::testing {

namespace {

constexpr std::string_view sampleContacts = BRENZO_SOURCE_DIR "/resources/contacts.vcf";
constexpr std::string_view pickJoelsMobile = "tap 55 68\n"
                                             "wait 0.5\n"
                                             "tap 160 86\n"
                                             "type \"joel\"\n"
                                             "press \"06 12 34 56 78\"\n"
                                             "wait 1\n";

void writeText(const std::filesystem::path& path, std::string_view text)
{
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

std::string floor(std::string_view image, std::string_view type, std::string_view parameters, std::string_view title, std::string_view id,
    std::string_view transform, std::string_view children = "")
{
    return "<floor><background>" + std::string(image) + "</background><type>" + std::string(type) + "</type><parameters>" + std::string(parameters)
        + "</parameters><title>" + std::string(title) + "</title><id>" + std::string(id)
        + "</id><center x=\"55\" y=\"48\"/><badge string=\"mobile\"/><size width=\"90\" height=\"90\"/><transform " + std::string(transform) + "/>"
        + std::string(children) + "</floor>";
}

constexpr std::string_view identity = "a=\"1\" b=\"0\" c=\"0\" d=\"1\" tx=\"0\" ty=\"0\"";

std::string boardWithOnePicture(std::string_view picture)
{
    return floor("defaultbackground.png", "background", "", "", "0", identity, picture);
}

std::string idOf(const std::string& board, std::string_view title)
{
    std::smatch match;
    std::regex pattern("<title>" + std::string(title) + "</title>\\s*<id>(-?[0-9]+)</id>");
    return std::regex_search(board, match, pattern) ? match[1].str() : "";
}

std::string vCard(std::string_view last, std::string_view first, std::string_view number)
{
    return "BEGIN:VCARD\r\nVERSION:3.0\r\nN:" + std::string(last) + ";" + std::string(first) + ";;;\r\nTEL;TYPE=CELL:" + std::string(number)
        + "\r\nEND:VCARD\r\n";
}

}

class DataSafetySession : public ScriptedSession {
protected:
    std::filesystem::path documents() const { return home() / "Documents"; }
    std::filesystem::path defaultsFile() const { return home() / "Library" / "Preferences" / "com.brenzo.Brenzo.plist"; }
    void useContacts(const std::filesystem::path& file) { m_launchOptions = "--contacts '" + file.string() + "'"; }
};

TEST_F(DataSafetySession, ADamagedPictureFileKeepsItsContactWhereItWasAndLeftoverTemporaryFilesGo)
{
    // A contact picture scaled to twice its size in edit mode, whose picture file was damaged,
    // saved when the record id was the card's place in the file (1).
    auto scaled = "a=\"2\" b=\"0\" c=\"0\" d=\"2\" tx=\"0\" ty=\"0\"";
    writeText(documents() / "main.xml", boardWithOnePicture(floor("image001.png", "tel", "tel:0612345678", "Martin Joël", "1", scaled)));
    writeText(documents() / "image001.png", std::string(3000, 'x'));
    writeText(documents() / ".main.xml.Ab12Cd", "<flo");
    writeText(defaultsFile().parent_path() / ".com.brenzo.Brenzo.plist.x9Y8z7", "");
    useContacts(sampleContacts);

    auto first = run("tree\nquit\n");
    ASSERT_EQ(first.status, 0) << log();
    EXPECT_NE(log().find("picture file image001.png unreadable, shown as a placeholder"), std::string::npos) << log();
    EXPECT_EQ(log().find("effacer"), std::string::npos) << log();
    EXPECT_FALSE(std::filesystem::exists(documents() / ".main.xml.Ab12Cd"));
    EXPECT_FALSE(std::filesystem::exists(defaultsFile().parent_path() / ".com.brenzo.Brenzo.plist.x9Y8z7"));

    // Title and badge sit in the picture's own 90-point square, under and inside it.
    EXPECT_TRUE(first.containsLine("TouchImageView (-35, -42, 180, 180) transform=[2 0 0 2 0 0] type=\"tel\" image=\"image001.png\""));
    EXPECT_TRUE(first.containsLine("Label (18, 90, 54, 12) text=\"Martin Joël\""));
    EXPECT_TRUE(first.containsLine("TouchImageBadgeView (38, 71, 47, 13) badge=\"mobile\""));

    // The entry stays, with its file name, and now with the card's stable id.
    auto board = readFile(boardFile());
    EXPECT_NE(board.find("<background>image001.png</background>"), std::string::npos) << board;
    auto id = idOf(board, "Martin Joël");
    EXPECT_FALSE(id.empty() || id == "0" || id == "1") << board;

    auto second = run("tree\nquit\n");
    ASSERT_EQ(second.status, 0) << log();
    EXPECT_EQ(second.lines, first.lines);
    EXPECT_EQ(readFile(boardFile()), board);
}

TEST_F(DataSafetySession, ABoardFileThatIsNoBoardOrTooLargeIsKeptAsideAndTheDefaultBoardIsBuilt)
{
    std::string foreign = "<html><body>not a board</body></html>";
    writeText(boardFile(), foreign);
    ASSERT_EQ(run("quit\n").status, 0) << log();
    EXPECT_EQ(readFile(documents() / "main.xml.unreadable"), foreign);
    EXPECT_EQ(occurrences(readFile(boardFile()), "<type>unknown</type>"), 12u);

    std::string huge = boardWithOnePicture("") + std::string(5 * 1024 * 1024, ' ');
    writeText(boardFile(), huge);
    ASSERT_EQ(run("quit\n").status, 0) << log();
    EXPECT_NE(log().find("board file not read"), std::string::npos) << log();
    EXPECT_EQ(std::filesystem::file_size(documents() / "main.xml.unreadable.2"), huge.size());
    EXPECT_EQ(occurrences(readFile(boardFile()), "<type>unknown</type>"), 12u);
}

TEST_F(DataSafetySession, AContactsFileWithoutAnyCardLeavesEveryContactPictureAlone)
{
    std::string board = boardWithOnePicture(floor("contact-placeholder.png", "tel", "tel:0123", "Doe Jane", "12345", identity));
    auto contacts = m_folder.path() / "contacts.vcf";
    useContacts(contacts);
    for (std::string_view contents : { "", "Name,Phone\nJane Doe,0123\n", "BEGIN:VCARD\nVERSION:7.0\nN:Doe;Jane;;;\nEND:VCARD\n" }) {
        writeText(boardFile(), board);
        writeText(contacts, contents);
        ASSERT_EQ(run("quit\n").status, 0) << log();
        EXPECT_EQ(idOf(readFile(boardFile()), "Doe Jane"), "12345") << contents;
        EXPECT_EQ(occurrences(log(), "contacts not checked, every contact picture kept"), 1u) << log();
        EXPECT_EQ(log().find("effacer"), std::string::npos) << log();
    }
}

TEST_F(DataSafetySession, AContactKeepsItsPictureWhenOtherCardsAreRemovedAddedOrReordered)
{
    auto contacts = m_folder.path() / "contacts.vcf";
    useContacts(contacts);
    // Cards without UIDs: their ids come from their names.
    writeText(contacts, vCard("Abel", "Ann", "01 11") + vCard("Martin", "Joel", "06 12 34 56 78") + vCard("Zed", "Zoe", "03 33"));
    ASSERT_EQ(run(std::string(pickJoelsMobile) + "quit\n").status, 0) << log();
    auto id = idOf(readFile(boardFile()), "Martin Joel");
    ASSERT_FALSE(id.empty() || id == "0") << readFile(boardFile());

    writeText(contacts, vCard("Young", "Yan", "05 55") + vCard("Zed", "Zoe", "03 33") + vCard("Martin", "Joel", "06 12 34 56 78"));
    ASSERT_EQ(run("tree\nquit\n").status, 0) << log();
    EXPECT_EQ(log().find("effacer"), std::string::npos) << log();
    EXPECT_EQ(idOf(readFile(boardFile()), "Martin Joel"), id);

    // The person gone from the file: the picture turns back into a placeholder.
    writeText(contacts, vCard("Zed", "Zoe", "03 33"));
    ASSERT_EQ(run("quit\n").status, 0) << log();
    EXPECT_NE(log().find("effacer Martin Joel"), std::string::npos) << log();
    EXPECT_EQ(occurrences(readFile(boardFile()), "<type>unknown</type>"), 12u);
}

TEST_F(DataSafetySession, APictureThatCannotBeWrittenLeavesTheBoardAsItWasAndSaysSo)
{
    ASSERT_EQ(run("quit\n").status, 0) << log();
    auto board = readFile(boardFile());

    // No file may grow beyond 1 KB: the picture's write fails (and so does the board's).
    m_shellPrefix = "trap '' XFSZ; ulimit -f 1; ";
    useContacts(sampleContacts);
    auto session = run(std::string(pickJoelsMobile) + "tree\nquit\n");
    ASSERT_EQ(session.status, 0) << log();
    EXPECT_TRUE(session.containsLine("alert \"Picture Not Saved\""));
    EXPECT_FALSE(session.containsLine("image=\"image001.png\""));
    EXPECT_FALSE(std::filesystem::exists(documents() / "image001.png"));
    EXPECT_EQ(readFile(boardFile()), board);

    m_shellPrefix.clear();
    ASSERT_EQ(run("quit\n").status, 0) << log();
    EXPECT_EQ(occurrences(readFile(boardFile()), "<type>unknown</type>"), 12u);
}

TEST_F(DataSafetySession, QuittingAtOnceStillCountsTheLaunchWithLargeDefaultsAndContacts)
{
    std::string plist = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<dict>\n"
                        "<key>kRatingPromptCurrentVersion</key><string>1.0</string>\n"
                        "<key>kRatingPromptUseCount</key><integer>5</integer>\n";
    for (int index = 0; index < 20000; ++index)
        plist += "<key>filler" + std::to_string(index) + "</key><string>some setting of another part</string>\n";
    plist += "</dict>\n</plist>\n";
    writeText(defaultsFile(), plist);
    std::string cards;
    for (int index = 0; index < 3000; ++index)
        cards += vCard("Person" + std::to_string(index), "Some", "01 23 45 " + std::to_string(index));
    auto contacts = m_folder.path() / "contacts.vcf";
    writeText(contacts, cards);
    useContacts(contacts);

    ASSERT_EQ(run("quit\n").status, 0) << log();
    ASSERT_EQ(run("quit\n").status, 0) << log();
    auto defaults = readFile(defaultsFile());
    EXPECT_NE(defaults.find("<key>kRatingPromptUseCount</key>\n\t<integer>7</integer>"), std::string::npos) << defaults.substr(0, 600);
    EXPECT_NE(defaults.find("<key>filler19999</key>"), std::string::npos);
    EXPECT_EQ(log().find("worker threads still running"), std::string::npos) << log();
}

TEST_F(DataSafetySession, TokensInAnIncomingAddressNeverReachTheLog)
{
    // The login's answer goes through the Facebook session, which keeps the token, and on to
    // the stored share; none of it may write the token into the log.
    auto session = run("open-url fb517390286044913://authorize#access_token=SECRET-TOKEN-42&expires_in=0\nquit\n");
    ASSERT_EQ(session.status, 0);
    EXPECT_TRUE(session.containsLine("application accepted URL fb517390286044913://authorize#access_token=SECRET-TOKEN-42&expires_in=0"));
    EXPECT_EQ(log().find("SECRET-TOKEN-42"), std::string::npos) << log();
}

}
