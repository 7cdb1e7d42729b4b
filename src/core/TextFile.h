#pragma once
// Appending to the program's text files (logs, index files, found-keys files): ANSI
// text, every line ended by CR LF, the file created when missing.
#include <string_view>

namespace tw {

// Appends `line` and CR LF. Returns false when the file cannot be opened or written.
bool AppendTextLine(const char* path, std::string_view line);

} // namespace tw

#include <string>
#include <vector>

namespace tw {

// Appends every line, each followed by CR LF, in one open of the file. Returns false when
// the file cannot be opened or written.
bool AppendTextLines(const char* path, const std::vector<std::string>& lines);

} // namespace tw
