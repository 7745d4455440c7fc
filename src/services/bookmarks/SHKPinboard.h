#pragma once

#include "services/bookmarks/SHKBookmarkSharer.h"

// Saves a link to the bookmarking service Pinboard, whose requests carry the login as the
// address's user information (HTTP Basic authorisation).
class SHKPinboard : public SHKBookmarkSharer {
public:
    static constexpr std::string_view sharerClassName = "SHKPinboard";

    static std::string sharerTitle() { return "Pinboard"; }
    static std::optional<std::string> authorizationFormCaption();

    void authorizationFormValidate(SHKFormController&) override;
    std::optional<std::vector<fnd::Ref<SHKFormFieldSettings>>> shareFormFieldsForType(SHKShareType) override;
    bool send() override;

protected:
    std::optional<std::string> loginFailureMessage(SHKRequest&) override;
    std::string saveFailureMessage(SHKRequest&) override;
};
