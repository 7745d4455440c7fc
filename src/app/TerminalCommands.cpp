#include "TerminalCommands.h"

#include "platform/location/LocationSimulator.h"
#include "platform/twitter/TweetComposeViewController.h"
#include "platform/ui/Application.h"
#include "platform/ui/Device.h"
#include "platform/ui/TerminalDriver.h"
#include "services/ServiceEndpoints.h"

#include <algorithm>
#include <charconv>

namespace {

using Arguments = std::vector<std::string>;
using ui::TerminalDriver;

constexpr auto locationUsage = "usage: location [LAT LON [ACCURACY [ALTITUDE [ALTITUDE-ACCURACY]]] | on | off | clear"
                               " | authorized | denied | restricted | not-determined | significant-changes on|off]";

std::optional<double> parseNumber(const std::string& word)
{
    double value = 0;
    auto [end, failure] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (failure != std::errc() || end != word.data() + word.size())
        return std::nullopt;
    return value;
}

std::optional<bool> parseSwitch(const std::string& word)
{
    if (word == "on")
        return true;
    if (word == "off")
        return false;
    return std::nullopt;
}

std::optional<std::string> setFix(const Arguments& arguments)
{
    std::vector<double> values;
    for (auto& word : arguments) {
        auto value = parseNumber(word);
        if (!value)
            return "\"" + word + "\" is not a number";
        values.push_back(*value);
    }
    if (values.size() < 2 || values.size() > 5)
        return locationUsage;
    if (values[0] < -90 || values[0] > 90 || values[1] < -180 || values[1] > 180)
        return "a latitude lies within -90...90 and a longitude within -180...180";
    loc::Location fix { .latitude = values[0], .longitude = values[1], .horizontalAccuracy = values.size() > 2 ? values[2] : 10 };
    if (values.size() > 3) {
        fix.altitude = values[3];
        fix.verticalAccuracy = values.size() > 4 ? values[4] : 10;
    }
    loc::LocationSimulator::setFix(fix);
    return std::nullopt;
}

std::optional<std::string> changeLocationSetting(const Arguments& arguments)
{
    if (arguments.empty())
        return std::nullopt;
    const auto& word = arguments[0];
    if (arguments.size() == 1) {
        if (auto enabled = parseSwitch(word)) {
            loc::LocationSimulator::setServicesEnabled(*enabled);
            return std::nullopt;
        }
        if (word == "clear") {
            loc::LocationSimulator::clearFix();
            return std::nullopt;
        }
        if (auto status = loc::authorizationStatusNamed(word)) {
            loc::LocationSimulator::setAuthorizationStatus(*status);
            return std::nullopt;
        }
    }
    if (word == "significant-changes") {
        auto available = arguments.size() == 2 ? parseSwitch(arguments[1]) : std::nullopt;
        if (!available)
            return locationUsage;
        loc::LocationSimulator::setSignificantChangeAvailable(*available);
        return std::nullopt;
    }
    return setFix(arguments);
}

// Every form prints the state it leaves.
std::optional<std::string> location(const Arguments& arguments, const TerminalDriver::Print& print)
{
    auto failure = changeLocationSetting(arguments);
    if (!failure)
        print(loc::LocationSimulator::stateDescription());
    return failure;
}

std::optional<std::string> tweetSheet(const Arguments& arguments, const TerminalDriver::Print& print)
{
    if (arguments.size() > 1)
        return "usage: tweet-sheet [on|off]";
    if (arguments.size() == 1) {
        auto available = parseSwitch(arguments[0]);
        if (!available)
            return "usage: tweet-sheet [on|off]";
        tw::TweetComposeViewController::setAvailable(*available);
    }
    print(tw::TweetComposeViewController::isAvailable() ? "tweet sheet on" : "tweet sheet off");
    return std::nullopt;
}

// Whether the system opens addresses of a scheme (another application installed or not).
std::optional<std::string> canOpen(const Arguments& arguments, const TerminalDriver::Print& print)
{
    auto allowed = arguments.size() == 2 ? parseSwitch(arguments[1]) : std::nullopt;
    if (!allowed || arguments[0].empty())
        return "usage: can-open SCHEME on|off";
    auto probe = fnd::URL::create(arguments[0] + ":x");
    if (!probe)
        return "\"" + arguments[0] + "\" is not a URL scheme";
    auto& application = ui::Application::shared();
    application.setCanOpenScheme(arguments[0], *allowed);
    print("can open " + arguments[0] + " URLs: " + (application.canOpenURL(*probe) ? "yes" : "no"));
    return std::nullopt;
}

std::optional<std::string> multitasking(const Arguments& arguments, const TerminalDriver::Print& print)
{
    auto supported = arguments.size() == 1 ? parseSwitch(arguments[0]) : std::nullopt;
    if (!supported)
        return "usage: multitasking on|off";
    auto& device = ui::Device::current();
    device.setMultitaskingSupported(*supported);
    print(device.isMultitaskingSupported() ? "multitasking on" : "multitasking off");
    return std::nullopt;
}

std::optional<std::string> endpoint(const Arguments& arguments, const TerminalDriver::Print& print)
{
    if (arguments.size() != 1)
        return "usage: endpoint KEY";
    auto& entries = ServiceEndpoints::entries();
    bool known = std::any_of(entries.begin(), entries.end(), [&](auto& entry) { return entry.key == arguments[0]; });
    if (!known)
        return "unknown service endpoint \"" + arguments[0] + "\"";
    print("endpoint " + arguments[0] + " " + ServiceEndpoints::shared().url(arguments[0]));
    return std::nullopt;
}

}

void addTerminalCommands()
{
    TerminalDriver::addCommand("location", "location [LAT LON [ACCURACY]|on|off|denied|...]", "sets the device's position and location services", location);
    TerminalDriver::addCommand("tweet-sheet", "tweet-sheet [on|off]", "offers the system's tweet sheet or not", tweetSheet);
    TerminalDriver::addCommand("endpoint", "endpoint KEY", "prints the address a web service is reached at", endpoint);
    TerminalDriver::addCommand("can-open", "can-open SCHEME on|off", "whether the system opens addresses of that scheme", canOpen);
    TerminalDriver::addCommand("multitasking", "multitasking on|off", "whether applications keep running in the background", multitasking);
}
