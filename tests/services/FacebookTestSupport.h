#pragma once

#include "platform/foundation/Log.h"
#include "platform/foundation/ObserverToken.h"
#include "platform/graphics/Image.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/Window.h"
#include "support/LoopbackServer.h"
#include "support/TemporaryHome.h"
#include "support/VirtualTime.h"
#include "SharingTestEnvironment.h"

#include <gtest/gtest.h>

#include <functional>
#include <mutex>
#include <memory>
#include <string>
#include <vector>

namespace brenzo::testing {

// A device for the Facebook client and sharer: virtual time, a fresh home with an in-memory
// keychain and the application's configuration, a key window, the network online, no Facebook
// session, and a loopback server that plays graph, REST, dialog and login hosts. Tests register
// their routes on m_server, then call startServer().
class FacebookTest : public ::testing::Test {
protected:
    FacebookTest();
    ~FacebookTest() override;

    void startServer();
    // Runs the main loop until the condition holds (a generous real-time cap).
    bool settle(const std::function<bool()>& condition);
    void runUntilIdle();

    // The sharer notifications posted so far, by name ("SHKSendDidFinish", ...).
    const std::vector<std::string>& notifications() const { return m_notifications; }
    size_t notificationCount(const std::string& name) const;
    const std::vector<std::string>& openedURLs() const;
    // "Title: message" of each alert on screen.
    static std::vector<std::string> alertTexts();

    VirtualTime m_time;
    TemporaryHome m_home;
    fnd::LogCapture m_log;
    LoopbackServer m_server;
    std::shared_ptr<ui::Window> m_window;
    std::shared_ptr<ui::ViewController> m_root;

private:
    std::vector<std::string> m_notifications;
    std::vector<fnd::ObserverToken> m_observers;
};

// A picture of one colour.

// What a route of the loopback server was sent, as cpp-httplib decoded it.
struct ReceivedCall {
    std::string method;
    std::string path;
    httplib::Params params;
    httplib::MultipartFormDataMap parts;
    std::string userAgent;
    std::string contentType;

    std::string param(const std::string& name) const;
};

// Records every call of a route (from the server's thread) for the test to read.
class CallLog {
public:
    void record(const httplib::Request&);
    std::vector<ReceivedCall> calls() const;
    size_t count() const;

private:
    mutable std::mutex m_lock;
    std::vector<ReceivedCall> m_calls;
};

}
