#pragma once
// Appending to the program's text files (logs, index files, found-keys files): ANSI
// text, every line ended by CR LF, the file created when missing.
#include <string_view>

namespace tw {

// Appends `line` and CR LF. Returns false when the file cannot be opened or written.
bool AppendTextLine(const char* path, std::string_view line);

} // namespace tw
