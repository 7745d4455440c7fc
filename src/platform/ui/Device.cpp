#include "platform/ui/Device.h"

#include "platform/foundation/NotificationCenter.h"

namespace ui {

Device& Device::current()
{
    static Device device;
    return device;
}

void Device::setOrientation(DeviceOrientation orientation)
{
    if (orientation == m_orientation)
        return;
    m_orientation = orientation;
    fnd::NotificationCenter::defaultCenter().post(std::string(orientationDidChangeNotification), this);
}

void Device::resetForTesting()
{
    m_orientation = DeviceOrientation::Portrait;
    m_idiom = UserInterfaceIdiom::Phone;
    m_multitaskingSupported = true;
}

}
