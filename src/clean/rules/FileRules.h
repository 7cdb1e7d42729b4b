#pragma once
// Paths and report lines of the file and directory entries, and the folders that no
// entry may remove whatever a filter says.
#include "core/Paths.h"

#include <string>
#include <string_view>

namespace tw {

// "[DIRECTORY]" entries that begin with exactly these 14 characters (case included)
// lie below the Program Files folder.
inline constexpr std::string_view kProgramFilesPrefix = "\\Program Files";

// Full path of a [DIRECTORY] entry: the Program Files folder and the rest of the entry
// when it begins with "\Program Files"; otherwise the drive of the Windows folder (its
// first two characters) followed by the entry.
std::string DirectoryFullPath(std::string_view entry, std::string_view windowsDir,
                              std::string_view programFilesDir);

// A line of the detail lists: text, " (", full path, ")".
std::string DetailLine(std::string_view text, std::string_view fullPath);

// True when `name` (a last path component) holds a wildcard and its part before the
// last "." is made of wildcards and dots only: "*", "*.*", "????????.???", "*.dll".
bool IsWildcardOnlyName(std::string_view name);

// The folders that are never removed, nor anything above them, nor anything in the
// program folder. Any of them may be empty (then it protects nothing).
struct ProtectedFolders {
    std::string Windows;
    std::string System;
    std::string ProgramFiles;
    std::string Temp;
    std::string Profiles;
    std::string Program;
};

// A directory that must not be removed: a drive or share root, one of the protected
// folders or a folder above one of them, or anything in the program folder.
bool IsProtectedDirectory(std::string_view fullPath, const ProtectedFolders& folders);

// A file pattern that must not be deleted: a name made of wildcards only directly in
// the Windows or system folder, anything in the program folder, or a path that is a
// protected directory itself.
bool IsProtectedFilePattern(std::string_view fullPath, const ProtectedFolders& folders);

} // namespace tw
