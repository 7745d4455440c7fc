#pragma once

#include <optional>
#include <string>

namespace loc {

// One position fix. Accuracies are radii in metres; a negative accuracy marks the value as unknown
// (a fix without altitude has a negative vertical accuracy).
struct Location {
    double latitude = 0;
    double longitude = 0;
    double horizontalAccuracy = 0;
    double altitude = 0;
    double verticalAccuracy = -1;
    // Seconds since 1970, from the process clock when the fix was taken.
    double timestamp = 0;

    // "52.37403,4.88969 ±65 m" (C locale), with the altitude when it is known.
    std::string description() const;
    bool operator==(const Location&) const = default;
};

// Numbered as the platform numbered them.
enum class AuthorizationStatus {
    NotDetermined = 0,
    Restricted = 1,
    Denied = 2,
    Authorized = 3,
};

std::string_view authorizationStatusName(AuthorizationStatus);
std::optional<AuthorizationStatus> authorizationStatusNamed(std::string_view);

}
