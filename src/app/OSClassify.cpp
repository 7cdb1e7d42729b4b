#include "app/OSClassify.h"

#include "core/RootNames.h"

#include <array>
#include <vector>

namespace tw {

namespace {

std::string Trim(std::string_view s) {
    size_t b = s.find_first_not_of(' ');
    if (b == std::string_view::npos)
        return {};
    size_t e = s.find_last_not_of(' ');
    return std::string(s.substr(b, e - b + 1));
}

std::string LastFour(std::int32_t build) {
    std::string s = "0000" + std::to_string(build);
    return s.substr(s.size() - 4);
}

} // namespace

std::string PlatformName(std::int32_t code) {
    static const std::array<const char*, 14> names = {"Windows 3.x With Win32s",
                                                      "Windows 95",
                                                      "Windows 95 Release 2",
                                                      "Windows 98",
                                                      "Windows 98 Release 2",
                                                      "Windows Millenium Edition",
                                                      "Windows NT 3.0",
                                                      "Windows NT 3.1",
                                                      "Windows NT 3.5",
                                                      "Windows NT 4.0",
                                                      "Windows 2000",
                                                      "Windows XP",
                                                      "Windows 2003",
                                                      "[Unknown]"};
    if (code < 0 || static_cast<size_t>(code) >= names.size())
        return "[Unknown]";
    return names[static_cast<size_t>(code)];
}

OSFields ClassifyVersion(const RawVersion& raw, const std::function<bool()>& hotfixQ246009) {
    OSFields os;
    const bool nt = raw.platformId == 2;
    os.major = static_cast<std::int32_t>(raw.major);
    os.minor = static_cast<std::int32_t>(raw.minor);
    if (nt && raw.major >= 5) {
        os.servicePackMajor = raw.servicePackMajor;
        os.servicePackMinor = raw.servicePackMinor;
        os.productType = raw.productType;
        os.verifySupported = true;
    }
    std::string_view csd = raw.servicePackText;
    csd = csd.substr(0, csd.find('\0'));
    os.servicePackText = Trim(csd);

    if (!nt) {
        os.build = static_cast<std::int16_t>(raw.build & 0xFFFFu);
        os.family = 0;
        if (raw.major == 4 && raw.minor == 0)
            os.platform = os.build == 950 ? 1 : 2;
        else if (raw.major == 4 && raw.minor == 10)
            os.platform = os.build == 1998 ? 3 : 4;
        else if (raw.major == 4)
            os.platform = 5;
        else
            os.platform = 0;
    } else {
        os.build = static_cast<std::int32_t>(raw.build % 65536u);
        if (raw.major == 3) {
            os.family = 1;
            os.platform = raw.minor == 0 ? 6 : raw.minor == 1 ? 7 : raw.minor == 5 ? 8 : 13;
        } else if (raw.major == 4) {
            os.family = 1;
            os.platform = 9;
        } else if (raw.major == 5) {
            static const std::array<std::int32_t, 3> codes = {10, 11, 12};
            static const std::array<std::int32_t, 3> families = {2, 3, 4};
            if (raw.minor < 3) {
                os.platform = codes[raw.minor];
                os.family = families[raw.minor];
            } else {
                os.platform = 13;
                os.family = 3;
            }
        } else {
            os.platform = 13;
            os.family = 0;
        }
        if (raw.major < 5) {
            for (int n = 1; n <= 6; ++n) {
                std::string wanted = "Service Pack ";
                wanted += std::to_string(n);
                if (os.servicePackText.find(wanted) != std::string::npos) {
                    os.servicePackMajor = n;
                    break;
                }
            }
        }
    }

    os.versionText =
        std::to_string(os.major) + "." + std::to_string(os.minor) + "." + LastFour(os.build);
    if (nt && raw.major == 4 && os.servicePackMajor == 6) {
        if (hotfixQ246009 && hotfixQ246009()) {
            os.servicePackMinor = 1;
            os.versionText += " Service Pack 6a";
        } else {
            os.versionText += " Service Pack 6";
        }
    } else if (os.servicePackMajor >= 1 || os.servicePackMinor >= 1) {
        os.versionText += " Service Pack ";
        os.versionText += std::to_string(os.servicePackMajor);
        if (os.servicePackMinor > 0) {
            os.versionText += '.';
            os.versionText += std::to_string(os.servicePackMinor);
        }
    }
    return os;
}

std::string SupportInformation(const OSFields& os) {
    return os.servicePackText.empty() ? std::string() : "(" + os.servicePackText + ")";
}

std::string SupportInformation2(const OSFields& os, const std::string& text0314) {
    if (os.servicePackMajor < 1)
        return {};
    return "(" + text0314 + std::to_string(os.servicePackMajor) + ")";
}

bool CompareVersionTuple(const OSFields& os, std::int32_t major, std::int32_t minor,
                         std::int32_t build, std::int32_t spMajor, std::int32_t spMinor,
                         std::int32_t comparisonType) {
    if (comparisonType < 1 || comparisonType > 5)
        return false;
    const std::array<std::int32_t, 5> mine = {os.major, os.minor, os.build, os.servicePackMajor,
                                              os.servicePackMinor};
    const std::array<std::int32_t, 5> given = {major, minor, build, spMajor, spMinor};
    int order = 0; // <0: the system is older, >0: newer
    for (size_t i = 0; i < mine.size() && order == 0; ++i) {
        if (given[i] < 0)
            continue;
        if (mine[i] != given[i])
            order = mine[i] < given[i] ? -1 : 1;
    }
    switch (comparisonType) {
    case 1:
        return order == 0;
    case 2:
        return order > 0;
    case 3:
        return order >= 0;
    case 4:
        return order < 0;
    default:
        return order <= 0;
    }
}

std::optional<RegistryValuePath> SplitRegistryValuePath(std::string_view path) {
    size_t first = path.find('\\');
    if (first == std::string_view::npos)
        return std::nullopt;
    RegistryValuePath out;
    out.root = ReadPathRootHandle(Trim(path.substr(0, first)));
    std::string_view rest = path.substr(first + 1);
    size_t last = rest.rfind('\\');
    if (last == std::string_view::npos) {
        out.value = std::string(rest);
    } else {
        out.subkey = Trim(rest.substr(0, last));
        out.value = std::string(rest.substr(last + 1));
    }
    return out;
}

} // namespace tw
