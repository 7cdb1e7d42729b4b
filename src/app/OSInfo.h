#pragma once
// The Windows version the program runs on, worked out once when the object is made.
#include "app/OSClassify.h"

#include <cstdint>
#include <optional>
#include <string>

namespace tw {

class OSInfo {
  public:
    OSInfo(); // asks the platform
    explicit OSInfo(const OSFields& fields) : os_(fields) {}

    std::int32_t Platform() const { return os_.platform; }
    std::string Name() const { return PlatformName(os_.platform); }
    const std::string& VersionString() const { return os_.versionText; }
    std::int32_t MajorVersion() const { return os_.major; }
    std::int32_t MinorVersion() const { return os_.minor; }
    std::int32_t BuildNumber() const { return os_.build; }
    std::int32_t ServicePackMajor() const { return os_.servicePackMajor; }
    std::int32_t ServicePackMinor() const { return os_.servicePackMinor; }
    std::int32_t Family() const { return os_.family; }
    std::int32_t ProductType() const { return os_.productType; }
    std::string SupportInformation() const { return tw::SupportInformation(os_); }
    // uses the language text 0314
    std::string SupportInformation2() const;
    // Components passed as negative numbers are left out. With bUseVerifyVersionInfo
    // on a system that supports it the platform decides (VerifyVersionInfoA).
    bool CompareVersion(std::int32_t nMajorVersion, std::int32_t nMinorVersion,
                        std::int32_t nBuildNumber = -1, std::int32_t nServicePackMajor = -1,
                        std::int32_t nServicePackMinor = -1, std::int32_t ComparisonType = 3,
                        bool bUseVerifyVersionInfo = false) const;
    bool Is98() const { return os_.platform == 3 || os_.platform == 4; }
    bool IsNT() const { return os_.platform >= 6 && os_.platform <= 10; }
    bool Is2000() const { return os_.platform == 10; }
    bool IsXP() const { return os_.platform == 11; }
    bool Is2003() const { return os_.platform == 12; }
    bool IsVerifySupported() const { return os_.verifySupported; }

    const OSFields& Fields() const { return os_; }

  private:
    // A registry value by its full textual path: text (asText) or a 32-bit number.
    static std::optional<std::string> ReadRegistryPath(const std::string& path, bool asText);

    OSFields os_;
};

} // namespace tw
