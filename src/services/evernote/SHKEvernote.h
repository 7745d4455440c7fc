#pragma once

#include "services/evernote/EvernoteUpload.h"
#include "sharing/core/SHKSharer.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Saves a link, a text, a picture or a file as a note in the note service. The login check and
// every upload make blocking calls on a thread of their own, started with a copy of what they
// need and holding the sharer; each hands its result to the main thread and waits until it has
// been handled there.
class SHKEvernote final : public SHKSharer {
public:
    static constexpr std::string_view sharerClassName = "SHKEvernote";

    static std::string sharerTitle() { return "Evernote"; }
    static bool canShareURL() { return true; }
    static bool canShareImage() { return true; }
    static bool canShareText() { return true; }
    static bool canShareFile() { return true; }
    static bool requiresAuthentication() { return true; }
    static bool canShare() { return true; }
    static std::vector<fnd::Ref<SHKFormFieldSettings>> authorizationFormFields();
    static std::optional<std::string> authorizationFormCaption();

    std::optional<std::vector<fnd::Ref<SHKFormFieldSettings>>> shareFormFieldsForType(SHKShareType) override;

    // Shows "Logging In..." and checks the entered user name and password with the service.
    void authorizationFormValidate(SHKFormController&) override;
    bool send() override;

    // What the upload thread is given: the item's values, the stored login and the configuration.
    EvernoteUpload::Share shareForUpload();

private:
    void authFinished(bool success);
    void sendFinished(const EvernoteUpload::Result&);

    std::shared_ptr<SHKEvernote> protectedEvernote();
    // Runs `work` with the sharer on the main thread and waits until it has run; the sharer is let
    // go there too. A main loop that is shutting down drops the work and the thread goes on.
    static void handToMainThread(std::shared_ptr<SHKEvernote>, std::function<void(SHKEvernote&)> work);
    // The service refused this application's protocol version: an alert, shown on the main thread.
    static void showVersionRefused();
};
