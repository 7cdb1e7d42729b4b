#include "app/OSInfo.h"

#include "core/Text.h"
#include "win/Api.h"
#include "win/Handle.h"

#include <windows.h>

#include <type_traits>

#include <cstring>

namespace tw {

namespace {

RawVersion QueryVersion() {
    RawVersion raw;
    OSVERSIONINFOA basic{};
    basic.dwOSVersionInfoSize = sizeof basic; // 148
    // deprecated, but it is the query whose answer the version table describes
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!GetVersionExA(&basic))
        return raw;
    raw.platformId = static_cast<std::int32_t>(basic.dwPlatformId);
    raw.major = basic.dwMajorVersion;
    raw.minor = basic.dwMinorVersion;
    raw.build = basic.dwBuildNumber;
    raw.servicePackText.assign(basic.szCSDVersion, sizeof basic.szCSDVersion);
    if (raw.platformId == VER_PLATFORM_WIN32_NT && raw.major >= 5) {
        OSVERSIONINFOEXA ex{};
        ex.dwOSVersionInfoSize = sizeof ex; // 156
        if (GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&ex))) {
            raw.major = ex.dwMajorVersion;
            raw.minor = ex.dwMinorVersion;
            raw.build = ex.dwBuildNumber;
            raw.servicePackText.assign(ex.szCSDVersion, sizeof ex.szCSDVersion);
            raw.servicePackMajor = ex.wServicePackMajor;
            raw.servicePackMinor = ex.wServicePackMinor;
            raw.productType = ex.wProductType;
        }
    }
#pragma GCC diagnostic pop
    return raw;
}

} // namespace

std::optional<std::string> OSInfo::ReadRegistryPath(const std::string& path, bool asText) {
    auto split = SplitRegistryValuePath(path);
    if (!split)
        return std::nullopt;
    win::UniqueKey key;
    HKEY root = reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(split->root));
    if (RegOpenKeyExA(root, split->subkey.c_str(), 0, KEY_QUERY_VALUE, key.put()) != ERROR_SUCCESS)
        return std::nullopt;
    if (asText) {
        std::string buffer(1024, ' ');
        DWORD size = static_cast<DWORD>(buffer.size());
        if (RegQueryValueExA(key.get(), split->value.c_str(), nullptr, nullptr,
                             reinterpret_cast<BYTE*>(buffer.data()), &size) != ERROR_SUCCESS)
            return std::nullopt;
        buffer.resize(std::strlen(buffer.c_str()) < buffer.size() ? std::strlen(buffer.c_str())
                                                                  : buffer.size());
        size_t b = buffer.find_first_not_of(' ');
        size_t e = buffer.find_last_not_of(' ');
        return b == std::string::npos ? std::string() : buffer.substr(b, e - b + 1);
    }
    std::int32_t number = 0;
    DWORD size = sizeof number;
    if (RegQueryValueExA(key.get(), split->value.c_str(), nullptr, nullptr,
                         reinterpret_cast<BYTE*>(&number), &size) != ERROR_SUCCESS)
        return std::nullopt;
    return std::to_string(number);
}

OSInfo::OSInfo()
    : os_(ClassifyVersion(QueryVersion(), [] {
          return ReadRegistryPath("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows "
                                  "NT\\CurrentVersion\\Hotfix\\Q246009\\Installed",
                                  false)
              .has_value();
      })) {}

std::string OSInfo::SupportInformation2() const {
    return tw::SupportInformation2(os_, LookupText("0314"));
}

bool OSInfo::CompareVersion(std::int32_t nMajorVersion, std::int32_t nMinorVersion,
                            std::int32_t nBuildNumber, std::int32_t nServicePackMajor,
                            std::int32_t nServicePackMinor, std::int32_t ComparisonType,
                            bool bUseVerifyVersionInfo) const {
    if (ComparisonType < 1 || ComparisonType > 5)
        return false;
    if (bUseVerifyVersionInfo && IsVerifySupported()) {
        OSVERSIONINFOEXA want{};
        want.dwOSVersionInfoSize = sizeof want;
        DWORD type = 0;
        // Each component given (not negative) joins the test with the same condition.
        auto include = [&](std::int32_t value, auto& field, DWORD bit) {
            if (value < 0)
                return;
            field = static_cast<std::remove_reference_t<decltype(field)>>(value);
            type |= bit;
        };
        include(nMajorVersion, want.dwMajorVersion, VER_MAJORVERSION);
        include(nMinorVersion, want.dwMinorVersion, VER_MINORVERSION);
        include(nBuildNumber, want.dwBuildNumber, VER_BUILDNUMBER);
        include(nServicePackMajor, want.wServicePackMajor, VER_SERVICEPACKMAJOR);
        include(nServicePackMinor, want.wServicePackMinor, VER_SERVICEPACKMINOR);
        if (auto verified = win::VerifyVersion(want, type, static_cast<BYTE>(ComparisonType)))
            return *verified;
    }
    return CompareVersionTuple(os_, nMajorVersion, nMinorVersion, nBuildNumber, nServicePackMajor,
                               nServicePackMinor, ComparisonType);
}

} // namespace tw
