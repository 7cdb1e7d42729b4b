#pragma once
// Shared by the end-to-end tests that start the real Tracewipe.exe from a fresh program
// folder below the build folder: Wine paths, whole-file reads and writes, and folders
// made and removed with everything in them.
#include <string>
#include <vector>

namespace tw::gui {

// A Linux path of the build machine as the program sees it, through Wine's Z: drive.
std::string WinPath(const char* unixPath);

std::string ReadAll(const std::string& path);
void WriteAll(const std::string& path, const std::string& text);
bool PathExists(const std::string& path);

// Deletes a folder with everything below it (read-only files included); no error when
// it is missing.
void RemoveTree(const std::string& dir);
// Names in a folder, "." and ".." left out, sorted.
std::vector<std::string> FolderNames(const std::string& dir);

// Makes `folder` afresh (removing what an earlier run left) and copies the named files
// of `programDir` into it. False when a copy failed.
bool MakeProgramFolder(const std::string& folder, const std::string& programDir,
                       const std::vector<std::string>& files);

} // namespace tw::gui
