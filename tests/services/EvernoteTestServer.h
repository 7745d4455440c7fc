#pragma once

#include "services/evernote/EDAMClients.h"

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace brenzo::testing {

// How every note body the application writes begins, with the production address of the DTD.
inline const std::string enmlHeader = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><!DOCTYPE en-note SYSTEM \"http://xml.evernote.com/pub/enml2.dtd\">"
                                      "<en-note style=\"word-wrap: break-word; -webkit-nbsp-mode: space; -webkit-line-break: after-white-space;\">";

// The note service on 127.0.0.1, served by libthrift: a user store and a note store, each an HTTP
// Thrift server of its own. It knows one account, answers the version check, hands out a token and
// a shard, lists the notebooks it is given and keeps every note it accepts. A note whose content is
// not well-formed XML is refused with a data-format error, as the service does.
class EvernoteTestServer {
public:
    struct State {
        bool versionAccepted = true;
        std::string username = "ada";
        std::string password = "lovelace";
        std::string token = "S=s7:U=1:token";
        std::string shardId = "s7";
        std::vector<EDAMNotebook> notebooks;
        // createNote refuses the next call with this code (and "Note.title" as its parameter).
        std::optional<int32_t> nextCreateNoteError;
        // createNote fails the next call with a system error of the service.
        bool nextCreateNoteFailsInternally = false;

        // What the service was asked, one line a call: "checkVersion ShrareKit EDMA 1.16",
        // "authenticate ada key secret", "listNotebooks TOKEN", "createNote TOKEN".
        std::vector<std::string> calls;
        std::vector<EDAMNote> createdNotes;
    };

    EvernoteTestServer();
    ~EvernoteTestServer();
    EvernoteTestServer(const EvernoteTestServer&) = delete;
    EvernoteTestServer& operator=(const EvernoteTestServer&) = delete;

    // "http://127.0.0.1:PORT/edam/user".
    std::string userStoreURL() const;
    // "http://127.0.0.1:PORT/edam/note/", to which a shard id is appended.
    std::string noteStoreURLBase() const;

    // Reads or changes the state under the server's lock.
    template<typename Function>
    auto with(Function&& function)
    {
        std::lock_guard guard(m_state->lock);
        return function(m_state->state);
    }

    // Waits (real time, capped) until the condition on the state holds.
    bool waitUntil(const std::function<bool(const State&)>&, double timeoutSeconds = 20);

    struct Shared {
        std::mutex lock;
        State state;
    };

    static EDAMNotebook notebook(std::string guid, std::string name, bool isDefault);

private:
    class Store;
    std::shared_ptr<Shared> m_state;
    std::unique_ptr<Store> m_userStore;
    std::unique_ptr<Store> m_noteStore;
};

}
