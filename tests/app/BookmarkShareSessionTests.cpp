#include "ScriptedSession.h"

#include "support/HttpForm.h"
#include "support/LoopbackServer.h"

#include <fstream>

namespace brenzo::testing {

namespace {

// The share button's link and title, as the board shares them.
constexpr std::string_view storeLink = "https://store.example.com/apps/brenzo";
// Every character that would end or split an address's user information if sent as it stands.
constexpr std::string_view password = "p/a@s&s?w#o:rd";

}

TEST_F(ScriptedSession, TheStoreLinkIsSavedToPinboardWithTheLoginCheckedFirst)
{
    LoopbackServer pinboard;
    pinboard.http().Get("/v1/posts/(get|add)", [](const httplib::Request&, httplib::Response& response) {
        response.set_content("<result code=\"done\" />", "text/xml");
    });
    pinboard.start();
    auto services = m_folder.path() / "services.txt";
    std::ofstream(services) << "pinboard=" << pinboard.url("") << "\n";

    // Pinboard is below the fold of the share menu. The login form selects its first field; the
    // second one is below it. The checked login hands the sharer over to its share form, which
    // the second wait lets come on screen.
    auto session = run(std::string("press \"action\"\n"
                                   "press \"More...\"\n"
                                   "wait 1\n"
                                   "drag 160 400 160 250 10\n"
                                   "wait 1\n"
                                   "press \"Pinboard\"\n"
                                   "wait 1\n"
                                   "type \"joe@example.com\"\n"
                                   "tap 160 140\n"
                                   "type \"")
            + std::string(password)
            + "\"\n"
              "press \"Login\"\n"
              "wait 2\n"
              "wait 1\n"
              "press \"Send to Pinboard\"\n"
              "wait 0\n"
              "tree\n"
              "quit\n",
        "--services '" + services.string() + "'");
    EXPECT_EQ(session.status, 0) << log();

    auto sent = pinboard.requests();
    ASSERT_EQ(sent.size(), 2u) << log();
    EXPECT_EQ(sent[0].method, "GET");
    EXPECT_EQ(sent[0].path, "/v1/posts/get");
    EXPECT_EQ(sent[1].method, "GET");
    EXPECT_EQ(sent[1].path, "/v1/posts/add");
    auto query = decodeQuery(sent[1].query);
    EXPECT_EQ(formValue(query, "url"), std::string(storeLink));
    EXPECT_EQ(formValue(query, "description"), "\"Geek or not, everyone needs Brenzo!\" 12 contacts ready to be dialed in only 2 taps");
    EXPECT_EQ(formValue(query, "shared"), "no");
    for (auto& request : sent) {
        auto header = request.header("Authorization");
        ASSERT_TRUE(header) << request.path;
        auto credentials = decodeBasicAuthorization(*header);
        ASSERT_TRUE(credentials) << *header;
        EXPECT_EQ(credentials->user, "joe@example.com");
        EXPECT_EQ(credentials->password, password);
    }
    EXPECT_TRUE(session.containsLine("text=\"Saved!\"")) << log();
}

}
