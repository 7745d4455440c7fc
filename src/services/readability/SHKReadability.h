#pragma once

#include "sharing/core/SHKOAuthSharer.h"

#include <atomic>

// Saves a link to the reading-list service Readability, an OAuth 1.0 service whose access token
// is by default had for the user name and password (xAuth) rather than through its web page. The
// share form's "Favorite" and "Archive" switches are remembered and sent with the bookmark.
class SHKReadability : public SHKOAuthSharer {
public:
    static constexpr std::string_view sharerClassName = "SHKReadability";
    static constexpr std::string_view userInfoDefaultsKey = "kSHKReadabilityUserInfo";
    static constexpr std::string_view errorDomain = "Readability";

    static std::string sharerTitle() { return "Readability"; }
    static bool canShareURL() { return true; }
    static std::optional<std::string> authorizationFormCaption();
    // Also forgets the user information kept in the user defaults.
    static void logout(const SHKSharerClass&);

    // Consumer, addresses and the xAuth switch from the configuration.
    void init() override;

    bool isAuthorized() override;
    void promptAuthorization() override;

    // The xAuth login.
    void authorizationFormValidate(SHKFormController&) override;
    void tokenAccessModifyRequest(OAMutableURLRequest&) override;
    void tokenAccessTicketDidFinishWithData(OAServiceTicket&, const fnd::Ref<fnd::Data>&) override;

    std::optional<std::vector<fnd::Ref<SHKFormFieldSettings>>> shareFormFieldsForType(SHKShareType) override;
    // Remembers the two switches, then saves as every sharer does.
    void shareFormSave(SHKFormController&) override;
    bool send() override;

    void sendBookmark();
    void sendBookmarkTicketDidFinishWithData(OAServiceTicket&, const fnd::Ref<fnd::Data>&);
    void sendBookmarkTicketDidFailWithError(OAServiceTicket&, const fnd::Ref<fnd::Error>&);
    void handleUnsuccessfulTicket(const fnd::Ref<fnd::Data>&);

    bool xAuth() const { return m_xAuth; }
    void setXAuth(bool xAuth) { m_xAuth = xAuth; }

private:
    std::string favoriteKey() const;
    std::string archiveKey() const;

    std::atomic<bool> m_xAuth { true };
};
