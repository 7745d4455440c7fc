#include "EvernoteTestServer.h"
#include "services/evernote/EDAMClients.h"
#include "support/LoopbackServer.h"

#include <gtest/gtest.h>

#include <mutex>
#include <thrift/TApplicationException.h>
#include <thrift/protocol/TProtocolException.h>
#include <thrift/transport/TTransportException.h>

namespace {

using apache::thrift::TApplicationException;
using apache::thrift::protocol::TProtocolException;
using apache::thrift::transport::TTransportException;
using brenzo::testing::EvernoteTestServer;
using brenzo::testing::LoopbackServer;

std::string bytes(std::initializer_list<int> values)
{
    std::string result;
    for (int value : values)
        result.push_back(static_cast<char>(value));
    return result;
}

std::string int32(uint32_t value)
{
    return bytes({ int(value >> 24) & 0xff, int(value >> 16) & 0xff, int(value >> 8) & 0xff, int(value) & 0xff });
}

std::string string(const std::string& text)
{
    return int32(static_cast<uint32_t>(text.size())) + text;
}

// The old header form the service may answer with: the name first, no version word.
std::string unversionedReplyHeader(const std::string& name)
{
    return string(name) + bytes({ 2 }) + int32(0);
}

// A note store on the loopback server that answers every call with the given bytes and status.
class CannedNoteStore : public ::testing::Test {
protected:
    void answer(std::string reply, int status = 200)
    {
        m_server.http().Post("/note/s1", [reply, status](const httplib::Request&, httplib::Response& response) {
            response.status = status;
            response.set_content(reply, "application/x-thrift");
        });
        m_server.start();
    }

    EDAMNote createNote(const std::string& token, const EDAMNote& note)
    {
        EDAMNote created;
        EDAMClients::noteStore(m_server.url("/note/s1"))->createNote(created, token, note);
        return created;
    }

    static EDAMNote titledNote()
    {
        EDAMNote note;
        note.__set_title("T");
        note.__set_content("C");
        return note;
    }

    LoopbackServer m_server;
};

TEST_F(CannedNoteStore, ACallGoesOutAsTheRecordedBytesAndAnOldStyleReplyIsRead)
{
    auto noteStruct = bytes({ 0x0c, 0, 0 }) + bytes({ 0x0b, 0, 1 }) + string("guid-1") + bytes({ 0 });
    answer(unversionedReplyHeader("createNote") + noteStruct + bytes({ 0 }));

    auto created = createNote("tok", titledNote());

    EXPECT_TRUE(created.__isset.guid);
    EXPECT_EQ(created.guid, "guid-1");
    EXPECT_FALSE(created.__isset.title);

    auto request = m_server.lastRequest();
    ASSERT_TRUE(request);
    // Unset fields never appear: the note is its title, its content and the stop byte.
    std::string expected = string("createNote") + bytes({ 1 }) + int32(0)
        + bytes({ 0x0b, 0, 1 }) + string("tok")
        + bytes({ 0x0c, 0, 2 }) + bytes({ 0x0b, 0, 2 }) + string("T") + bytes({ 0x0b, 0, 3 }) + string("C") + bytes({ 0 })
        + bytes({ 0 });
    EXPECT_EQ(request->body, expected);
    EXPECT_EQ(request->method, "POST");
    EXPECT_EQ(request->header("Content-Type"), "application/x-thrift");
    EXPECT_EQ(request->header("Accept"), "application/x-thrift");
    EXPECT_EQ(request->header("User-Agent"), "Cocoa/THTTPClient");
    EXPECT_FALSE(request->header("Expect"));
}

TEST_F(CannedNoteStore, AReplyWithoutAResultOrAnExceptionIsAnUnknownResult)
{
    answer(unversionedReplyHeader("createNote") + bytes({ 0 }));
    try {
        createNote("tok", titledNote());
        FAIL() << "no exception";
    } catch (const TApplicationException& exception) {
        EXPECT_EQ(exception.getType(), TApplicationException::MISSING_RESULT);
        EXPECT_STREQ(exception.what(), "createNote failed: unknown result");
    }
}

TEST_F(CannedNoteStore, AnExceptionMessageIsRaisedWithItsTextAndType)
{
    auto header = string("createNote") + bytes({ 3 }) + int32(0);
    answer(header + bytes({ 0x0b, 0, 1 }) + string("no such method") + bytes({ 0x08, 0, 2 }) + int32(1) + bytes({ 0 }));
    try {
        createNote("tok", titledNote());
        FAIL() << "no exception";
    } catch (const TApplicationException& exception) {
        EXPECT_EQ(exception.getType(), TApplicationException::UNKNOWN_METHOD);
        EXPECT_STREQ(exception.what(), "no such method");
    }
}

TEST_F(CannedNoteStore, AnHTTPErrorIsATransportErrorBeforeAnyReplyByteIsRead)
{
    // A body that would read as a good reply: the status alone must fail the call.
    auto noteStruct = bytes({ 0x0c, 0, 0 }) + bytes({ 0x0b, 0, 1 }) + string("guid-1") + bytes({ 0 });
    answer(unversionedReplyHeader("createNote") + noteStruct + bytes({ 0 }), 500);
    try {
        createNote("tok", titledNote());
        FAIL() << "no exception";
    } catch (const TTransportException& exception) {
        EXPECT_STREQ(exception.what(), "Bad response from HTTP server: 500");
    }
}

TEST_F(CannedNoteStore, TruncatedAndBadlyVersionedRepliesFail)
{
    // Changed between calls while the server's threads read it.
    std::mutex replyLock;
    std::string reply;
    m_server.http().Post("/note/s1", [&](const httplib::Request&, httplib::Response& response) {
        std::lock_guard guard(replyLock);
        response.set_content(reply, "application/x-thrift");
    });
    m_server.start();
    auto answer = [&](std::string next) {
        std::lock_guard guard(replyLock);
        reply = std::move(next);
    };

    // A string length far beyond the reply fails before anything is allocated.
    answer(unversionedReplyHeader("createNote") + bytes({ 0x0c, 0, 0, 0x0b, 0, 1 }) + int32(0x7fffff00));
    EXPECT_THROW(createNote("tok", titledNote()), TTransportException);
    answer(int32(0x80020000u) + string("createNote") + int32(0));
    EXPECT_THROW(createNote("tok", titledNote()), TProtocolException);
    // The handler reads the reply kept on this stack.
    m_server.stop();
}

TEST(EvernoteRemoteCalls, NoReplyAtAllCouldNotMakeTheRequest)
{
    for (auto url : { "http://127.0.0.1:" + std::to_string(LoopbackServer::closedPort()) + "/edam/user", std::string("not an address") }) {
        try {
            EDAMClients::userStore(url)->checkVersion("ShrareKit EDMA", 1, 16);
            FAIL() << "no exception for " << url;
        } catch (const TTransportException& exception) {
            EXPECT_STREQ(exception.what(), "Could not make HTTP request") << url;
        }
    }
}

TEST(EvernoteRemoteCalls, TheFourCallsAgainstTheLibthriftService)
{
    EvernoteTestServer service;
    service.with([](auto& state) {
        state.notebooks = { EvernoteTestServer::notebook("nb-1", "Inbox", false), EvernoteTestServer::notebook("nb-2", "Main", true) };
    });

    auto userStore = EDAMClients::userStore(service.userStoreURL());
    EXPECT_TRUE(userStore->checkVersion("ShrareKit EDMA", g_EDAMUserStore_constants.EDAM_VERSION_MAJOR, g_EDAMUserStore_constants.EDAM_VERSION_MINOR));
    EDAMAuthenticationResult login;
    userStore->authenticate(login, "ada", "lovelace", "key", "secret");
    ASSERT_TRUE(login.__isset.user && login.__isset.authenticationToken);
    EXPECT_EQ(login.user.shardId, "s7");
    try {
        userStore->authenticate(login, "ada", "wrong", "key", "secret");
        FAIL() << "no exception";
    } catch (const EDAMUserException& exception) {
        EXPECT_EQ(exception.errorCode, 2);
        EXPECT_EQ(exception.parameter, "password");
    }

    auto noteStore = EDAMClients::noteStore(service.noteStoreURLBase() + login.user.shardId);
    std::vector<EDAMNotebook> notebooks;
    noteStore->listNotebooks(notebooks, login.authenticationToken);
    ASSERT_EQ(notebooks.size(), 2u);
    EXPECT_TRUE(notebooks[1].defaultNotebook);

    // A content of several megabytes goes through in one exchange.
    EDAMNote note;
    note.__set_title("Big");
    note.__set_content("<en-note>" + std::string(3 << 20, 'x') + "</en-note>");
    EDAMNote created;
    noteStore->createNote(created, login.authenticationToken, note);
    EXPECT_EQ(created.guid, "note-1");

    service.with([](auto& state) { state.nextCreateNoteError = 9; });
    try {
        noteStore->createNote(created, login.authenticationToken, note);
        FAIL() << "no exception";
    } catch (const EDAMUserException& exception) {
        EXPECT_EQ(exception.errorCode, 9);
    }
    EXPECT_EQ(service.with([](auto& state) { return state.calls; }),
        (std::vector<std::string> { "checkVersion ShrareKit EDMA 1.16", "authenticate ada key secret", "authenticate ada key secret",
            "listNotebooks S=s7:U=1:token", "createNote S=s7:U=1:token", "createNote S=s7:U=1:token" }));
}

}
