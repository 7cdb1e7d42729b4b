#pragma once
// The predefined registry roots by name, short name and handle value: the one table the
// engine, the backups and the version detection all read.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace tw {

// One predefined root: its full name, the short name (empty for the last three), its
// handle as a 32-bit value and the handle text handed to the search ("&H80000002").
struct RootName {
    std::string_view Full;
    std::string_view Short;
    std::uint32_t Handle;
    std::string_view HandleText;
};

// The seven roots, HKEY_CLASSES_ROOT first and HKEY_DYN_DATA last.
std::span<const RootName> RootNames();

// Name to handle as the engine maps it: the name is upper-cased first; full names only.
// 0 for any other name.
std::uint32_t RootHandleFromName(std::string_view name);
// Name to handle text for the search start: exact and case-sensitive; empty text when
// the name is not one of the seven full names.
std::string RootHandleText(std::string_view name);
// Handle to full name; empty text for any other handle.
std::string RootNameFromHandle(std::uint32_t handle);
// Root name of a path read by the version detection: trimmed, exact, full or short
// names of the first four roots; anything else gives HKEY_CURRENT_USER.
std::uint32_t ReadPathRootHandle(std::string_view name);

} // namespace tw
