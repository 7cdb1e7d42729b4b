#pragma once
// Where the system keeps its folders. Every query is silent: a failure gives an empty text.
#include <string>

namespace tw {

// GetWindowsDirectoryA / GetSystemDirectoryA: no trailing "\" unless a drive root.
std::string GetWindowsDir();
std::string GetSystemDir();
// GetTempPathA, in the platform's form (with a trailing "\").
std::string GetTempDir();
// The Program Files folder is a registry value: GetProgramFilesDir, registry/Registry.h.
// The folder that holds the user profiles; empty when the platform has none.
std::string GetProfilesDir();

} // namespace tw
