#pragma once

#include "platform/foundation/URL.h"
#include "sharing/core/SHKSharer.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

class SHKRequest;

// What the bookmark services have in common: a login form whose values are checked with the
// service before the base class stores them, and one plain request per share whose reply status
// says finished, a new login or a failure. A member builds its requests and names its messages.
class SHKBookmarkSharer : public SHKSharer {
public:
    static constexpr std::string_view sharerClassName = "SHKBookmarkSharer";

    static bool canShareURL() { return true; }

    // The request callbacks.
    virtual void authFinished(SHKRequest&);
    void sendFinished(SHKRequest&);

    // A user name or password as the user-information part of an address: percent-encoded so that
    // it decodes back exactly, whatever it holds ("/", "@", ":", "?", "#"...).
    static std::string escapeUserInformation(std::string_view);
    // The endpoint's base address with the credentials inserted after "scheme://", then the path.
    static fnd::Ref<fnd::URL> addressWithCredentials(std::string_view endpointKey, std::string_view pathAndQuery, std::string_view user,
        std::string_view password);
    static fnd::Ref<fnd::URL> address(std::string_view endpointKey, std::string_view pathAndQuery);
    // "Create a free account at %@" (or another caption) filled with the endpoint's address.
    static std::string captionWithSignUpSite(std::string_view caption, std::string_view signUpKey);

protected:
    // Shows "Logging In..." unless quiet, starts the check and keeps the form until it answers.
    void startLoginCheck(SHKFormController&, fnd::Ref<fnd::URL>, std::optional<std::string> body, std::string method);
    // Starts the save request and reports the start.
    void startSaveRequest(fnd::Ref<fnd::URL>, std::optional<std::string> body, std::string method);

    // The login alert's message for a rejected check; nothing shows an empty message.
    virtual std::optional<std::string> loginFailureMessage(SHKRequest&) = 0;
    virtual bool saveSucceeded(SHKRequest& request);
    // The reply status that means the stored login was rejected, and what to resume after it.
    virtual int reloginStatus() const { return 401; }
    virtual PendingAction reloginPendingAction() const { return PendingActionSend; }
    virtual std::string saveFailureMessage(SHKRequest&) = 0;
    // A failed save or token request: a new login or a failure with the member's message.
    void handleUnsuccessfulSave(SHKRequest&);

    void showLoginError(const std::optional<std::string>& message);
    void showLoggingIn();
    static void hideActivity();
    static int statusOf(const SHKRequest&);
    // The reply's "X-Error" header, used as it stands.
    static std::optional<std::string> serviceError(const SHKRequest&);

    // Title, Tags, Notes and a Shared switch.
    std::vector<fnd::Ref<SHKFormFieldSettings>> titleTagsNotesSharedFields();
    std::string storedCredential(std::string_view key) const { return getAuthValueForKey(key).value_or(""); }
    // "yes" or "no" from the item's "shared" switch.
    std::string sharedFlag() const;
};
