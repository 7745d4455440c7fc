#include "platform/graphics/Image.h"
#include "support/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace brenzo::testing {

namespace {

struct Session {
    int status = -1;
    std::vector<std::string> lines;
};

std::string readFile(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

size_t occurrences(const std::string& text, std::string_view fragment)
{
    size_t count = 0;
    for (size_t at = text.find(fragment); at != std::string::npos; at = text.find(fragment, at + fragment.size()))
        ++count;
    return count;
}

bool containsLine(const Session& session, std::string_view fragment)
{
    for (auto& line : session.lines) {
        if (line.find(fragment) != std::string::npos)
            return true;
    }
    return false;
}

}

// Runs the real application, as scripts/run starts it, on a home folder of its own.
class ScriptedSession : public ::testing::Test {
protected:
    Session run(const std::string& script)
    {
        auto scriptPath = m_folder.path() / "session.txt";
        std::ofstream(scriptPath) << script;
        std::string command = std::string("'") + BRENZO_APP_PATH + "' --home '" + home().string() + "' --script '" + scriptPath.string() + "' 2>'"
            + (m_folder.path() / "log.txt").string() + "'";
        Session session;
        std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
        if (!pipe)
            return session;
        std::string output;
        char buffer[4096];
        while (size_t count = std::fread(buffer, 1, sizeof(buffer), pipe.get()))
            output.append(buffer, count);
        session.status = pclose(pipe.release());
        std::istringstream printed(output);
        for (std::string line; std::getline(printed, line);)
            session.lines.push_back(line);
        return session;
    }

    std::filesystem::path home() const { return m_folder.path() / "home"; }
    std::filesystem::path boardFile() const { return home() / "Documents" / "main.xml"; }
    std::string log() const { return readFile(m_folder.path() / "log.txt"); }

    TemporaryDirectory m_folder;
};

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
    EXPECT_TRUE(containsLine(session, "controller=PeopleListViewController"));
    EXPECT_TRUE(containsLine(session, "SearchBar"));
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
    EXPECT_TRUE(containsLine(session, "controller=MailComposeViewController"));
    EXPECT_TRUE(containsLine(session, "text=\"feedback@brenzo.example.com\""));
    EXPECT_TRUE(containsLine(session, "text=\"Comments about Brenzo\""));
    EXPECT_TRUE(containsLine(session, "mail cancelled"));
    EXPECT_NE(log().find("share https://store.example.com/apps/brenzo"), std::string::npos);
}

}
