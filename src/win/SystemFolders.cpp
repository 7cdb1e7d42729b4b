#include "win/SystemFolders.h"

#include "win/Handle.h"

#include <userenv.h>
#include <windows.h>

namespace tw {

namespace {

std::string FirstChars(const char* buffer, UINT n, UINT size) {
    return n > 0 && n < size ? std::string(buffer, n) : std::string();
}

} // namespace

std::string GetWindowsDir() {
    char buffer[256];
    return FirstChars(buffer, GetWindowsDirectoryA(buffer, 255), 255);
}

std::string GetSystemDir() {
    char buffer[256];
    return FirstChars(buffer, GetSystemDirectoryA(buffer, 255), 255);
}

std::string GetTempDir() {
    char buffer[256];
    return FirstChars(buffer, GetTempPathA(255, buffer), 255);
}

std::string GetProgramFilesDir() {
    win::UniqueKey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion", 0,
                      KEY_QUERY_VALUE, key.put()) != ERROR_SUCCESS)
        return {};
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(key.get(), "ProgramFilesDir", nullptr, &type, nullptr, &size) !=
            ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return {};
    std::string value(size + 1, '\0');
    if (RegQueryValueExA(key.get(), "ProgramFilesDir", nullptr, &type,
                         reinterpret_cast<BYTE*>(value.data()), &size) != ERROR_SUCCESS)
        return {};
    value.resize(value.find('\0'));
    return value;
}

std::string GetProfilesDir() {
    char buffer[MAX_PATH + 1];
    DWORD size = MAX_PATH;
    if (!GetProfilesDirectoryA(buffer, &size))
        return {};
    return buffer;
}

} // namespace tw
