#pragma once

#include "services/bookmarks/SHKBookmarkSharer.h"

// Saves a link to the bookmarking service Diigo: the login as the address's user information and
// the configured application key in every request.
class SHKDiigo : public SHKBookmarkSharer {
public:
    static constexpr std::string_view sharerClassName = "SHKDiigo";

    static std::string sharerTitle() { return "Diigo"; }
    static std::optional<std::string> authorizationFormCaption();

    void authorizationFormValidate(SHKFormController&) override;
    std::optional<std::vector<fnd::Ref<SHKFormFieldSettings>>> shareFormFieldsForType(SHKShareType) override;
    bool send() override;

protected:
    std::optional<std::string> loginFailureMessage(SHKRequest&) override;
    // The service answers 200 to some refusals too: a saved bookmark's reply is empty or names it.
    bool saveSucceeded(SHKRequest&) override;
    std::string saveFailureMessage(SHKRequest&) override;
};
