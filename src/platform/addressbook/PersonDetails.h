#pragma once

#include "platform/addressbook/MultiValue.h"
#include "platform/foundation/Data.h"
#include "platform/foundation/String.h"

#include <vector>

namespace ab {

// What a person is made of; absent texts are nil.
struct PersonDetails {
    fnd::Ref<fnd::String> firstName;
    fnd::Ref<fnd::String> lastName;
    fnd::Ref<fnd::String> organization;
    std::vector<MultiValue::Entry> phoneNumbers;
    // The photo as stored: encoded image bytes, not checked.
    fnd::Ref<fnd::Data> imageData;
    // Failure injection for tests: reading this person's phone numbers throws.
    bool phoneNumbersUnreadable = false;
};

}
