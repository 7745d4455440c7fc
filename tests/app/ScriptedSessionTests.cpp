#include "ScriptedSession.h"

#include "platform/graphics/Image.h"

#include <algorithm>

namespace brenzo::testing {

TEST_F(ScriptedSession, TheFirstLaunchShowsTheDefaultBoardAndARelaunchShowsTheSameBoard)
{
    auto shot = (m_folder.path() / "first.png").string();
    auto first = run("screenshot " + shot + "\nquit\n");
    EXPECT_EQ(first.status, 0) << log();
    EXPECT_EQ(first.lines, std::vector<std::string> { "screenshot " + shot });

    auto board = readFile(boardFile());
    EXPECT_EQ(occurrences(board, "<type>unknown</type>"), 12u);
    EXPECT_EQ(occurrences(board, "<floor>"), 13u);
    EXPECT_EQ(board.rfind("<floor>\n  <background>defaultbackground.png</background>", 0), 0u);

    auto image = gfx::Image::createWithContentsOfFile(shot);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->size(), (gfx::Size { 320, 480 }));
    // A placeholder's light card at the top left, the blue background between the cards.
    auto card = image->pixelAt(20, 30);
    EXPECT_GT(card.red, 200);
    auto between = image->pixelAt(107, 120);
    EXPECT_LT(between.red, 100);
    EXPECT_GT(between.blue, between.red);

    auto secondShot = (m_folder.path() / "second.png").string();
    auto second = run("screenshot " + secondShot + "\nquit\n");
    EXPECT_EQ(second.status, 0) << log();
    EXPECT_EQ(readFile(boardFile()), board);
    auto again = gfx::Image::createWithContentsOfFile(secondShot);
    ASSERT_TRUE(again);
    // Below the status bar (whose clock moves) the two screens are the same.
    for (size_t y = 20; y < 480; y += 7) {
        for (size_t x = 0; x < 320; x += 7)
            ASSERT_EQ(again->pixelAt(x, y), image->pixelAt(x, y)) << x << "," << y;
    }
}

TEST_F(ScriptedSession, ATapOnAPlaceholderOpensThePickerAndCancelClosesIt)
{
    auto session = run("tap 55 68\n"
                       "wait 0.5\n"
                       "tree\n"
                       "press \"Cancel\"\n"
                       "wait 1\n"
                       "tree\n"
                       "quit\n");
    EXPECT_EQ(session.status, 0) << log();
    EXPECT_TRUE(session.containsLine("controller=PeopleListViewController"));
    EXPECT_TRUE(session.containsLine("SearchBar"));
    EXPECT_NE(log().find("type: unknown"), std::string::npos);
    auto lastTree = std::find(session.lines.rbegin(), session.lines.rend(), "Window (0, 0, 320, 480)");
    ASSERT_NE(lastTree, session.lines.rend());
    for (auto line = session.lines.rbegin(); line != lastTree; ++line)
        EXPECT_EQ(line->find("PeopleListViewController"), std::string::npos) << *line;
}

TEST_F(ScriptedSession, TheMainToolBarOpensTheFeedbackMailAndSharesTheStoreLink)
{
    auto session = run("press \"compose\"\n"
                       "wait 1\n"
                       "tree\n"
                       "press \"Cancel\"\n"
                       "press \"Delete Draft\"\n"
                       "wait 1\n"
                       "press \"action\"\n"
                       "quit\n");
    EXPECT_EQ(session.status, 0) << log();
    EXPECT_TRUE(session.containsLine("controller=MailComposeViewController"));
    EXPECT_TRUE(session.containsLine("text=\"feedback@brenzo.example.com\""));
    EXPECT_TRUE(session.containsLine("text=\"Comments about Brenzo\""));
    EXPECT_TRUE(session.containsLine("mail cancelled"));
    EXPECT_TRUE(session.containsLine("action sheet \"Share\""));
}

}
