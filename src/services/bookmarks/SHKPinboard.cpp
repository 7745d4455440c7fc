#include "services/bookmarks/SHKPinboard.h"

#include "sharing/core/SHKEscaping.h"
#include "sharing/core/SHKLocalizedText.h"
#include "sharing/ui/SHKFormController.h"

std::optional<std::string> SHKPinboard::authorizationFormCaption()
{
    return captionWithSignUpSite("Create an account at %@", "pinboard.signup");
}

void SHKPinboard::authorizationFormValidate(SHKFormController& form)
{
    auto values = form.formValues();
    // Without a body the request goes out as a GET, which is what the service expects.
    startLoginCheck(form, addressWithCredentials("pinboard", "/v1/posts/get", values["username"], values["password"]), std::nullopt, "POST");
}

std::optional<std::string> SHKPinboard::loginFailureMessage(SHKRequest& request)
{
    if (statusOf(request) == 401)
        return SHKLocalizedText("Invalid email or password.");
    return SHKLocalizedText("The service encountered an error. Please try again later.");
}

std::optional<std::vector<fnd::Ref<SHKFormFieldSettings>>> SHKPinboard::shareFormFieldsForType(SHKShareType type)
{
    if (type != SHKShareTypeURL)
        return std::nullopt;
    return titleTagsNotesSharedFields();
}

bool SHKPinboard::send()
{
    if (!validateItem())
        return false;
    auto path = fnd::format("/v1/posts/add?url=%@&description=%@&tags=%@&extended=%@&shared=%@", SHKEscapeURL(item()->URL()),
        SHKEscapeFormValue(item()->title()), SHKEscapeFormValue(item()->tags()), SHKEscapeFormValue(item()->text()), sharedFlag());
    startSaveRequest(addressWithCredentials("pinboard", path, storedCredential("username"), storedCredential("password")), std::nullopt, "GET");
    return true;
}

std::string SHKPinboard::saveFailureMessage(SHKRequest&)
{
    return SHKLocalizedText("There was an error saving to Pinboard");
}
