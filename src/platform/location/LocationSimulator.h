#pragma once

#include "platform/location/Location.h"

#include <memory>
#include <optional>
#include <string>

namespace loc {

class LocationManager;

// Where the simulated device is and what its location settings say; the terminal's `location`
// command and tests set it. Starts with location services on, this application not yet asked,
// significant-change monitoring available and no fix. Setters run on the main thread; the
// getters answer on any thread.
class LocationSimulator {
public:
    static bool servicesEnabled();
    // Switching services off fails every running manager.
    static void setServicesEnabled(bool);
    static AuthorizationStatus authorizationStatus();
    // Denied or restricted fails every running manager.
    static void setAuthorizationStatus(AuthorizationStatus);
    static bool significantChangeAvailable();
    static void setSignificantChangeAvailable(bool);

    static std::optional<Location> fix();
    // The new position, delivered to every running manager. A zero timestamp takes the clock's now.
    static void setFix(Location);
    static void clearFix();

    // One line: "location services on, authorized, significant changes available, at 52.37000,4.89000 ±10 m".
    static std::string stateDescription();

    // The defaults again, and no running managers.
    static void resetForTesting();

private:
    friend class LocationManager;
    static void managerStarted(const std::shared_ptr<LocationManager>&);
    static void managerStopped(const LocationManager&);
};

}
