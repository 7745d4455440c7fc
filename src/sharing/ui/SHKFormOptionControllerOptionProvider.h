#pragma once

#include "platform/foundation/Object.h"

class SHKFormOptionController;

// Fetches the options of an option screen whose list is not given up front. It answers, later, with
// SHKFormOptionController::optionsEnumerated() or optionsEnumerationFailedWithError(). It is kept in
// the row's option-picker information under "SHKFormOptionControllerOptionProvider".
class SHKFormOptionControllerOptionProvider : public fnd::Object {
public:
    static constexpr std::string_view infoKey = "SHKFormOptionControllerOptionProvider";

    virtual void formOptionControllerEnumerateOptions(SHKFormOptionController&) = 0;
    virtual void formOptionControllerCancelEnumerateOptions(SHKFormOptionController&) = 0;
};
