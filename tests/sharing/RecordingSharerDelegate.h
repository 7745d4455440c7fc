#pragma once

#include "sharing/core/SHKSharer.h"
#include "sharing/core/SHKSharerDelegate.h"

#include <string>
#include <vector>

namespace brenzo::testing {

// The default reports, each written down: "started", "finished", "cancelled", "auth yes|no", and
// "failed" followed by ": <message>" when the messages are kept and " relogin" when a new login
// is asked for.
class RecordingSharerDelegate : public SHKSharerDelegate {
public:
    enum class Failures {
        WithMessages,
        WithoutMessages,
        // The error's domain and code before its message.
        WithDomainCodeAndMessage,
    };

    explicit RecordingSharerDelegate(Failures failures = Failures::WithMessages)
        : m_failures(failures)
    {
    }

    void sharerStartedSending(SHKSharer& sharer) override
    {
        events.push_back("started");
        SHKSharerDelegate::sharerStartedSending(sharer);
    }
    void sharerFinishedSending(SHKSharer& sharer) override
    {
        events.push_back("finished");
        SHKSharerDelegate::sharerFinishedSending(sharer);
    }
    void sharerFailedWithErrorShouldRelogin(SHKSharer& sharer, const fnd::Ref<fnd::Error>& error, bool relogin) override
    {
        std::string event = "failed";
        if (m_failures != Failures::WithoutMessages) {
            event += ": ";
            if (error && m_failures == Failures::WithDomainCodeAndMessage)
                event += error->domain() + " " + std::to_string(error->code()) + " ";
            event += error ? error->localizedDescription() : std::string("(no error)");
        }
        events.push_back(event + (relogin ? " relogin" : ""));
        if (!relogin || loginAgain)
            SHKSharerDelegate::sharerFailedWithErrorShouldRelogin(sharer, error, relogin);
    }
    void sharerCancelledSending(SHKSharer& sharer) override
    {
        events.push_back("cancelled");
        SHKSharerDelegate::sharerCancelledSending(sharer);
    }
    void sharerAuthDidFinishSuccess(SHKSharer& sharer, bool success) override
    {
        events.push_back(std::string("auth ") + (success ? "yes" : "no"));
        SHKSharerDelegate::sharerAuthDidFinishSuccess(sharer, success);
    }

    std::vector<std::string> events;
    // Whether a failure that asks for a new login shows the login again, as the default delegate does.
    bool loginAgain = true;

private:
    Failures m_failures;
};

}
