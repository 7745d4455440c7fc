#pragma once

#include "platform/foundation/Date.h"

#include <string>

// Hears the outcome of the in-app login page.
class FBLoginDialogDelegate {
public:
    virtual ~FBLoginDialogDelegate() = default;

    // The expiry is nil when the page gave none.
    virtual void fbDialogLogin(const std::string& token, const fnd::Ref<fnd::Date>& expirationDate) = 0;
    virtual void fbDialogNotLogin(bool cancelled) = 0;
};
