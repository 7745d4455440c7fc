#include "services/bookmarks/SHKDiigo.h"

#include "sharing/core/SHKConfiguration.h"
#include "sharing/core/SHKEscaping.h"
#include "sharing/core/SHKLocalizedText.h"
#include "sharing/core/SHKRequest.h"
#include "sharing/ui/SHKFormController.h"

namespace {

std::string applicationKey()
{
    return SHKConfiguration::sharedInstance()->configurator().diigoKey();
}

}

std::optional<std::string> SHKDiigo::authorizationFormCaption()
{
    return captionWithSignUpSite("Create an account at %@", "diigo.signup");
}

void SHKDiigo::authorizationFormValidate(SHKFormController& form)
{
    auto values = form.formValues();
    auto path = fnd::format("/api/v2/bookmarks?key=%@&count=1&user=%@", applicationKey(), SHKEscapeFormValue(values["username"]));
    startLoginCheck(form, addressWithCredentials("diigo", path, values["username"], values["password"]), std::nullopt, "GET");
}

std::optional<std::string> SHKDiigo::loginFailureMessage(SHKRequest& request)
{
    if (statusOf(request) == 401)
        return SHKLocalizedText("Sorry, %@ did not accept your credentials. Please try again.", sharerTitle());
    return SHKLocalizedText("Sorry, %@ encountered an error. Please try again.", sharerTitle());
}

std::optional<std::vector<fnd::Ref<SHKFormFieldSettings>>> SHKDiigo::shareFormFieldsForType(SHKShareType type)
{
    if (type != SHKShareTypeURL)
        return std::nullopt;
    return titleTagsNotesSharedFields();
}

bool SHKDiigo::send()
{
    if (!validateItem())
        return false;
    auto body = fnd::format("key=%@&url=%@&title=%@&tags=%@&desc=%@&shared=%@", applicationKey(), SHKEscapeURL(item()->URL()),
        SHKEscapeFormValue(item()->title()), SHKEscapeFormValue(item()->tags()), SHKEscapeFormValue(item()->text()), sharedFlag());
    startSaveRequest(addressWithCredentials("diigo", "/api/v2/bookmarks", storedCredential("username"), storedCredential("password")), std::move(body),
        "POST");
    return true;
}

bool SHKDiigo::saveSucceeded(SHKRequest& request)
{
    if (!request.success())
        return false;
    auto reply = request.getResult();
    return !reply || reply->empty() || reply->find("bookmark") != std::string::npos;
}

std::string SHKDiigo::saveFailureMessage(SHKRequest&)
{
    return SHKLocalizedText("There was an error saving to %@", sharerTitle());
}
