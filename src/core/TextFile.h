#pragma once
// The program's text files (logs, index files, found-keys files, filters): ANSI text,
// every line ended by CR LF; appending creates the file when it is missing.
#include <string>
#include <string_view>
#include <vector>

namespace tw {

// Splits at every CR LF pair; a lone CR or LF stays part of its line. The text after
// the last CR LF is a last element (empty when the text ends with CR LF). An empty
// text gives no elements at all.
std::vector<std::string_view> SplitCrLf(std::string_view text);

// The lines of `text` split at CR LF, blank ones left out.
std::vector<std::string> NonEmptyLines(std::string_view text);

// Appends `line` and CR LF. Returns false when the file cannot be opened or written.
bool AppendTextLine(const char* path, std::string_view line);

// Appends every line, each followed by CR LF, in one open of the file. Returns false when
// the file cannot be opened or written.
bool AppendTextLines(const char* path, const std::vector<std::string>& lines);

} // namespace tw
