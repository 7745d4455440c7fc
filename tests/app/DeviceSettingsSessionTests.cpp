#include "ScriptedSession.h"

#include "support/LoopbackServer.h"

#include <sys/wait.h>

#include <fstream>

namespace brenzo::testing {

TEST_F(ScriptedSession, TheTerminalSetsTheLocationTheTweetSheetAndServiceEndpoints)
{
    LoopbackServer peer;
    auto servicesFile = m_folder.path() / "services.txt";
    std::ofstream(servicesFile) << "# the micro-blog API on a loopback peer\ntw.api=" << peer.url("") << "\n";

    auto session = run("location\n"
                       "location 52.37403 4.88969 65\n"
                       "location denied\n"
                       "location off\n"
                       "location on\n"
                       "location 91 0\n"
                       "tweet-sheet\n"
                       "tweet-sheet off\n"
                       "tweet-sheet\n"
                       "endpoint tw.api\n"
                       "endpoint fb.graph\n"
                       "endpoint no.such\n"
                       "open-url http://example.com/page\n"
                       "open-url fb517390286044913://authorize#access_token=T\n"
                       "can-open FBAuth on\n"
                       "can-open tel off\n"
                       "multitasking off\n"
                       "quit\n",
        "--tweet-sheet on --services '" + servicesFile.string() + "'");
    std::string at = "at 52.37403,4.88969 \u00B165 m";
    EXPECT_EQ(session.lines, (std::vector<std::string> {
                                 "location services on, not-determined, significant changes available, no fix",
                                 "location services on, not-determined, significant changes available, " + at,
                                 "location services on, denied, significant changes available, " + at,
                                 "location services off, denied, significant changes available, " + at,
                                 "location services on, denied, significant changes available, " + at,
                                 "error: line 6: a latitude lies within -90...90 and a longitude within -180...180",
                                 "tweet sheet on",
                                 "tweet sheet off",
                                 "tweet sheet off",
                                 "endpoint tw.api " + peer.url(""),
                                 "endpoint fb.graph https://graph.facebook.com",
                                 "error: line 12: unknown service endpoint \"no.such\"",
                                 "application accepted URL http://example.com/page",
                                 "application accepted URL fb517390286044913://authorize#access_token=T",
                                 "can open FBAuth URLs: yes",
                                 "can open tel URLs: no",
                                 "multitasking off",
                             }));
    EXPECT_EQ(WEXITSTATUS(session.status), 1) << log();

    // Without the options the sheet is absent and the endpoints are the production ones.
    auto plain = run("tweet-sheet\nendpoint tw.api\nquit\n");
    EXPECT_EQ(plain.status, 0) << log();
    ASSERT_EQ(plain.lines.size(), 2u);
    EXPECT_EQ(plain.lines[0], "tweet sheet off");
    EXPECT_EQ(plain.lines[1].rfind("endpoint tw.api https://", 0), 0u) << plain.lines[1];

    auto refused = run("quit\n", "--tweet-sheet maybe");
    EXPECT_EQ(WEXITSTATUS(refused.status), 2);
    EXPECT_NE(log().find("--tweet-sheet takes on or off"), std::string::npos) << log();
}

}
