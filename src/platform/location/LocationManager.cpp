#include "platform/location/LocationManager.h"

#include "platform/foundation/RunLoop.h"
#include "platform/location/LocationSimulator.h"

namespace loc {

LocationManagerDelegate::~LocationManagerDelegate() = default;

std::shared_ptr<LocationManager> LocationManager::create()
{
    return std::shared_ptr<LocationManager>(new LocationManager);
}

LocationManager::~LocationManager()
{
    LocationSimulator::managerStopped(*this);
}

bool LocationManager::locationServicesEnabled()
{
    return LocationSimulator::servicesEnabled();
}

AuthorizationStatus LocationManager::authorizationStatus()
{
    return LocationSimulator::authorizationStatus();
}

bool LocationManager::significantLocationChangeMonitoringAvailable()
{
    return LocationSimulator::significantChangeAvailable();
}

void LocationManager::startUpdatingLocation()
{
    start(m_updating);
}

void LocationManager::stopUpdatingLocation()
{
    stop(m_updating);
}

void LocationManager::startMonitoringSignificantLocationChanges()
{
    if (significantLocationChangeMonitoringAvailable())
        start(m_monitoringSignificantChanges);
}

void LocationManager::stopMonitoringSignificantLocationChanges()
{
    stop(m_monitoringSignificantChanges);
}

void LocationManager::start(bool& flag)
{
    auto status = authorizationStatus();
    if (!locationServicesEnabled() || status == AuthorizationStatus::Denied || status == AuthorizationStatus::Restricted) {
        postDenial();
        return;
    }
    if (status == AuthorizationStatus::NotDetermined)
        LocationSimulator::setAuthorizationStatus(AuthorizationStatus::Authorized);
    bool wasRunning = isRunning();
    flag = true;
    if (wasRunning)
        return;
    ++m_run;
    m_previousInRun.reset();
    LocationSimulator::managerStarted(shared_from_this());
    if (auto fix = LocationSimulator::fix())
        postFix(*fix);
}

void LocationManager::stop(bool& flag)
{
    if (!flag)
        return;
    flag = false;
    if (isRunning())
        return;
    ++m_run;
    LocationSimulator::managerStopped(*this);
}

void LocationManager::postFix(const Location& fix)
{
    fnd::RunLoop::main().post([weakThis = weak_from_this(), run = m_run, fix] {
        auto manager = weakThis.lock();
        if (!manager || manager->m_run != run || !manager->isRunning())
            return;
        auto previous = std::exchange(manager->m_previousInRun, fix);
        manager->m_location = fix;
        if (auto delegate = manager->delegate())
            delegate->locationManagerDidUpdateToLocation(*manager, fix, previous);
    });
}

void LocationManager::postDenial()
{
    if (isRunning()) {
        m_updating = m_monitoringSignificantChanges = false;
        LocationSimulator::managerStopped(*this);
    }
    ++m_run;
    fnd::RunLoop::main().post([weakThis = weak_from_this(), run = m_run] {
        auto manager = weakThis.lock();
        if (!manager || manager->m_run != run)
            return;
        if (auto delegate = manager->delegate())
            delegate->locationManagerDidFailWithError(*manager, fnd::Error::withDescription(std::string(errorDomain), Denied, "Location services are not available to this application."));
    });
}

}
