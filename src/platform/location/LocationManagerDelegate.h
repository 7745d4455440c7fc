#pragma once

#include "platform/foundation/Error.h"
#include "platform/location/Location.h"

#include <optional>

namespace loc {

class LocationManager;

// Hears a location manager's fixes and failures, always on the main run loop.
class LocationManagerDelegate {
public:
    virtual ~LocationManagerDelegate();
    // `oldLocation` is the previous fix of this run of updates; nothing for the first.
    virtual void locationManagerDidUpdateToLocation(LocationManager&, const Location& newLocation, const std::optional<Location>& oldLocation) = 0;
    virtual void locationManagerDidFailWithError(LocationManager&, const fnd::Ref<fnd::Error>&) { }
};

}
