#include "platform/location/Location.h"

#include <array>
#include <cstdio>

namespace loc {

namespace {

constexpr std::array<std::string_view, 4> statusNames { "not-determined", "restricted", "denied", "authorized" };

}

std::string Location::description() const
{
    char text[160];
    // snprintf formats in the C locale unless the process changed it; the application never does.
    int length = std::snprintf(text, sizeof text, "%.5f,%.5f \u00B1%.0f m", latitude, longitude, horizontalAccuracy);
    if (verticalAccuracy >= 0)
        length += std::snprintf(text + length, sizeof text - length, ", altitude %.0f \u00B1%.0f m", altitude, verticalAccuracy);
    return std::string(text, static_cast<size_t>(length));
}

std::string_view authorizationStatusName(AuthorizationStatus status)
{
    return statusNames.at(static_cast<size_t>(status));
}

std::optional<AuthorizationStatus> authorizationStatusNamed(std::string_view name)
{
    for (size_t index = 0; index < statusNames.size(); ++index) {
        if (statusNames[index] == name)
            return static_cast<AuthorizationStatus>(index);
    }
    return std::nullopt;
}

}
