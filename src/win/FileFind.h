#pragma once
// Directory listing with the attribute filter of the program's folder tests: a plain
// listing sees neither hidden nor system files nor folders; asking for the directory
// attribute adds folders (with "." and "..") to the plain files.
#include <windows.h>

#include <string>
#include <vector>

namespace tw::win {

// Attribute bits of a listing request.
inline constexpr DWORD kListNormal = 0;
inline constexpr DWORD kListReadOnly = FILE_ATTRIBUTE_READONLY; // accepted, filters nothing
inline constexpr DWORD kListHidden = FILE_ATTRIBUTE_HIDDEN;
inline constexpr DWORD kListSystem = FILE_ATTRIBUTE_SYSTEM;
inline constexpr DWORD kListDirectory = FILE_ATTRIBUTE_DIRECTORY;
// normal + read-only + hidden + system + directory (23): everything
inline constexpr DWORD kListAll = kListReadOnly | kListHidden | kListSystem | kListDirectory;

struct FoundName {
    std::string Name; // as the file system spells it
    DWORD Attributes; // FILE_ATTRIBUTE_* of the entry
};

// True when an entry with `attributes` is seen by a listing that asks for `request`:
// each of its hidden, system and directory bits must be asked for.
bool ListingSees(DWORD attributes, DWORD request) noexcept;

// The names that `pattern` matches and the request sees, in the order the file system
// returns them. Wildcards "*" and "?" are allowed in the last component; a pattern
// ending in "\" lists that folder's contents. Empty when nothing matches or the path
// cannot be listed.
std::vector<FoundName> ListDirectory(const std::string& pattern, DWORD request);

// True when ListDirectory would return at least one name (stops at the first).
bool AnyListed(const std::string& pattern, DWORD request);

} // namespace tw::win
