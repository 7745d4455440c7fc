#include "ScriptedSession.h"

namespace brenzo::testing {

namespace {

constexpr std::string_view storeLink = "https://store.example.com/apps/brenzo";
constexpr std::string_view promotionalTitle = "\"Geek or not, everyone needs Brenzo!\" 12 contacts ready to be dialed in only 2 taps";
// The composers' "To" field, below the status bar and the navigation bar.
constexpr std::string_view tapRecipientField = "tap 160 130\n";

}

TEST_F(ScriptedSession, TheShareButtonSharesTheStoreLinkByCopyMailAndTextMessage)
{
    auto session = run(std::string("press \"action\"\n"
                                    "press \"More...\"\n"
                                    "wait 1\n"
                                    "tree\n"
                                    "press \"Copy\"\n"
                                    "tree\n"
                                    "wait 2\n"
                                    "press \"action\"\n"
                                    "press \"More...\"\n"
                                    "wait 1\n"
                                    "press \"Email\"\n"
                                    "wait 1\n")
        + std::string(tapRecipientField)
        + "type \"friend@example.com\"\n"
          "press \"Send\"\n"
          "wait 1\n"
          "press \"action\"\n"
          "press \"SMS\"\n"
          "wait 1\n"
        + std::string(tapRecipientField)
        + "type \"0612345678\"\n"
          "press \"Send\"\n"
          "wait 1\n"
          "press \"compose\"\n"
          "wait 1\n"
          "press \"Send\"\n"
          "wait 1\n"
          "quit\n");
    EXPECT_EQ(session.status, 0) << log();

    EXPECT_EQ(occurrences(readFile(home() / "Library" / "Preferences" / "com.brenzo.Brenzo.plist"), "SHKFacebook"), 1u);
    ASSERT_FALSE(session.lines.empty());
    EXPECT_EQ(session.lines.front(), "action sheet \"Share\" [Facebook] [Twitter] [SMS] [More...] [Cancel]");

    EXPECT_TRUE(session.containsLine("controller=SHKCustomShareMenu"));
    for (auto title : { "Email", "SMS", "Copy", "Open in Safari", "Logout" })
        EXPECT_TRUE(session.containsLine("text=\"" + std::string(title) + "\"")) << title;
    EXPECT_FALSE(session.containsLine("text=\"Print\""));

    EXPECT_TRUE(session.containsLine("copied \"" + std::string(storeLink) + "\""));
    EXPECT_TRUE(session.containsLine("text=\"Copied!\""));

    EXPECT_TRUE(session.containsLine("mail sent to friend@example.com \"" + std::string(promotionalTitle) + "\" (Outbox/mail-0001.eml)"));
    auto sharedMail = readFile(home() / "Outbox" / "mail-0001.eml");
    EXPECT_NE(sharedMail.find("Subject: " + std::string(promotionalTitle) + "\r\n"), std::string::npos) << sharedMail;
    EXPECT_NE(sharedMail.find("Content-Type: text/html"), std::string::npos) << sharedMail;
    EXPECT_NE(sharedMail.find(storeLink), std::string::npos) << sharedMail;

    EXPECT_TRUE(session.containsLine("text message sent to 0612345678 (Outbox/message-0001.txt)"));
    auto textMessage = readFile(home() / "Outbox" / "message-0001.txt");
    EXPECT_EQ(textMessage.substr(textMessage.find("\n\n") + 2), std::string(storeLink) + "\n");

    EXPECT_TRUE(session.containsLine("mail sent to feedback@brenzo.example.com \"Comments about Brenzo\" (Outbox/mail-0002.eml)"));
    EXPECT_NE(readFile(home() / "Outbox" / "mail-0002.eml").find("Subject: Comments about Brenzo\r\n"), std::string::npos);
}

TEST_F(ScriptedSession, ASharerSwitchedOffInTheMenuStaysOffAfterARelaunchUntilSwitchedOnAgain)
{
    auto first = run("press \"action\"\n"
                     "press \"More...\"\n"
                     "wait 1\n"
                     "press \"Edit\"\n"
                     "press \"SMS\"\n"
                     "press \"Done\"\n"
                     "tree\n"
                     "press \"Cancel\"\n"
                     "wait 1\n"
                     "quit\n");
    EXPECT_EQ(first.status, 0) << log();
    EXPECT_FALSE(first.containsLine("text=\"SMS\""));

    auto second = run("press \"action\"\n"
                      "press \"More...\"\n"
                      "wait 1\n"
                      "tree\n"
                      "quit\n");
    EXPECT_EQ(second.status, 0) << log();
    ASSERT_FALSE(second.lines.empty());
    EXPECT_EQ(second.lines.front(), "action sheet \"Share\" [Facebook] [Twitter] [More...] [Cancel]");
    EXPECT_TRUE(second.containsLine("text=\"Email\""));
    EXPECT_FALSE(second.containsLine("text=\"SMS\""));

    // Switched on again, it is back among the sheet's favourites where it was.
    auto third = run("press \"action\"\n"
                     "press \"More...\"\n"
                     "wait 1\n"
                     "press \"Edit\"\n"
                     "press \"SMS\"\n"
                     "press \"Done\"\n"
                     "press \"Cancel\"\n"
                     "wait 1\n"
                     "press \"action\"\n"
                     "quit\n");
    EXPECT_EQ(third.status, 0) << log();
    std::vector<std::string> sheets;
    for (auto& line : third.lines) {
        if (line.starts_with("action sheet"))
            sheets.push_back(line);
    }
    EXPECT_EQ(sheets, (std::vector<std::string> { "action sheet \"Share\" [Facebook] [Twitter] [More...] [Cancel]",
                          "action sheet \"Share\" [Facebook] [Twitter] [SMS] [More...] [Cancel]" }));
}

}
