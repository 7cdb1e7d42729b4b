#pragma once
// The thin layer between the program and the registry functions. Nothing here shows a
// message or raises an error: a missing key or value, a refused access or a root
// handle of 0 changes nothing. Every key opened here is closed before the call returns.
#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace tw {

// The predefined root handle of a full root name in any letter case, nullptr (0) for
// any other name (so "HKLM" names nothing).
HKEY RootKeyFromName(std::string_view name);

// The handle of a root given as its 32-bit value (0x80000002 ...), as the platform
// defines it on this architecture.
HKEY RootKeyFromValue(std::uint32_t value);

namespace Registry {

// Deletes root\path itself; fails on a key that still has subkeys.
void DeleteKey(HKEY root, const std::string& path);
// Deletes every subkey of root\path at every depth and leaves root\path in place. True
// when all are gone or root\path cannot be opened; false at the first subkey that could
// not be deleted (those deleted before it stay deleted).
bool DeleteSubKeys(HKEY root, const std::string& path);
// Deletes one value of root\path (an empty name: the key's default value).
void DeleteValue(HKEY root, const std::string& path, const std::string& valueName);
// A value of an open key as text: strings up to their first NUL, raw bytes as the
// signed 16-bit number of their first two bytes; empty text for other types or on failure.
std::string QueryValue(HKEY key, const std::string& valueName);
// QueryValue on root\path, opened and closed here; empty when the key or value is missing.
std::string GetValue(HKEY root, const std::string& path, const std::string& valueName);

} // namespace Registry
} // namespace tw
