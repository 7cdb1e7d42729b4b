#pragma once
// Paths compared as text, the way the file system reads them, without touching it.
#include <string>
#include <string_view>

namespace tw {

// Lexical form of a path for comparison: "/" read as "\", "." components dropped, ".."
// taking away the component before it (never the drive), each component without the
// trailing dots and blanks that the file system ignores, no trailing separator, lower
// case. "C:" and "C:\" both give "c:".
std::string NormalizePath(std::string_view path);

// True when the relative path `rest` climbs above the folder it is glued to through
// ".." components at any point.
bool LeavesBase(std::string_view rest);

// True when `name` names a file of the folder it is glued to: not empty, no folder part,
// no drive, no wildcard, not "." or "..".
bool IsPlainFileName(std::string_view name);

// True when a path in the form NormalizePath gives names a drive ("c:"), a share
// ("\\server\share"), the root of the current drive ("\") or nothing at all.
bool IsRootPath(std::string_view normalized);

} // namespace tw
