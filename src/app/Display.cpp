#include "app/Display.h"

#include <windows.h>

#include <cstring>

namespace tw {

std::string GetDisplayName() {
    DISPLAY_DEVICEA device;
    std::memset(&device, 0, sizeof device);
    device.cb = sizeof device; // 424
    if (!EnumDisplayDevicesA(nullptr, 0, &device, 0))
        return {};
    return std::string(device.DeviceString,
                       strnlen(device.DeviceString, sizeof device.DeviceString));
}

} // namespace tw
