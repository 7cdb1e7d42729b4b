#include "registry/rules/RegistryRules.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <vector>

namespace tw {

namespace {

constexpr std::uint32_t kClassesRoot = 0x80000000u;
constexpr std::uint32_t kCurrentUser = 0x80000001u;
constexpr std::uint32_t kLocalMachine = 0x80000002u;
constexpr std::uint32_t kUsers = 0x80000003u;
constexpr std::uint32_t kCurrentConfig = 0x80000005u;

char UpperChar(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

std::string_view TrimBlanks(std::string_view s) {
    while (!s.empty() && s.front() == ' ')
        s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ')
        s.remove_suffix(1);
    return s;
}

// Structural keys below HKEY_CLASSES_ROOT (and below every Software\Classes), upper-cased.
constexpr std::array<std::string_view, 16> kClassesStructural{
    "CLSID",
    "INTERFACE",
    "TYPELIB",
    "APPID",
    "*",
    "*\\SHELLEX",
    "*\\SHELLEX\\CONTEXTMENUHANDLERS",
    "DIRECTORY",
    "DIRECTORY\\SHELLEX",
    "DIRECTORY\\BACKGROUND",
    "FOLDER",
    "FOLDER\\SHELLEX",
    "DRIVE",
    "ALLFILESYSTEMOBJECTS",
    "MIME",
    "MIME\\DATABASE",
};

// Structural keys of a software hive (HKEY_LOCAL_MACHINE or a user's hive), upper-cased.
constexpr std::array<std::string_view, 9> kSoftwareStructural{
    "SOFTWARE\\CLASSES",
    "SOFTWARE\\MICROSOFT",
    "SOFTWARE\\MICROSOFT\\WINDOWS",
    "SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION",
    "SOFTWARE\\MICROSOFT\\WINDOWS NT",
    "SOFTWARE\\MICROSOFT\\WINDOWS NT\\CURRENTVERSION",
    "SOFTWARE\\WOW6432NODE",
    "SOFTWARE\\WOW6432NODE\\MICROSOFT",
    "SOFTWARE\\POLICIES",
};

// Below a control set: the set itself and these keys of it.
constexpr std::array<std::string_view, 5> kControlSetStructural{
    "SERVICES", "CONTROL", "ENUM", "CONTROL\\CLASS", "HARDWARE PROFILES",
};

std::string Join(const std::vector<std::string>& parts, size_t from) {
    std::string out;
    for (size_t i = from; i < parts.size(); ++i) {
        if (i > from)
            out += '\\';
        out += parts[i];
    }
    return out;
}

bool InList(std::span<const std::string_view> list, std::string_view key) {
    return std::find(list.begin(), list.end(), key) != list.end();
}

bool IsControlSetName(std::string_view part) {
    if (part == "CURRENTCONTROLSET")
        return true;
    constexpr std::string_view prefix = "CONTROLSET";
    if (part.size() != prefix.size() + 3 || part.substr(0, prefix.size()) != prefix)
        return false;
    return std::all_of(part.begin() + prefix.size(), part.end(),
                       [](char c) { return c >= '0' && c <= '9'; });
}

bool ClassesProtected(const std::vector<std::string>& parts, size_t from) {
    return from < parts.size() && InList(kClassesStructural, Join(parts, from));
}

// A software hive: HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER or one user below HKEY_USERS.
bool SoftwareProtected(const std::vector<std::string>& parts, size_t from) {
    if (parts.size() - from <= 1)
        return true; // the hive's direct subkeys
    if (InList(kSoftwareStructural, Join(parts, from)))
        return true;
    if (parts[from] == "SOFTWARE" && parts[from + 1] == "CLASSES")
        return ClassesProtected(parts, from + 2);
    return false;
}

} // namespace

std::string UpperAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        c = UpperChar(c);
    return out;
}

std::optional<KeyEntry> SplitKeyEntry(std::string_view entry) {
    const size_t first = entry.find('\\');
    if (first == std::string_view::npos)
        return std::nullopt;
    return KeyEntry{std::string(entry.substr(0, first)), std::string(entry.substr(first + 1))};
}

std::optional<ValueEntry> SplitValueEntry(std::string_view entry) {
    const size_t first = entry.find('\\');
    const size_t last = entry.rfind('\\');
    if (first == std::string_view::npos || first == last)
        return std::nullopt;
    return ValueEntry{std::string(entry.substr(0, first)),
                      std::string(entry.substr(first + 1, last - first - 1)),
                      std::string(entry.substr(last + 1))};
}

std::optional<ValueEntry> SplitReadRegistryPath(std::string_view text) {
    const size_t first = text.find('\\');
    if (first == std::string_view::npos)
        return std::nullopt;
    const std::string_view root = TrimBlanks(text.substr(0, first));
    const std::string_view rest = text.substr(first + 1);
    const size_t last = rest.rfind('\\');
    if (last == std::string_view::npos)
        return ValueEntry{std::string(root), std::string(), std::string(rest)};
    return ValueEntry{std::string(root), std::string(TrimBlanks(rest.substr(0, last))),
                      std::string(rest.substr(last + 1))};
}

std::optional<SearchEntry> SplitSearchEntry(std::string_view entry) {
    const size_t comma = entry.find(',');
    if (comma == std::string_view::npos)
        return std::nullopt;
    return SearchEntry{std::string(entry.substr(0, comma)), std::string(entry.substr(comma + 1))};
}

std::optional<std::int32_t> ParseRootKeyText(std::string_view text) {
    text = TrimBlanks(text);
    if (text.size() > 2 && text[0] == '&' && UpperChar(text[1]) == 'H') {
        const std::string_view digits = text.substr(2);
        if (digits.size() > 8)
            return std::nullopt;
        std::uint32_t v = 0;
        for (char c : digits) {
            const char u = UpperChar(c);
            unsigned d;
            if (u >= '0' && u <= '9')
                d = static_cast<unsigned>(u - '0');
            else if (u >= 'A' && u <= 'F')
                d = static_cast<unsigned>(u - 'A' + 10);
            else
                return std::nullopt;
            v = v * 16 + d;
        }
        return static_cast<std::int32_t>(v);
    }
    bool negative = false;
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    if (text.empty() || text.size() > 10)
        return std::nullopt;
    std::int64_t v = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        v = v * 10 + (c - '0');
    }
    if (negative)
        v = -v;
    if (v < INT32_MIN || v > INT32_MAX)
        return std::nullopt;
    return static_cast<std::int32_t>(v);
}

std::string_view StripNull(std::string_view text) {
    const size_t nul = text.find('\0');
    return nul == std::string_view::npos ? text : text.substr(0, nul);
}

bool MatchesSearch(std::string_view text, std::string_view upperNeedle, bool whole) {
    if (whole) {
        if (text.size() != upperNeedle.size())
            return false;
        for (size_t i = 0; i < text.size(); ++i)
            if (UpperChar(text[i]) != upperNeedle[i])
                return false;
        return true;
    }
    if (upperNeedle.empty())
        return true;
    if (text.size() < upperNeedle.size())
        return false;
    const char first = upperNeedle[0];
    const size_t lastStart = text.size() - upperNeedle.size();
    for (size_t i = 0; i <= lastStart; ++i) {
        if (UpperChar(text[i]) != first)
            continue;
        size_t j = 1;
        while (j < upperNeedle.size() && UpperChar(text[i + j]) == upperNeedle[j])
            ++j;
        if (j == upperNeedle.size())
            return true;
    }
    return false;
}

std::string ValueText(std::uint32_t type, std::span<const unsigned char> data) {
    switch (type) {
    case 1:
    case 7: {
        std::string_view text(reinterpret_cast<const char*>(data.data()), data.size());
        return std::string(StripNull(text));
    }
    case 3: {
        static constexpr char kHex[] = "0123456789ABCDEF";
        if (data.empty())
            return "00"; // no data reads as one zero byte
        std::string out;
        out.reserve(data.size() * 3);
        for (size_t i = 0; i < data.size(); ++i) {
            if (i)
                out += ' ';
            out += kHex[data[i] >> 4];
            out += kHex[data[i] & 15];
        }
        return out;
    }
    case 4: {
        std::uint32_t u = 0;
        for (size_t i = 0; i < 4 && i < data.size(); ++i)
            u |= static_cast<std::uint32_t>(data[i]) << (8 * i);
        char buf[32];
        std::snprintf(buf, sizeof buf, "0x%08X(%ld)", u,
                      static_cast<long>(static_cast<std::int32_t>(u)));
        return buf;
    }
    default:
        return "Temporary unsupported";
    }
}

std::string QueryValueText(std::uint32_t type, std::span<const unsigned char> data) {
    if (type == 1) {
        std::string_view text(reinterpret_cast<const char*>(data.data()), data.size());
        return std::string(StripNull(text));
    }
    if (type == 3) {
        std::uint16_t u = 0;
        if (!data.empty())
            u = data[0];
        if (data.size() > 1)
            u = static_cast<std::uint16_t>(u | (data[1] << 8));
        return std::to_string(static_cast<std::int16_t>(u));
    }
    return {};
}

std::string CutHitEnding(std::string_view key) {
    static constexpr std::array<std::string_view, 3> kEndings{
        "\\0000\\ATI WDM Configurations",
        "\\Settings\\ATI WDM Configurations",
        "\\0000\\Display\\shellex\\PropertySheetHandlers\\NVIDIA CPL Extension",
    };
    for (std::string_view ending : kEndings)
        if (key.ends_with(ending))
            return std::string(key.substr(0, key.size() - ending.size()));
    return std::string(key);
}

bool IsProtectedKey(std::string_view root, std::string_view path) {
    const std::uint32_t handle = RootHandleFromName(root);
    if (handle == 0)
        return false; // names no root: the registry refuses every call anyway
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find('\\', start);
        if (end == std::string_view::npos)
            end = path.size();
        if (end > start)
            parts.push_back(UpperAscii(path.substr(start, end - start)));
        start = end + 1;
    }
    if (parts.empty())
        return true; // the root itself
    switch (handle) {
    case kClassesRoot:
        return ClassesProtected(parts, 0);
    case kCurrentUser:
        return SoftwareProtected(parts, 0);
    case kLocalMachine:
        if (SoftwareProtected(parts, 0))
            return true;
        if (parts[0] == "SYSTEM" && IsControlSetName(parts[1])) {
            if (parts.size() == 2 || InList(kControlSetStructural, Join(parts, 2)))
                return true;
            // A device class key (Control\Class\{GUID}) holds every adapter of its class,
            // and a bus enumerator (Enum\PCI) every device on it: a search hit cut back
            // to one of them must not take the whole class or bus.
            if (parts.size() == 5 && parts[2] == "CONTROL" && parts[3] == "CLASS")
                return true;
            return parts.size() == 4 && parts[2] == "ENUM";
        }
        return false;
    case kUsers:
        if (parts.size() == 1)
            return true;
        if (parts[0].ends_with("_CLASSES"))
            return ClassesProtected(parts, 1);
        return SoftwareProtected(parts, 1);
    case kCurrentConfig:
        return parts.size() == 1;
    default:
        return false; // HKEY_PERFORMANCE_DATA, HKEY_DYN_DATA: only the root itself
    }
}

} // namespace tw
