#pragma once
// Version numbers to platform code, family, name and version text: the platform-free
// part of OSInfo.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace tw {

// What the platform's version query reported.
struct RawVersion {
    std::int32_t platformId = 0; // 0 Win32s, 1 the 9x family, 2 the NT family
    std::uint32_t major = 0, minor = 0, build = 0;
    std::string servicePackText; // as reported, possibly with NULs and blanks
    // from the extended record, asked for on NT 5.0 and later only
    std::int32_t servicePackMajor = 0, servicePackMinor = 0, productType = 0;
};

struct OSFields {
    std::int32_t platform = 0;
    std::int32_t major = 0, minor = 0, build = 0;
    std::int32_t servicePackMajor = 0, servicePackMinor = 0;
    std::string servicePackText;
    std::string versionText;
    std::int32_t family = 0;
    std::int32_t productType = 0;
    bool verifySupported = false;
};

// Platform codes of the version table.
inline constexpr std::int32_t kPlatformUnknown = 13;

// Classifies a reported version. `hotfixQ246009` is asked only for NT 4.0 with
// service pack 6: whether the Q246009 hotfix is installed.
OSFields ClassifyVersion(const RawVersion& raw, const std::function<bool()>& hotfixQ246009);

// The name of a platform code ("Windows XP"); "[Unknown]" for codes outside the table.
std::string PlatformName(std::int32_t code);

// "(" service-pack text ")" or "".
std::string SupportInformation(const OSFields& os);
// "(" text0314 service-pack-major ")" when the major number is 1 or more, else "".
std::string SupportInformation2(const OSFields& os, const std::string& text0314);

// Compares the system's version with the given one, components in the order major,
// minor, build, service pack major, service pack minor, leaving out negative ones.
// comparisonType: 1 equal, 2 greater, 3 greater or equal, 4 less, 5 less or equal;
// any other value gives false.
bool CompareVersionTuple(const OSFields& os, std::int32_t major, std::int32_t minor,
                         std::int32_t build, std::int32_t spMajor, std::int32_t spMinor,
                         std::int32_t comparisonType);

// A registry value named by a full textual path, as OSInfo reads it: the root (full or
// short name of the first four roots, trimmed; any other name is HKEY_CURRENT_USER), the
// subkey path (trimmed; empty when the text has one backslash) and the value name.
struct RegistryValuePath {
    std::uint32_t root = 0;
    std::string subkey;
    std::string value;
};
// Nothing when the text has no backslash.
std::optional<RegistryValuePath> SplitRegistryValuePath(std::string_view path);

} // namespace tw
