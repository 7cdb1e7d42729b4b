#include "core/RootNames.h"

#include <array>

namespace tw {

namespace {

constexpr std::array<RootName, 7> kRoots{{
    {"HKEY_CLASSES_ROOT", "HKCR", 0x80000000u, "&H80000000"},
    {"HKEY_CURRENT_USER", "HKCU", 0x80000001u, "&H80000001"},
    {"HKEY_LOCAL_MACHINE", "HKLM", 0x80000002u, "&H80000002"},
    {"HKEY_USERS", "HKU", 0x80000003u, "&H80000003"},
    {"HKEY_PERFORMANCE_DATA", "", 0x80000004u, "&H80000004"},
    {"HKEY_CURRENT_CONFIG", "", 0x80000005u, "&H80000005"},
    {"HKEY_DYN_DATA", "", 0x80000006u, "&H80000006"},
}};

constexpr std::uint32_t kCurrentUser = 0x80000001u;

} // namespace

std::span<const RootName> RootNames() {
    return kRoots;
}

std::uint32_t RootHandleFromName(std::string_view name) {
    std::string upper(name);
    for (char& c : upper)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    for (const RootName& r : kRoots)
        if (r.Full == upper)
            return r.Handle;
    return 0;
}

std::string RootHandleText(std::string_view name) {
    for (const RootName& r : kRoots)
        if (r.Full == name)
            return std::string(r.HandleText);
    return {};
}

std::string RootNameFromHandle(std::uint32_t handle) {
    for (const RootName& r : kRoots)
        if (r.Handle == handle)
            return std::string(r.Full);
    return {};
}

std::uint32_t ReadPathRootHandle(std::string_view name) {
    while (!name.empty() && name.front() == ' ')
        name.remove_prefix(1);
    while (!name.empty() && name.back() == ' ')
        name.remove_suffix(1);
    for (size_t i = 0; i < 4; ++i)
        if (kRoots[i].Full == name || kRoots[i].Short == name)
            return kRoots[i].Handle;
    return kCurrentUser;
}

} // namespace tw
