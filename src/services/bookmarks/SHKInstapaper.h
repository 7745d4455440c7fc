#pragma once

#include "services/bookmarks/SHKBookmarkSharer.h"

// Saves a link to the read-later service Instapaper. No share form: an authorised share goes out
// at once. The service answers 403 to a rejected login.
class SHKInstapaper : public SHKBookmarkSharer {
public:
    static constexpr std::string_view sharerClassName = "SHKInstapaper";

    static std::string sharerTitle() { return "Instapaper"; }
    static bool canShare() { return true; }
    static std::optional<std::string> authorizationFormCaption();

    void authorizationFormValidate(SHKFormController&) override;
    std::optional<std::vector<fnd::Ref<SHKFormFieldSettings>>> shareFormFieldsForType(SHKShareType) override { return std::nullopt; }
    bool send() override;

protected:
    std::optional<std::string> loginFailureMessage(SHKRequest&) override;
    int reloginStatus() const override { return 403; }
    std::string saveFailureMessage(SHKRequest&) override;
};
