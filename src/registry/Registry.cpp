#include "registry/Registry.h"

#include "registry/rules/RegistryRules.h"
#include "win/Handle.h"

#include <cstring>
#include <vector>

namespace tw {

namespace {
constexpr DWORD kNameBuffer = 260;
constexpr REGSAM kAllAccess = 0xF003F;
} // namespace

HKEY RootKeyFromValue(std::uint32_t value) {
    // The predefined handles are 32-bit values sign-extended to the pointer width.
    return reinterpret_cast<HKEY>(
        static_cast<ULONG_PTR>(static_cast<LONG_PTR>(static_cast<std::int32_t>(value))));
}

HKEY RootKeyFromName(std::string_view name) {
    const std::uint32_t value = RootHandleFromName(name);
    return value ? RootKeyFromValue(value) : nullptr;
}

namespace Registry {

void DeleteKey(HKEY root, const std::string& path) {
    RegDeleteKeyA(root, path.c_str());
}

bool DeleteSubKeys(HKEY root, const std::string& path) {
    win::UniqueKey key;
    if (RegOpenKeyExA(root, path.c_str(), 0, kAllAccess, key.put()) != ERROR_SUCCESS)
        return true;
    // Always index 0: each subkey found is deleted before the next enumeration.
    for (;;) {
        char name[kNameBuffer];
        char cls[kNameBuffer];
        DWORD nameLen = kNameBuffer;
        DWORD clsLen = kNameBuffer;
        FILETIME written;
        if (RegEnumKeyExA(key.get(), 0, name, &nameLen, nullptr, cls, &clsLen, &written) !=
            ERROR_SUCCESS)
            return true;
        const std::string sub(name, nameLen);
        if (!DeleteSubKeys(key.get(), sub))
            return false;
        if (RegDeleteKeyA(key.get(), sub.c_str()) != ERROR_SUCCESS)
            return false;
    }
}

void DeleteValue(HKEY root, const std::string& path, const std::string& valueName) {
    win::UniqueKey key;
    if (RegOpenKeyA(root, path.c_str(), key.put()) != ERROR_SUCCESS)
        return;
    RegDeleteValueA(key.get(), valueName.c_str());
}

std::string QueryValue(HKEY key, const std::string& valueName) {
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(key, valueName.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return {};
    if (type != REG_SZ && type != REG_BINARY)
        return {};
    std::vector<unsigned char> data(size);
    DWORD got = size;
    if (size > 0 && RegQueryValueExA(key, valueName.c_str(), nullptr, &type, data.data(), &got) !=
                        ERROR_SUCCESS)
        return {};
    data.resize(std::min(got, size));
    return QueryValueText(type, data);
}

std::string GetValue(HKEY root, const std::string& path, const std::string& valueName) {
    win::UniqueKey key;
    if (RegOpenKeyA(root, path.c_str(), key.put()) != ERROR_SUCCESS)
        return {};
    return QueryValue(key.get(), valueName);
}

} // namespace Registry
} // namespace tw
