#pragma once

#include "platform/location/Location.h"
#include "platform/location/LocationManagerDelegate.h"

#include <memory>
#include <optional>
#include <string_view>

namespace loc {

// The device's position service. The position comes from LocationSimulator, which the terminal
// and tests set. A manager delivers fixes while it runs standard updates or significant-change
// monitoring: the fix held when it starts, then every new one, each posted to the main run loop.
// Starting while location services are off, or while this application is denied or restricted,
// fails with ErrorCode::Denied; starting while the user has not been asked yet asks, and the
// simulated user allows. Main thread only, except the class-level questions.
class LocationManager : public std::enable_shared_from_this<LocationManager> {
public:
    static constexpr std::string_view errorDomain = "kCLErrorDomain";
    enum ErrorCode {
        LocationUnknown = 0,
        Denied = 1,
    };
    static constexpr double accuracyBest = -1;

    static std::shared_ptr<LocationManager> create();
    ~LocationManager();

    static bool locationServicesEnabled();
    static AuthorizationStatus authorizationStatus();
    static bool significantLocationChangeMonitoringAvailable();

    // Not retained.
    std::shared_ptr<LocationManagerDelegate> delegate() const { return m_delegate.lock(); }
    void setDelegate(const std::shared_ptr<LocationManagerDelegate>& delegate) { m_delegate = delegate; }

    double desiredAccuracy() const { return m_desiredAccuracy; }
    void setDesiredAccuracy(double accuracy) { m_desiredAccuracy = accuracy; }

    void startUpdatingLocation();
    void stopUpdatingLocation();
    // Gives nothing where significantLocationChangeMonitoringAvailable() is false.
    void startMonitoringSignificantLocationChanges();
    void stopMonitoringSignificantLocationChanges();

    bool isUpdatingLocation() const { return m_updating; }
    bool isMonitoringSignificantLocationChanges() const { return m_monitoringSignificantChanges; }
    // The last fix delivered to the delegate.
    const std::optional<Location>& location() const { return m_location; }

private:
    friend class LocationSimulator;

    LocationManager() = default;
    bool isRunning() const { return m_updating || m_monitoringSignificantChanges; }
    void start(bool& flag);
    void stop(bool& flag);
    // From the simulator: a new fix, or services switched off or denied.
    void postFix(const Location&);
    void postDenial();

    std::weak_ptr<LocationManagerDelegate> m_delegate;
    double m_desiredAccuracy = accuracyBest;
    bool m_updating = false;
    bool m_monitoringSignificantChanges = false;
    // Bumped by every start and stop, so work posted for an earlier run is dropped.
    unsigned m_run = 0;
    std::optional<Location> m_previousInRun;
    std::optional<Location> m_location;
};

}
