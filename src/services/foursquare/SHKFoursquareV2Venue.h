#pragma once

#include "platform/foundation/Dictionary.h"

#include <memory>
#include <optional>
#include <string>

// One place of the check-in service's search reply.
struct SHKFoursquareV2Venue {
    std::optional<std::string> venueId;
    std::optional<std::string> name;
    std::optional<std::string> address;
    // The primary category's icon; kept, shown nowhere.
    std::optional<std::string> icon;

    static std::shared_ptr<SHKFoursquareV2Venue> venueFromDictionary(const fnd::Dictionary&);
};
