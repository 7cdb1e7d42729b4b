#include "win/SystemFolders.h"

#include "win/Api.h"

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

std::string GetProfilesDir() {
    return win::ProfilesDirectory();
}

} // namespace tw
