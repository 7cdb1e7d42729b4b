#pragma once
// How registry keys and values are written as text, and the rules that need no
// registry: splitting entries, matching names, formatting
// value data, and which keys the engine refuses to delete.
#include "core/RootNames.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace tw {

// A key entry: root name before the first backslash, subkey path after it.
struct KeyEntry {
    std::string Root;
    std::string Path;
};
std::optional<KeyEntry> SplitKeyEntry(std::string_view entry);

// A value entry: root before the first backslash, subkey path between the first and the
// last, value name after the last (empty: the key's default value). Nothing when there is
// no backslash or only one.
struct ValueEntry {
    std::string Root;
    std::string Path;
    std::string Value;
};
std::optional<ValueEntry> SplitValueEntry(std::string_view entry);

// A path read by the version detection: like a value entry, but root and subkey path are
// trimmed of blanks and a single backslash names a value of the root key itself.
std::optional<ValueEntry> SplitReadRegistryPath(std::string_view text);

// A search entry: root name before the first comma, the search text after it, untrimmed.
struct SearchEntry {
    std::string Root;
    std::string Text;
};
std::optional<SearchEntry> SplitSearchEntry(std::string_view entry);

// The search's root-key text as a number: decimal, or hexadecimal after "&H" (eight
// digits at most, read as a signed 32-bit value). Blanks around it are allowed. Nothing
// for text that is not a number.
std::optional<std::int32_t> ParseRootKeyText(std::string_view text);

// The text up to its first NUL character, or the whole text.
std::string_view StripNull(std::string_view text);

// Upper-cases the letters a to z only, as the search compares names.
std::string UpperAscii(std::string_view text);

// The search's name test. `upperNeedle` is the search text already upper-cased; with
// `whole` the text must equal it, otherwise contain it (letter case ignored either way).
bool MatchesSearch(std::string_view text, std::string_view upperNeedle, bool whole);

// The text form of value data as the search shows it (types: 1 string, 3 raw bytes,
// 4 32-bit number, 7 multi-string; every other type is unsupported).
std::string ValueText(std::uint32_t type, std::span<const unsigned char> data);

// Value data as read by QueryValue: strings up to their first NUL, raw bytes as the
// signed 16-bit number of their first two bytes, every other type empty.
std::string QueryValueText(std::uint32_t type, std::span<const unsigned char> data);

// A search hit's key path with the first matching known ending cut off, so that the
// key above it is the one recorded.
std::string CutHitEnding(std::string_view key);

// True when the engine must never delete this key, whatever a filter says: a root, a
// key directly below HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER, HKEY_USERS or
// HKEY_CURRENT_CONFIG, or a structural key of the system. `root` is a root name as the
// engine accepts it (any letter case); letter case, empty parts and trailing backslashes
// of `path` do not matter.
bool IsProtectedKey(std::string_view root, std::string_view path);

} // namespace tw
