#include "win/Api.h"

#include "win/Handle.h"

#include <cstring>

namespace tw::win {

namespace {

// A string value of a key below HKEY_LOCAL_MACHINE; empty when there is none.
std::string MachineString(const char* key, const char* value) {
    UniqueKey open;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_QUERY_VALUE, open.put()) != ERROR_SUCCESS)
        return {};
    char buffer[512];
    DWORD type = 0, size = sizeof buffer - 1;
    if (RegQueryValueExA(open.get(), value, nullptr, &type, reinterpret_cast<BYTE*>(buffer),
                         &size) != ERROR_SUCCESS ||
        type != REG_SZ)
        return {};
    buffer[size] = '\0';
    return buffer;
}

} // namespace

HWND RootWindow(HWND window) {
    static const LateCall<decltype(&GetAncestor)> call("user32.dll", "GetAncestor");
    if (auto fn = call.get())
        return fn(window, GA_ROOT);
    if (!IsWindow(window))
        return nullptr;
    while (GetWindowLongA(window, GWL_STYLE) & WS_CHILD) {
        HWND parent = GetParent(window);
        if (!parent)
            break;
        window = parent;
    }
    return window;
}

std::string DisplayAdapterName() {
    static const LateCall<decltype(&EnumDisplayDevicesA)> call("user32.dll", "EnumDisplayDevicesA");
    if (auto fn = call.get()) {
        DISPLAY_DEVICEA device;
        std::memset(&device, 0, sizeof device);
        device.cb = sizeof device; // 424
        if (!fn(nullptr, 0, &device, 0))
            return {};
        return std::string(device.DeviceString,
                           strnlen(device.DeviceString, sizeof device.DeviceString));
    }
    // the first adapter of the display class: NT's device class key, then the 9x one
    std::string name = MachineString("SYSTEM\\CurrentControlSet\\Control\\Class\\"
                                     "{4D36E968-E325-11CE-BFC1-08002BE10318}\\0000",
                                     "DriverDesc");
    if (name.empty())
        name = MachineString("System\\CurrentControlSet\\Services\\Class\\Display\\0000",
                             "DriverDesc");
    return name;
}

DWORD WaitForObjectOrInput(HANDLE object) {
    static const LateCall<decltype(&MsgWaitForMultipleObjectsEx)> call(
        "user32.dll", "MsgWaitForMultipleObjectsEx");
    // Raw input (QS_RAWINPUT, part of QS_ALLINPUT in the headers) is refused before XP.
    const DWORD version = GetVersion();
    const bool xpOrLater = !(version & 0x80000000) &&
                           MAKEWORD(HIBYTE(LOWORD(version)), LOBYTE(LOWORD(version))) >= 0x0501;
    const DWORD mask = xpOrLater ? QS_ALLINPUT : QS_ALLINPUT & ~QS_RAWINPUT;
    if (auto fn = call.get())
        return fn(1, &object, INFINITE, mask, MWMO_INPUTAVAILABLE);
    return MsgWaitForMultipleObjects(1, &object, FALSE, INFINITE, mask);
}

void DeclareDpiAware() {
    static const LateCall<BOOL(WINAPI*)()> call("user32.dll", "SetProcessDPIAware");
    if (auto fn = call.get())
        fn();
}

} // namespace tw::win
