#pragma once

#include "services/bookmarks/SHKBookmarkSharer.h"

#include <map>

// Shares a link on the feed reader Google Reader. The login's reply values are kept for the
// sharer's life and sign every later request (as cookies and a "GoogleLogin" authorisation); a
// share first fetches an edit token, then posts the item with it.
class SHKGoogleReader : public SHKBookmarkSharer {
public:
    static constexpr std::string_view sharerClassName = "SHKGoogleReader";
    static constexpr std::string_view sourceVersion = "0.2.1";

    static std::string sharerTitle() { return "Google Reader"; }
    static std::optional<std::string> authorizationFormCaption();
    // "Email" and "Password".
    static std::vector<fnd::Ref<SHKFormFieldSettings>> authorizationFormFields();

    void authorizationFormValidate(SHKFormController&) override;
    std::optional<std::vector<fnd::Ref<SHKFormFieldSettings>>> shareFormFieldsForType(SHKShareType) override;
    // Sends, then remembers the "Public" switch for automatic shares.
    void shareFormSave(SHKFormController&) override;
    bool send() override;

    void getSession(const std::string& email, const std::string& password);
    void authFinished(SHKRequest&) override;
    void tokenFinished(SHKRequest&);
    void sendWithToken(const std::string& token);
    void signRequest(SHKRequest&) const;

    // The login reply's "name=value" lines; nothing before a login.
    const std::optional<std::map<std::string, std::string>>& session() const { return m_session; }

protected:
    std::optional<std::string> loginFailureMessage(SHKRequest&) override;
    PendingAction reloginPendingAction() const override { return PendingActionNone; }
    std::string saveFailureMessage(SHKRequest&) override;

private:
    static std::map<std::string, std::string> parseSession(std::string_view reply);
    std::string isPublicKey() const;

    std::optional<std::map<std::string, std::string>> m_session;
};
