#include "services/bookmarks/SHKInstapaper.h"

#include "sharing/core/SHKEscaping.h"
#include "sharing/core/SHKLocalizedText.h"
#include "sharing/ui/SHKFormController.h"

std::optional<std::string> SHKInstapaper::authorizationFormCaption()
{
    return captionWithSignUpSite("Create a free account at %@", "instapaper.signup");
}

void SHKInstapaper::authorizationFormValidate(SHKFormController& form)
{
    auto values = form.formValues();
    auto body = fnd::format("username=%@&password=%@", SHKEscapeFormValue(values["username"]), SHKEscapeFormValue(values["password"]));
    startLoginCheck(form, address("instapaper", "/api/authenticate"), std::move(body), "POST");
}

std::optional<std::string> SHKInstapaper::loginFailureMessage(SHKRequest& request)
{
    if (statusOf(request) == 403)
        return SHKLocalizedText("Sorry, Instapaper did not accept your credentials. Please try again.");
    return SHKLocalizedText("Sorry, Instapaper encountered an error. Please try again.");
}

bool SHKInstapaper::send()
{
    if (!validateItem())
        return false;
    auto selection = SHKStripHTMLTags(item()->text().value_or(""), true);
    auto body = fnd::format("url=%@&title=%@&selection=%@&username=%@&password=%@", SHKEscapeURL(item()->URL()), SHKEscapeFormValue(item()->title()),
        SHKEscapeFormValue(selection), SHKEscapeFormValue(storedCredential("username")), SHKEscapeFormValue(storedCredential("password")));
    startSaveRequest(address("instapaper", "/api/add"), std::move(body), "POST");
    return true;
}

std::string SHKInstapaper::saveFailureMessage(SHKRequest& request)
{
    if (statusOf(request) == 500)
        return SHKLocalizedText("The service encountered an error. Please try again later.");
    return SHKLocalizedText("There was a problem saving to Instapaper.");
}
