#include "FilterSource.h"

#include "clean/rules/InfFile.h"
#include "core/RootNames.h"
#include "decode/TextSource.h"

#include <algorithm>
#include <array>

namespace tw::seed {

namespace {

char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

std::string LowerCopy(std::string_view s) {
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(), Lower);
    return out;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && LowerCopy(a) == LowerCopy(b);
}

std::vector<std::string_view> Split(std::string_view s, char sep) {
    std::vector<std::string_view> parts;
    size_t start = 0;
    for (;;) {
        size_t cut = s.find(sep, start);
        parts.push_back(s.substr(start, cut == std::string_view::npos ? cut : cut - start));
        if (cut == std::string_view::npos)
            return parts;
        start = cut + 1;
    }
}

// Folders (from the root of the Windows drive) that are never a vendor's own.
constexpr std::array<const char*, 16> kSharedFolders{
    "",
    "\\Program Files",
    "\\Program Files (x86)",
    "\\Program Files\\Common Files",
    "\\Program Files (x86)\\Common Files",
    "\\Program Files\\AMD",
    "\\Program Files (x86)\\AMD",
    "\\ProgramData",
    "\\ProgramData\\AMD",
    "\\ProgramData\\Microsoft",
    "\\Documents and Settings",
    "\\Documents and Settings\\All Users",
    "\\Documents and Settings\\All Users\\Application Data",
    "\\Users",
    "\\Windows",
    "\\WINNT"};

// Key names that hold the keys of many programs: a key with such a last name is shared.
constexpr std::array<const char*, 24> kSharedKeyNames{"Software",
                                                      "Microsoft",
                                                      "Windows",
                                                      "Windows NT",
                                                      "CurrentVersion",
                                                      "Run",
                                                      "RunOnce",
                                                      "Uninstall",
                                                      "Classes",
                                                      "Wow6432Node",
                                                      "System",
                                                      "Application",
                                                      "EventLog",
                                                      "Services",
                                                      "Control",
                                                      "Class",
                                                      "Enum",
                                                      "shellex",
                                                      "ContextMenuHandlers",
                                                      "OpenGLDrivers",
                                                      "CurrentControlSet",
                                                      "ControlSet001",
                                                      "AMD",
                                                      "Directory"};

// Key names of Windows that a short search text would hit.
constexpr std::array<const char*, 16> kWindowsKeyNames{
    "Configuration", "Station",         "Automation",        "Notifications",
    "Applications",  "Associations",    "Authentication",    "Navigation",
    "Activation",    "Locations",       "Advanced",          "Environment",
    "Devices",       "Navigation Pane", "Internet Settings", "Radiation Labs"};

// Providers whose name also stands on chipset, storage and other packages than display
// and audio drivers: an entry for them names its class.
constexpr std::array<const char*, 3> kSharedProviders{"Advanced Micro Devices, Inc.",
                                                      "Advanced Micro Devices", "AMD"};

void CheckPackage(std::string_view e, std::vector<std::string>& out) {
    const auto rule = SplitPackageEntry(e);
    if (!rule) {
        out.push_back("not Class|Provider");
        return;
    }
    if (rule->Provider == "*" || HasWildcard(rule->Class.substr(rule->Class == "*" ? 1 : 0)))
        out.push_back("wildcard provider or class pattern");
    for (const char* shared : kSharedProviders) {
        if (rule->Class == "*" && EqualNoCase(rule->Provider, shared))
            out.push_back("every class of a provider that ships chipset and storage drivers");
    }
}

void CheckFile(std::string_view e, std::vector<std::string>& out) {
    if (e.empty() || e.front() != '\\') {
        out.push_back("does not begin with a backslash");
        return;
    }
    auto parts = Split(e.substr(1), '\\');
    for (size_t i = 0; i + 1 < parts.size(); ++i) {
        if (HasWildcard(parts[i]))
            out.push_back("wildcard in a folder name");
        if (parts[i] == ".." || parts[i] == "." || parts[i].empty())
            out.push_back("empty or relative folder name");
    }
    std::string_view name = parts.back();
    size_t wild = name.find_first_of("*?");
    if (name.empty())
        out.push_back("no file name");
    else if (wild != std::string_view::npos && wild < 3)
        out.push_back("wildcard name without a specific beginning");
}

void CheckDirectory(std::string_view e, std::vector<std::string>& out) {
    if (e.empty() || e.front() != '\\') {
        out.push_back("does not begin with a backslash");
        return;
    }
    if (HasWildcard(e))
        out.push_back("wildcard in a folder");
    std::string_view trimmed = e;
    while (!trimmed.empty() && trimmed.back() == '\\')
        trimmed.remove_suffix(1);
    for (const char* shared : kSharedFolders) {
        if (EqualNoCase(trimmed, shared))
            out.push_back("names a shared folder");
    }
    for (auto part : Split(trimmed.substr(trimmed.empty() ? 0 : 1), '\\')) {
        if (part == ".." || part == ".")
            out.push_back("relative folder name");
    }
    std::string low = LowerCopy(trimmed);
    if (low.rfind("\\windows\\", 0) == 0 || low.rfind("\\winnt\\", 0) == 0)
        out.push_back("below the Windows folder");
}

// Root name and key path of "ROOT\key..."; the key path is empty when malformed.
std::pair<std::string_view, std::string_view> SplitKey(std::string_view e) {
    size_t cut = e.find('\\');
    if (cut == std::string_view::npos)
        return {e, {}};
    return {e.substr(0, cut), e.substr(cut + 1)};
}

void CheckKey(std::string_view root, std::string_view key, std::vector<std::string>& out) {
    if (!IsRootName(root))
        out.push_back("unknown root name");
    auto parts = Split(key, '\\');
    if (key.empty() || parts.size() < 2)
        out.push_back("a top-level key of its hive");
    for (auto p : parts) {
        if (p.empty())
            out.push_back("empty key name");
    }
    for (const char* shared : kSharedKeyNames) {
        if (EqualNoCase(parts.back(), shared))
            out.push_back("names a key shared by many programs");
    }
}

} // namespace

std::vector<FilterEntry> ReadFilterEntries(std::string_view text) {
    // An authored source becomes what the packer ships (CR LF, no "#" lines); the
    // entries are then read exactly as the cleaning engine reads them.
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    std::vector<std::uint8_t> shipped = PrepareTextSource({bytes, text.size()});
    std::vector<FilterEntry> entries;
    ForEachFilterEntry(
        std::string_view(reinterpret_cast<const char*>(shipped.data()), shipped.size()),
        [&](FilterSection section, std::string_view line) {
            entries.push_back({section, std::string(line)});
        });
    return entries;
}

bool HasWildcard(std::string_view name) {
    return name.find_first_of("*?") != name.npos;
}

std::string ConcreteName(std::string_view pattern) {
    std::string out;
    for (char c : pattern) {
        if (c == '*')
            out += "TW01";
        else if (c == '?')
            out += 'x';
        else
            out += c;
    }
    return out;
}

bool IsRootName(std::string_view name) {
    return std::any_of(RootNames().begin(), RootNames().end(),
                       [&](const RootName& r) { return r.Full == name; });
}

std::vector<std::string> SafetyProblems(const FilterEntry& entry) {
    std::vector<std::string> out;
    std::string_view e = entry.text;
    if (e.find_first_of(" \t") == 0 || (!e.empty() && (e.back() == ' ' || e.back() == '\t')))
        out.push_back("blank at the beginning or end");
    switch (entry.section) {
    case Section::Files:
    case Section::SystemFiles:
        CheckFile(e, out);
        break;
    case Section::Directory:
        CheckDirectory(e, out);
        break;
    case Section::RegistrySection: {
        auto [root, key] = SplitKey(e);
        CheckKey(root, key, out);
        break;
    }
    case Section::RegistryValue: {
        auto [root, rest] = SplitKey(e);
        size_t last = rest.rfind('\\');
        if (last == std::string_view::npos || last + 1 == rest.size()) {
            out.push_back("no value name");
            break;
        }
        CheckKey(root, rest.substr(0, last), out);
        // a value below a shared key (such as Run) is fine: only the key itself is shared
        out.erase(std::remove(out.begin(), out.end(), "names a key shared by many programs"),
                  out.end());
        break;
    }
    case Section::RegistrySearch: {
        size_t comma = e.find(',');
        if (comma == std::string_view::npos) {
            out.push_back("no comma");
            break;
        }
        if (!IsRootName(e.substr(0, comma)))
            out.push_back("unknown root name");
        std::string_view text = e.substr(comma + 1);
        if (!text.empty() && (text.front() == ' ' || text.back() == ' '))
            out.push_back("blank at the beginning or end of the search text");
        if (text.size() < 6)
            out.push_back("search text shorter than 6 characters");
        std::string low = LowerCopy(text);
        for (const char* windows : kWindowsKeyNames) {
            if (LowerCopy(windows).find(low) != std::string::npos)
                out.push_back(std::string("search text also hits \"") + windows + "\"");
        }
        break;
    }
    case Section::DriverPackages:
        CheckPackage(e, out);
        break;
    }
    return out;
}

} // namespace tw::seed
