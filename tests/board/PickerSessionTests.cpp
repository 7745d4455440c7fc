#include "TestPictures.h"

#include "platform/graphics/Image.h"
#include "support/FileContents.h"
#include "support/ProgramOutput.h"
#include "support/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace brenzo::testing {

namespace {

constexpr std::string_view treeStart = "Window (0, 0, 320, 480)";

}

// The main road through the real application on the sample address book: a placeholder becomes
// a contact picture through the picker, is saved with the board, calls its number and comes back
// after a relaunch.
class PickerSession : public ::testing::Test {
protected:
    struct Session : ProgramOutput {
        // The lines printed by the n-th "tree" command (from 0).
        std::vector<std::string> tree(size_t number) const
        {
            std::vector<std::string> printed;
            size_t seen = 0;
            bool inside = false;
            for (auto& line : lines) {
                inside = line == treeStart ? seen++ == number : inside && line.starts_with(" ");
                if (inside)
                    printed.push_back(line);
            }
            return printed;
        }
    };

    Session run(const std::string& script)
    {
        auto scriptPath = m_folder.path() / "session.txt";
        std::ofstream(scriptPath) << script;
        std::string command = std::string("'") + BRENZO_APP_PATH + "' --home '" + home().string() + "' --contacts '" + BRENZO_SOURCE_DIR
            + "/resources/contacts.vcf' --script '" + scriptPath.string() + "' 2>>'" + (m_folder.path() / "log.txt").string() + "'";
        return { runShellCommand(command) };
    }

    static bool contains(const std::vector<std::string>& lines, std::string_view fragment)
    {
        return std::any_of(lines.begin(), lines.end(), [&](auto& line) { return line.find(fragment) != std::string::npos; });
    }

    std::filesystem::path home() const { return m_folder.path() / "home"; }
    std::filesystem::path documents() const { return home() / "Documents"; }
    std::string log() const { return readFile(m_folder.path() / "log.txt"); }

    TemporaryDirectory m_folder;
};

TEST_F(PickerSession, APlaceholderBecomesAContactThatCallsItsNumberAndStaysAfterARelaunch)
{
    auto screenshot = m_folder.path() / "board.png";
    // The first placeholder's centre is (55, 48) on the board, 20 points below the status bar;
    // the picker's search bar lies under the navigation bar.
    auto session = run("tap 55 68\n"
                       "wait 0.399\n"
                       "tree\n"
                       "wait 0.001\n"
                       "tree\n"
                       "tap 160 86\n"
                       "type \"joel\"\n"
                       "tree\n"
                       "press \"06 12 34 56 78\"\n"
                       "wait 1\n"
                       "tree\n"
                       "screenshot "
        + screenshot.string()
        + "\n"
          "tap 55 68\n"
          "wait 0.399\n"
          "tree\n"
          "wait 0.001\n"
          "quit\n");
    ASSERT_EQ(session.status, 0) << log();

    // 0.4 seconds after the tap, the picker is up.
    EXPECT_FALSE(contains(session.tree(0), "controller=PeopleListViewController"));
    EXPECT_TRUE(contains(session.tree(1), "controller=PeopleListViewController"));
    EXPECT_TRUE(contains(session.tree(1), "text=\"Acme Widgets Ltd\""));

    // The search finds Joël Martin's two numbers and nobody else: the results table comes last.
    auto results = session.tree(2);
    auto resultsTable = std::find_if(results.begin(), results.end(), [](auto& line) { return line.find("TableView") != std::string::npos && line.find("plain") != std::string::npos; });
    ASSERT_NE(resultsTable, results.end());
    EXPECT_NE(resultsTable->find("rows=2"), std::string::npos) << *resultsTable;
    EXPECT_TRUE(contains({ resultsTable, results.end() }, "text=\"06 12 34 56 78\""));

    // The placeholder is now the contact's picture with its title and badge.
    auto board = session.tree(3);
    EXPECT_FALSE(contains(board, "controller=PeopleListViewController"));
    EXPECT_TRUE(contains(board, "TouchImageView (10, 3, 90, 90) type=\"tel\" image=\"image001.png\""));
    EXPECT_TRUE(contains(board, "text=\"Martin Joël\""));
    EXPECT_TRUE(contains(board, "badge=\"mobile\""));
    auto picture = gfx::Image::createWithContentsOfFile(documents() / "image001.png");
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->size(), (gfx::Size { 180, 180 }));

    // The badge shows green on screen, in the picture's lower right part.
    auto screen = gfx::Image::createWithContentsOfFile(screenshot);
    ASSERT_TRUE(screen);
    size_t green = 0;
    for (size_t y = 63; y < 113; ++y) {
        for (size_t x = 40; x < 100; ++x)
            green += isNear(screen->pixelAt(x, y), { 45, 242, 140, 255 }, 4);
    }
    EXPECT_GT(green, 50u);

    auto boardFile = readFile(documents() / "main.xml");
    EXPECT_NE(boardFile.find("<type>tel</type>"), std::string::npos);
    EXPECT_NE(boardFile.find("<parameters>tel:0612345678</parameters>"), std::string::npos);
    EXPECT_NE(boardFile.find("<title>Martin Joël</title>"), std::string::npos);
    EXPECT_NE(boardFile.find("<badge string=\"mobile\" color=\"0.176471,0.949020,0.549020,1.000000\">"), std::string::npos);

    // A tap on the picture calls the number 0.4 seconds later: after the last tree, printed at 0.399.
    auto call = std::find(session.lines.begin(), session.lines.end(), "opened URL tel:0612345678");
    auto lastTree = std::find(session.lines.rbegin(), session.lines.rend(), std::string(treeStart));
    ASSERT_NE(call, session.lines.end());
    EXPECT_GT(call, lastTree.base());

    // A relaunch shows the same board and writes the same file.
    auto relaunch = run("tree\nquit\n");
    ASSERT_EQ(relaunch.status, 0) << log();
    auto relaunched = relaunch.tree(0);
    EXPECT_TRUE(contains(relaunched, "TouchImageView (10, 3, 90, 90) type=\"tel\" image=\"image001.png\""));
    EXPECT_TRUE(contains(relaunched, "text=\"Martin Joël\""));
    EXPECT_TRUE(contains(relaunched, "badge=\"mobile\""));
    EXPECT_EQ(std::count_if(relaunched.begin(), relaunched.end(), [](auto& line) { return line.find("type=\"unknown\"") != std::string::npos; }), 11);
    EXPECT_EQ(readFile(documents() / "main.xml"), boardFile);
}

}
