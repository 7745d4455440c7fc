#include "EvernoteTestServer.h"

#include <libxml/parser.h>
#include <thrift/protocol/TBinaryProtocol.h>
#include <thrift/server/TThreadedServer.h>
#include <thrift/transport/THttpServer.h>
#include <thrift/transport/TServerSocket.h>

#include <chrono>
#include <future>
#include <stdexcept>
#include <thread>
#include <utility>

namespace brenzo::testing {

namespace {

using namespace apache::thrift;

bool isWellFormedXML(const std::string& text)
{
    // No network and no DTD: the DOCTYPE's address is only named, never fetched.
    auto* document = xmlReadMemory(text.data(), static_cast<int>(text.size()), "note.enml", nullptr, XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
    if (!document)
        return false;
    xmlFreeDoc(document);
    return true;
}

EDAMUserException userException(int32_t code, std::string parameter)
{
    EDAMUserException exception;
    exception.__set_errorCode(code);
    exception.__set_parameter(std::move(parameter));
    return exception;
}

class UserStoreHandler final : public EDAMUserStoreIf {
public:
    explicit UserStoreHandler(std::shared_ptr<EvernoteTestServer::Shared> shared)
        : m_shared(std::move(shared))
    {
    }

    bool checkVersion(const std::string& clientName, int16_t major, int16_t minor) override
    {
        std::lock_guard guard(m_shared->lock);
        auto& state = m_shared->state;
        state.calls.push_back("checkVersion " + clientName + " " + std::to_string(major) + "." + std::to_string(minor));
        return state.versionAccepted;
    }

    void authenticate(EDAMAuthenticationResult& result, const std::string& username, const std::string& password, const std::string& consumerKey,
        const std::string& consumerSecret) override
    {
        std::lock_guard guard(m_shared->lock);
        auto& state = m_shared->state;
        state.calls.push_back("authenticate " + username + " " + consumerKey + " " + consumerSecret);
        if (username != state.username)
            throw userException(2, "username");
        if (password != state.password)
            throw userException(2, "password");
        EDAMUser user;
        user.__set_username(username);
        user.__set_shardId(state.shardId);
        result.__set_authenticationToken(state.token);
        result.__set_user(user);
        result.__set_currentTime(0);
    }

private:
    std::shared_ptr<EvernoteTestServer::Shared> m_shared;
};

class NoteStoreHandler final : public EDAMNoteStoreIf {
public:
    explicit NoteStoreHandler(std::shared_ptr<EvernoteTestServer::Shared> shared)
        : m_shared(std::move(shared))
    {
    }

    void listNotebooks(std::vector<EDAMNotebook>& notebooks, const std::string& token) override
    {
        std::lock_guard guard(m_shared->lock);
        auto& state = m_shared->state;
        state.calls.push_back("listNotebooks " + token);
        requireToken(token);
        notebooks = state.notebooks;
    }

    void createNote(EDAMNote& created, const std::string& token, const EDAMNote& note) override
    {
        std::lock_guard guard(m_shared->lock);
        auto& state = m_shared->state;
        state.calls.push_back("createNote " + token);
        requireToken(token);
        if (auto code = std::exchange(state.nextCreateNoteError, std::nullopt))
            throw userException(*code, "Note.title");
        if (std::exchange(state.nextCreateNoteFailsInternally, false)) {
            EDAMSystemException exception;
            exception.__set_errorCode(1);
            exception.__set_message("the shard is down");
            throw exception;
        }
        if (!note.__isset.content || !isWellFormedXML(note.content))
            throw userException(2, "Note.content");
        created = note;
        created.__set_guid("note-" + std::to_string(state.createdNotes.size() + 1));
        state.createdNotes.push_back(note);
    }

private:
    void requireToken(const std::string& token)
    {
        if (token != m_shared->state.token)
            throw userException(9, "authenticationToken");
    }

    std::shared_ptr<EvernoteTestServer::Shared> m_shared;
};

// Tells when the server socket listens.
class ListeningSignal final : public server::TServerEventHandler {
public:
    void preServe() override { m_listening.set_value(); }
    std::future<void> listening() { return m_listening.get_future(); }

private:
    std::promise<void> m_listening;
};

}

class EvernoteTestServer::Store {
public:
    explicit Store(std::shared_ptr<TProcessor> processor)
        : m_socket(std::make_shared<transport::TServerSocket>("127.0.0.1", 0))
        , m_server(processor, m_socket, std::make_shared<transport::THttpServerTransportFactory>(), std::make_shared<protocol::TBinaryProtocolFactory>())
    {
        auto signal = std::make_shared<ListeningSignal>();
        auto listening = signal->listening();
        m_server.setServerEventHandler(signal);
        m_thread = std::thread([this] { m_server.serve(); });
        if (listening.wait_for(std::chrono::seconds(20)) != std::future_status::ready)
            throw std::runtime_error("the test note service did not start");
    }

    ~Store()
    {
        m_server.stop();
        m_thread.join();
    }

    int port() const { return m_socket->getPort(); }

private:
    std::shared_ptr<transport::TServerSocket> m_socket;
    server::TThreadedServer m_server;
    std::thread m_thread;
};

EvernoteTestServer::EvernoteTestServer()
    : m_state(std::make_shared<Shared>())
    , m_userStore(std::make_unique<Store>(std::make_shared<EDAMUserStoreProcessor>(std::make_shared<UserStoreHandler>(m_state))))
    , m_noteStore(std::make_unique<Store>(std::make_shared<EDAMNoteStoreProcessor>(std::make_shared<NoteStoreHandler>(m_state))))
{
}

EvernoteTestServer::~EvernoteTestServer() = default;

std::string EvernoteTestServer::userStoreURL() const
{
    return "http://127.0.0.1:" + std::to_string(m_userStore->port()) + "/edam/user";
}

std::string EvernoteTestServer::noteStoreURLBase() const
{
    return "http://127.0.0.1:" + std::to_string(m_noteStore->port()) + "/edam/note/";
}

bool EvernoteTestServer::waitUntil(const std::function<bool(const State&)>& condition, double timeoutSeconds)
{
    auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(timeoutSeconds);
    for (;;) {
        if (with([&](State& state) { return condition(state); }))
            return true;
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

EDAMNotebook EvernoteTestServer::notebook(std::string guid, std::string name, bool isDefault)
{
    EDAMNotebook notebook;
    notebook.__set_guid(std::move(guid));
    notebook.__set_name(std::move(name));
    notebook.__set_defaultNotebook(isDefault);
    return notebook;
}

}
