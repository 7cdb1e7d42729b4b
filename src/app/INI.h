#pragma once
// The settings store: Tracewipe.ini (and the decoded language file) in the program folder.
#include <string>
#include <string_view>

namespace tw {

inline constexpr const char* kIniFile = "Tracewipe.ini";

// Reads a value from program folder\FileName. A missing file, section or key gives
// Default; a value read back holds at most 254 characters.
std::string ReadINI(std::string_view FileName, std::string_view Section, std::string_view KeyName,
                    std::string_view Default);

// Writes a value to program folder\FileName; every CR and LF in Value becomes a space.
// A refused write is not reported.
void WriteINI(std::string_view FileName, std::string_view Section, std::string_view KeyName,
              std::string_view Value);

} // namespace tw
