#include "EvernoteTestServer.h"
#include "support/FileContents.h"
#include "support/ProgramOutput.h"
#include "support/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

using namespace brenzo::testing;

const std::string storeLink = "https://store.example.com/apps/brenzo";
const std::string promotionalTitle = "\"Geek or not, everyone needs Brenzo!\" 12 contacts ready to be dialed in only 2 taps";

// The application, run on a script, shares the board's store link to the note service on
// 127.0.0.1: the login form, the login check, the share form and the upload.
TEST(EvernoteSession, TheStoreLinkIsSavedAsANote)
{
    EvernoteTestServer service;
    service.with([](auto& state) { state.notebooks = { EvernoteTestServer::notebook("nb-1", "Main", true) }; });
    TemporaryDirectory folder;
    auto services = folder.path() / "services.txt";
    std::ofstream(services) << "evernote.userStore=" << service.userStoreURL() << "\n"
                            << "evernote.noteStore=" << service.noteStoreURLBase() << "\n";
    auto script = folder.path() / "session.txt";
    std::ofstream(script) << "press \"action\"\n"
                             "press \"More...\"\n"
                             "wait 1\n"
                             "press \"Evernote\"\n"
                             "wait 1\n"
                             "type \"ada\\nwrong\\n\"\n"
                             "wait 1\n"
                             "press \"Close\"\n"
                             "tap 160 140\n"
                             "type \"lovelace\\n\"\n"
                             "wait 1\n"
                             "wait 1\n"
                             "tap 160 140\n"
                             "type \"brenzo contacts\"\n"
                             "press \"Send to Evernote\"\n"
                             "wait 0\n"
                             "tree\n"
                             "quit\n";
    auto command = std::string("'") + BRENZO_APP_PATH + "' --home '" + (folder.path() / "home").string() + "' --services '" + services.string()
        + "' --script '" + script.string() + "' 2>'" + (folder.path() / "log.txt").string() + "'";

    auto session = runShellCommand(command);

    auto log = readFile(folder.path() / "log.txt");
    EXPECT_EQ(session.status, 0) << log;
    EXPECT_TRUE(session.containsLine("alert \"Login Error\" \"Your username and password did not match\" [Close]"));
    EXPECT_TRUE(session.containsLine("text=\"Saved!\""));

    auto notes = service.with([](auto& state) { return state.createdNotes; });
    ASSERT_EQ(notes.size(), 1u) << log;
    auto& note = notes.front();
    EXPECT_EQ(note.title, std::string(promotionalTitle));
    EXPECT_EQ(note.content,
        enmlHeader + "<h1><a href=\"" + storeLink + "\">&quot;Geek or not, everyone needs Brenzo!&quot; 12 contacts ready to be dialed in only 2 taps</a></h1>"
            + "<p><a href=\"" + storeLink + "\">" + storeLink + "</a></p></en-note>");
    EXPECT_EQ(note.tagNames, (std::vector<std::string> { "brenzo", "contacts" }));
    EXPECT_EQ(note.notebookGuid, "nb-1");
    EXPECT_EQ(note.attributes.sourceURL, storeLink);
    EXPECT_EQ(service.with([](auto& state) { return state.calls; }),
        (std::vector<std::string> { "checkVersion ShrareKit EDMA 1.16", "authenticate ada  ", "checkVersion ShrareKit EDMA 1.16", "authenticate ada  ",
            "checkVersion ShrareKit EDMA 1.16", "authenticate ada  ", "listNotebooks S=s7:U=1:token", "createNote S=s7:U=1:token" }));
}

}
