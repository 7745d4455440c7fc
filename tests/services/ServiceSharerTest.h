#pragma once

#include "SharingScreenTest.h"

#include "platform/foundation/RunLoop.h"
#include "platform/ui/Label.h"
#include "platform/ui/PressFinder.h"
#include "platform/ui/TableView.h"
#include "services/ServiceEndpoints.h"
#include "sharing/core/SHK.h"
#include "sharing/core/SHKSharer.h"
#include "sharing/core/SHKSharerDelegate.h"
#include "sharing/ui/SHKActivityIndicator.h"
#include "sharing/ui/SHKFormController.h"
#include "sharing/ui/SHKFormFieldCell.h"
#include "sharing/ui/SHKOAuthView.h"
#include "RecordingSharerDelegate.h"
#include "support/LoopbackServer.h"

#include <map>
#include <mutex>

namespace brenzo::testing {

using RecordingShareDelegate = RecordingSharerDelegate;

// A reply the peer gives to one path.
struct PeerReply {
    int status = 200;
    std::string body;
    std::optional<std::string> error;
    // Sends the client on to this address.
    std::optional<std::string> location = std::nullopt;
};

// A sharing screen with one loopback peer standing in for every service endpoint named, whose
// replies per path a test sets.
class ServiceSharerTest : public SharingScreenTest {
protected:
    static constexpr double patience = 20;

    ServiceSharerTest(std::shared_ptr<const DefaultSHKConfigurator> configurator, std::vector<std::string> endpointKeys)
        : SharingScreenTest(std::move(configurator))
    {
        auto handler = [this](const httplib::Request& request, httplib::Response& response) {
            PeerReply reply;
            {
                std::lock_guard lock(m_repliesLock);
                auto found = m_replies.find(request.path);
                if (found != m_replies.end())
                    reply = found->second;
            }
            response.status = reply.status;
            if (reply.error)
                response.set_header("X-Error", *reply.error);
            response.set_content(reply.body, "text/plain");
            if (reply.location)
                response.set_redirect(*reply.location);
        };
        m_server.http().Get(".*", handler);
        m_server.http().Post(".*", handler);
        m_server.start();
        std::map<std::string, std::string> overrides;
        for (auto& key : endpointKeys)
            overrides[key] = m_server.url("");
        EXPECT_FALSE(ServiceEndpoints::shared().apply(overrides));
    }

    ~ServiceSharerTest() override
    {
        // A sharer waiting on a form or a web login holds itself: cancelling lets it go.
        for (int screens = 0; screens < 8; ++screens) {
            shownForm();
            auto current = SHK::currentHelper().currentView();
            if (auto navigation = std::dynamic_pointer_cast<ui::NavigationController>(current); navigation && !std::dynamic_pointer_cast<SHKSharer>(current))
                current = navigation->topViewController();
            if (auto login = std::dynamic_pointer_cast<SHKOAuthView>(current))
                login->cancel();
            else if (auto sharer = std::dynamic_pointer_cast<SHKSharer>(current))
                sharer->sendDidCancel();
            else
                break;
            SHK::currentHelper().hideCurrentViewControllerAnimated(false);
        }
        ServiceEndpoints::shared().reset();
    }

    void reply(const std::string& path, PeerReply reply)
    {
        std::lock_guard lock(m_repliesLock);
        m_replies[path] = std::move(reply);
    }

    template<typename Sharer>
    std::shared_ptr<Sharer> makeSharer(fnd::Ref<SHKItem> item)
    {
        auto sharer = SHKSharer::create<Sharer>();
        sharer->setItem(std::move(item));
        sharer->setShareDelegate(m_delegate);
        return sharer;
    }

    // Runs the main loop until the peer has handled that many requests and the sharer has reported
    // that many events.
    bool waitFor(size_t requests, size_t events)
    {
        bool done = fnd::RunLoop::main().runUntil([&] { return m_server.requestCount() >= requests && m_delegate->events.size() >= events; }, patience);
        settle();
        return done;
    }

    // Does what `act` does, then waits for one more request at the peer and `reports` more reports
    // from the sharer.
    bool waitForOneMoreRequest(const std::function<void()>& act, size_t reports)
    {
        auto requestCount = m_server.requestCount();
        auto eventCount = m_delegate->events.size();
        act();
        return waitFor(requestCount + 1, eventCount + reports);
    }

    bool waitUntil(const std::function<bool()>& condition)
    {
        bool done = fnd::RunLoop::main().runUntil(condition, patience);
        settle();
        return done;
    }

    // Presses the button once the screens have settled.
    void press(std::string_view text)
    {
        shownForm();
        ASSERT_EQ(ui::PressFinder::press(text).status, ui::PressFinder::Result::Status::Pressed) << text;
    }

    // Fills the login form on screen with the two values and presses "Login".
    void logIn(std::string_view user, std::string_view password)
    {
        auto form = shownForm();
        ASSERT_TRUE(form);
        ASSERT_EQ(form->title(), "Login");
        type(*form, 0, user);
        type(*form, 1, password);
        press("Login");
    }

    // The texts of the alerts on screen, which are then closed.
    std::vector<std::string> takeAlerts()
    {
        auto texts = alertTexts();
        for (size_t index = 0; index < texts.size(); ++index)
            press("Close");
        settle();
        return texts;
    }

    static std::string indicatorText()
    {
        auto& indicator = SHKActivityIndicator::currentIndicator();
        if (!indicator.superview() || indicator.alpha() <= 0)
            return "(hidden)";
        std::string text = indicator.centerMessageLabel() ? indicator.centerMessageLabel()->text() : "";
        return text + (indicator.subMessageLabel() ? indicator.subMessageLabel()->text() : "");
    }

    std::vector<RecordedRequest> requests() const { return m_server.requests(); }
    std::vector<std::string>& events() { return m_delegate->events; }

private:
    // Declared before the server, so they outlive its handler threads.
    std::mutex m_repliesLock;
    std::map<std::string, PeerReply> m_replies;

protected:
    LoopbackServer m_server;
    std::shared_ptr<RecordingShareDelegate> m_delegate = std::make_shared<RecordingShareDelegate>();
};

}
