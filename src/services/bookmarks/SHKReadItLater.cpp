#include "services/bookmarks/SHKReadItLater.h"

#include "sharing/core/SHKConfiguration.h"
#include "sharing/core/SHKEscaping.h"
#include "sharing/core/SHKLocalizedText.h"
#include "sharing/ui/SHKFormController.h"

namespace {

std::string apiKey()
{
    return SHKConfiguration::sharedInstance()->configurator().readItLaterKey();
}

}

std::optional<std::string> SHKReadItLater::authorizationFormCaption()
{
    return captionWithSignUpSite("Create a free account at %@", "ril.signup");
}

void SHKReadItLater::authorizationFormValidate(SHKFormController& form)
{
    auto values = form.formValues();
    auto body = fnd::format("apikey=%@&username=%@&password=%@", apiKey(), SHKEscapeFormValue(values["username"]), SHKEscapeFormValue(values["password"]));
    startLoginCheck(form, address("ril", "/v2/auth"), std::move(body), "POST");
}

std::optional<std::vector<fnd::Ref<SHKFormFieldSettings>>> SHKReadItLater::shareFormFieldsForType(SHKShareType type)
{
    if (type != SHKShareTypeURL)
        return std::nullopt;
    return std::vector<fnd::Ref<SHKFormFieldSettings>> {
        SHKFormFieldSettings::create(SHKLocalizedText("Title"), "title", FormFieldKind::Text, item()->title()),
        SHKFormFieldSettings::create(SHKLocalizedText("Tags"), "tags", FormFieldKind::Text, item()->tags()),
    };
}

std::string SHKReadItLater::escapeItemValue(const std::optional<std::string>& value)
{
    std::string quoted;
    for (char c : value.value_or("")) {
        if (c == '"')
            quoted += "&quot;";
        else
            quoted += c;
    }
    return SHKEscapeFormValue(quoted);
}

bool SHKReadItLater::send()
{
    if (!validateItem())
        return false;
    auto url = SHKEscapeURL(item()->URL());
    auto newItem = fnd::format("&new={\"0\":{\"url\":\"%@\",\"title\":\"%@\"}}", url, escapeItemValue(item()->title()));
    std::string tagUpdate;
    if (item()->tags() && !item()->tags()->empty())
        tagUpdate = fnd::format("&update_tags={\"0\":{\"url\":\"%@\",\"tags\":\"%@\"}}", url, escapeItemValue(item()->tags()));
    auto body = fnd::format("apikey=%@&username=%@&password=%@%@%@", apiKey(), SHKEscapeFormValue(storedCredential("username")),
        SHKEscapeFormValue(storedCredential("password")), newItem, tagUpdate);
    startSaveRequest(address("ril", "/v2/send"), std::move(body), "POST");
    return true;
}

std::string SHKReadItLater::saveFailureMessage(SHKRequest& request)
{
    return serviceError(request).value_or(SHKLocalizedText("There was an error saving to %@", sharerTitle()));
}
