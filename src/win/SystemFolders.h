#pragma once
// Where the system keeps its folders. Every query is silent: a failure gives an empty text.
#include <string>

namespace tw {

// GetWindowsDirectoryA / GetSystemDirectoryA: no trailing "\" unless a drive root.
std::string GetWindowsDir();
std::string GetSystemDir();
// GetTempPathA, in the platform's form (with a trailing "\").
std::string GetTempDir();
// HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion "ProgramFilesDir";
// empty when missing.
std::string GetProgramFilesDir();
// The folder that holds the user profiles; empty when the platform has none.
std::string GetProfilesDir();

} // namespace tw
