#include "ScriptedSession.h"

#include <filesystem>

#include <sys/wait.h>

namespace brenzo::testing {

namespace {

bool contains(const std::string& text, std::string_view fragment)
{
    return text.find(fragment) != std::string::npos;
}

// The shell reports a wait status; the program's exit code is its high byte.
int exitCode(int status)
{
    return WEXITSTATUS(status);
}

}

TEST_F(ScriptedSession, SendReachesEditModeThePictureSettingsAndThePhotoLibrary)
{
    auto session = run("send editAction:\n"
                       "press \"cancel.png\"\n"
                       "send editAction:\n"
                       "double-tap 55 68\n"
                       "wait 1\n"
                       "tree\n"
                       "press \"Done\"\n"
                       "wait 1\n"
                       "send addImageButtonAction:\n"
                       "wait 1\n"
                       "tree\n"
                       "press \"Cancel\"\n"
                       "wait 1\n"
                       "send fly:\n"
                       "quit\n");
    EXPECT_EQ(exitCode(session.status), 1) << log();
    EXPECT_TRUE(session.containsLine("controller=EditTouchImageViewController"));
    EXPECT_TRUE(session.containsLine("controller=ImagePickerController"));
    ASSERT_FALSE(session.lines.empty());
    EXPECT_EQ(session.lines.back().rfind("error: line 14: BrenzoViewController has no operation \"fly:\" (it has: ", 0), 0u) << session.lines.back();
    EXPECT_TRUE(contains(session.lines.back(), "editAction:"));
}

TEST_F(ScriptedSession, TheStartDateSetsTheClockSoLaunchesCanBeDaysApart)
{
    auto preferences = home() / "Library" / "Preferences" / "com.brenzo.Brenzo.plist";
    auto first = run("wait 1\nquit\n", "--date 2027-01-15T10:00:00Z");
    EXPECT_EQ(first.status, 0) << log();
    auto second = run("wait 1\nquit\n", "--date 2027-02-01T10:00:00Z");
    EXPECT_EQ(second.status, 0) << log();
    // The first use is the first launch's date, and both launches are counted.
    auto stored = readFile(preferences);
    EXPECT_TRUE(contains(stored, "<key>kRatingPromptFirstUseDate</key>\n\t<real>1800007200</real>")) << stored;
    EXPECT_TRUE(contains(stored, "<key>kRatingPromptUseCount</key>\n\t<integer>2</integer>")) << stored;

    auto refused = run("quit\n", "--date 2027-02-30");
    EXPECT_EQ(exitCode(refused.status), 2);
    EXPECT_TRUE(contains(log(), "--date takes a UTC date like 2027-01-15T10:00:00Z, not \"2027-02-30\""));
}

TEST_F(ScriptedSession, BadCommandsAreRefusedWithTheirLineAndTheExitSaysSo)
{
    auto session = run("tap nan 100\n"
                       "drag 10 10 200 200 20000\n"
                       "pinch 160 240 10 inf\n"
                       "quit please\n"
                       "quit\n");
    EXPECT_EQ(exitCode(session.status), 1);
    EXPECT_EQ(session.lines, (std::vector<std::string> {
                                 "error: line 1: \"nan\" is not a finite number",
                                 "error: line 2: STEPS must be a whole number from 1 to 10000",
                                 "error: line 3: \"inf\" is not a finite number",
                                 "error: line 4: usage: quit",
                             }));

    auto folder = m_folder.path() / "scripts";
    std::filesystem::create_directories(folder);
    auto refused = runShellCommand(std::string("'") + BRENZO_APP_PATH + "' --home '" + home().string() + "' --script '" + folder.string() + "' 2>&1");
    EXPECT_EQ(exitCode(refused.status), 2);
    EXPECT_TRUE(refused.containsLine("is a folder, not a file of commands"));
}

TEST_F(ScriptedSession, AnInteractiveStartGreetsOnATerminalOnly)
{
    std::string application = std::string("'") + BRENZO_APP_PATH + "' --home '" + home().string() + "'";
    // `script` gives the application a terminal for its standard input.
    auto onTerminal = runShellCommand("printf 'help\\nquit\\n' | script -qec \"" + application + "\" /dev/null 2>/dev/null");
    EXPECT_EQ(onTerminal.status, 0);
    EXPECT_TRUE(onTerminal.containsLine("The phone is running. Type \"help\" for the commands."));
    EXPECT_TRUE(onTerminal.containsLine("send OPERATION"));

    auto piped = runShellCommand("printf 'quit\\n' | " + application + " 2>/dev/null");
    EXPECT_EQ(piped.status, 0);
    EXPECT_TRUE(piped.lines.empty()) << ::testing::PrintToString(piped.lines);
}

}
