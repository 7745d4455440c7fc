#pragma once

#include <string>
#include <string_view>

namespace ui {

// Numbered as the platform numbered them. Face up and face down have no interface orientation.
enum class DeviceOrientation {
    Unknown = 0,
    Portrait = 1,
    PortraitUpsideDown = 2,
    LandscapeLeft = 3,
    LandscapeRight = 4,
    FaceUp = 5,
    FaceDown = 6,
};

enum class UserInterfaceIdiom {
    Phone = 0,
    Pad = 1,
};

// The handset itself: its orientation and what kind of device it is.
class Device {
public:
    static Device& current();

    // Posted on the default notification centre whenever the orientation changes.
    static constexpr std::string_view orientationDidChangeNotification = "DeviceOrientationDidChange";

    DeviceOrientation orientation() const { return m_orientation; }
    void setOrientation(DeviceOrientation);

    UserInterfaceIdiom userInterfaceIdiom() const { return m_idiom; }
    void setUserInterfaceIdiom(UserInterfaceIdiom idiom) { m_idiom = idiom; }

    // Whether applications keep running in the background; a device that cannot answer is taken
    // as one without.
    bool isMultitaskingSupported() const { return m_multitaskingSupported; }
    void setMultitaskingSupported(bool supported) { m_multitaskingSupported = supported; }

    const std::string& systemVersion() const { return m_systemVersion; }
    const std::string& model() const { return m_model; }

    void resetForTesting();

private:
    Device() = default;

    DeviceOrientation m_orientation = DeviceOrientation::Portrait;
    UserInterfaceIdiom m_idiom = UserInterfaceIdiom::Phone;
    bool m_multitaskingSupported = true;
    std::string m_systemVersion = "4.2";
    std::string m_model = "iPhone";
};

}
