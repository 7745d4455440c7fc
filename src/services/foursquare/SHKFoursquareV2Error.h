#pragma once

#include "platform/foundation/Dictionary.h"
#include "platform/foundation/Error.h"

#include <string_view>

// The check-in service's errors, made from the "meta" part of its replies.
class SHKFoursquareV2Error {
public:
    static constexpr std::string_view domain = "SHKFoursquareV2ErrorDomain";
    static constexpr std::string_view errorTypeKey = "SHKFoursquareV2ErrorTypeKey";
    static constexpr std::string_view metaKey = "SHKFoursquareV2MetaKey";

    // Code = meta "code" (0 without one); 401 asks the user to log in again.
    static fnd::Ref<fnd::Error> errorWithFoursquareMeta(const fnd::Ref<fnd::Dictionary>& meta);
    // Whether the error is the service's 401.
    static bool getFoursquareRelogin(const fnd::Error&);
};
