#pragma once

#include "services/bookmarks/SHKBookmarkSharer.h"

// Saves a link to the reading-list service Read It Later, which explains every refusal in its
// "X-Error" reply header. Shares go out without the form whenever automatic sharing is allowed.
class SHKReadItLater : public SHKBookmarkSharer {
public:
    static constexpr std::string_view sharerClassName = "SHKReadItLater";

    static std::string sharerTitle() { return "Read It Later"; }
    static std::optional<std::string> authorizationFormCaption();

    bool shouldAutoShare() override { return true; }
    void authorizationFormValidate(SHKFormController&) override;
    std::optional<std::vector<fnd::Ref<SHKFormFieldSettings>>> shareFormFieldsForType(SHKShareType) override;
    bool send() override;

    // The service's JSON items carry values form-escaped; a double quote would end the JSON text,
    // so it is sent as "&quot;".
    static std::string escapeItemValue(const std::optional<std::string>&);

protected:
    std::optional<std::string> loginFailureMessage(SHKRequest& request) override { return serviceError(request); }
    std::string saveFailureMessage(SHKRequest&) override;
};
