#include "platform/location/LocationSimulator.h"

#include "platform/foundation/Clock.h"
#include "platform/location/LocationManager.h"

#include <algorithm>
#include <mutex>
#include <vector>

namespace loc {

namespace {

struct SimulatedState {
    bool servicesEnabled = true;
    AuthorizationStatus status = AuthorizationStatus::NotDetermined;
    bool significantChangeAvailable = true;
    std::optional<Location> fix;
    struct RunningManager {
        // Compared only: a manager that is going away cannot be locked any more.
        const LocationManager* address;
        std::weak_ptr<LocationManager> manager;
    };
    std::vector<RunningManager> runningManagers;
};

std::mutex stateLock;

SimulatedState& state()
{
    static SimulatedState simulated;
    return simulated;
}

std::vector<std::shared_ptr<LocationManager>> runningManagers()
{
    std::lock_guard guard(stateLock);
    std::vector<std::shared_ptr<LocationManager>> managers;
    for (auto& running : state().runningManagers) {
        if (auto manager = running.manager.lock())
            managers.push_back(std::move(manager));
    }
    return managers;
}

bool isRefusal(AuthorizationStatus status)
{
    return status == AuthorizationStatus::Denied || status == AuthorizationStatus::Restricted;
}

}

bool LocationSimulator::servicesEnabled()
{
    std::lock_guard guard(stateLock);
    return state().servicesEnabled;
}

void LocationSimulator::setServicesEnabled(bool enabled)
{
    {
        std::lock_guard guard(stateLock);
        state().servicesEnabled = enabled;
    }
    if (!enabled) {
        for (auto& manager : runningManagers())
            manager->postDenial();
    }
}

AuthorizationStatus LocationSimulator::authorizationStatus()
{
    std::lock_guard guard(stateLock);
    return state().status;
}

void LocationSimulator::setAuthorizationStatus(AuthorizationStatus status)
{
    {
        std::lock_guard guard(stateLock);
        state().status = status;
    }
    if (isRefusal(status)) {
        for (auto& manager : runningManagers())
            manager->postDenial();
    }
}

bool LocationSimulator::significantChangeAvailable()
{
    std::lock_guard guard(stateLock);
    return state().significantChangeAvailable;
}

void LocationSimulator::setSignificantChangeAvailable(bool available)
{
    std::lock_guard guard(stateLock);
    state().significantChangeAvailable = available;
}

std::optional<Location> LocationSimulator::fix()
{
    std::lock_guard guard(stateLock);
    return state().fix;
}

void LocationSimulator::setFix(Location fix)
{
    if (fix.timestamp == 0)
        fix.timestamp = fnd::Clock::current().now();
    {
        std::lock_guard guard(stateLock);
        state().fix = fix;
    }
    for (auto& manager : runningManagers())
        manager->postFix(fix);
}

void LocationSimulator::clearFix()
{
    std::lock_guard guard(stateLock);
    state().fix.reset();
}

std::string LocationSimulator::stateDescription()
{
    std::lock_guard guard(stateLock);
    auto& simulated = state();
    std::string text = simulated.servicesEnabled ? "location services on, " : "location services off, ";
    text += authorizationStatusName(simulated.status);
    text += simulated.significantChangeAvailable ? ", significant changes available, " : ", significant changes unavailable, ";
    text += simulated.fix ? "at " + simulated.fix->description() : std::string("no fix");
    return text;
}

void LocationSimulator::resetForTesting()
{
    std::lock_guard guard(stateLock);
    state() = SimulatedState();
}

void LocationSimulator::managerStarted(const std::shared_ptr<LocationManager>& manager)
{
    std::lock_guard guard(stateLock);
    state().runningManagers.push_back({ manager.get(), manager });
}

void LocationSimulator::managerStopped(const LocationManager& stopped)
{
    std::lock_guard guard(stateLock);
    std::erase_if(state().runningManagers, [&](auto& running) { return running.address == &stopped || running.manager.expired(); });
}

}
