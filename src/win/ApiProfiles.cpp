#include "win/Api.h"

#include "win/Handle.h"

namespace tw::win {

namespace {

// %windir%\Profiles: the profile folder of NT 4.0 and, where user profiles are on, of 9x.
std::string WindowsProfiles() {
    char windows[MAX_PATH];
    const UINT n = GetWindowsDirectoryA(windows, MAX_PATH);
    return n > 0 && n < MAX_PATH ? std::string(windows, n) + "\\Profiles" : std::string();
}

} // namespace

std::string ProfilesDirectory() {
    using GetProfilesDirectory = BOOL(WINAPI*)(LPSTR, LPDWORD);
    static const LateCall<GetProfilesDirectory> call("userenv.dll", "GetProfilesDirectoryA");
    if (auto fn = call.get()) {
        char buffer[MAX_PATH + 1];
        DWORD size = MAX_PATH;
        return fn(buffer, &size) ? std::string(buffer) : std::string();
    }
    if (GetVersion() & 0x80000000)
        return WindowsProfiles(); // the 9x line
    UniqueKey key;
    char value[MAX_PATH];
    DWORD type = 0, size = sizeof value - 1;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE,
                      "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList", 0,
                      KEY_QUERY_VALUE, key.put()) != ERROR_SUCCESS ||
        RegQueryValueExA(key.get(), "ProfilesDirectory", nullptr, &type,
                         reinterpret_cast<BYTE*>(value), &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return WindowsProfiles();
    value[size] = '\0';
    char expanded[MAX_PATH];
    const DWORD n = ExpandEnvironmentStringsA(value, expanded, MAX_PATH);
    return n > 0 && n <= MAX_PATH ? std::string(expanded) : std::string();
}

} // namespace tw::win
