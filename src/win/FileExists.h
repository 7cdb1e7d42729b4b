#pragma once
#include <string>

namespace tw {

// modGeneral.FileExists: true when the platform can report the length of the file at
// Path; false for a missing file, a folder, an empty or malformed path.
bool FileExists(const std::string& Path);

} // namespace tw
