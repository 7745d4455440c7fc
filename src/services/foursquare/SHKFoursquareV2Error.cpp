#include "services/foursquare/SHKFoursquareV2Error.h"

#include "platform/foundation/Number.h"
#include "platform/foundation/String.h"
#include "sharing/core/SHKLocalizedText.h"

fnd::Ref<fnd::Error> SHKFoursquareV2Error::errorWithFoursquareMeta(const fnd::Ref<fnd::Dictionary>& meta)
{
    int64_t code = 0;
    if (auto number = meta ? meta->objectForKeyAs<fnd::Number>("code") : nullptr)
        code = number->longLongValue();
    auto message = code == 401 ? SHKLocalizedText("Could not authenticate you. Please relogin.") : SHKLocalizedText("There was an error while sharing");
    auto userInfo = fnd::MutableDictionary::create();
    userInfo->setObjectForKey(fnd::String::create(message), fnd::Error::localizedDescriptionKey);
    if (meta) {
        userInfo->setObjectForKey(meta, metaKey);
        if (auto errorType = meta->objectForKey("errorType"))
            userInfo->setObjectForKey(errorType, errorTypeKey);
    }
    return fnd::Error::create(std::string(domain), code, userInfo);
}

bool SHKFoursquareV2Error::getFoursquareRelogin(const fnd::Error& error)
{
    return error.domain() == domain && error.code() == 401;
}
