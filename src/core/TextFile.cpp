#include "core/TextFile.h"

#include <cstdio>

namespace tw {

bool AppendTextLines(const char* path, const std::vector<std::string>& lines) {
    std::FILE* f = std::fopen(path, "ab");
    if (!f)
        return false;
    bool ok = true;
    for (const std::string& line : lines) {
        ok = ok && std::fwrite(line.data(), 1, line.size(), f) == line.size() &&
             std::fwrite("\r\n", 1, 2, f) == 2;
    }
    ok = std::fclose(f) == 0 && ok;
    return ok;
}

bool AppendTextLine(const char* path, std::string_view line) {
    return AppendTextLines(path, {std::string(line)});
}

std::vector<std::string_view> SplitCrLf(std::string_view text) {
    std::vector<std::string_view> lines;
    if (text.empty())
        return lines;
    size_t start = 0;
    for (;;) {
        size_t end = text.find("\r\n", start);
        if (end == std::string_view::npos) {
            lines.push_back(text.substr(start));
            return lines;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
}

std::vector<std::string> NonEmptyLines(std::string_view text) {
    std::vector<std::string> lines;
    for (std::string_view line : SplitCrLf(text))
        if (!line.empty())
            lines.emplace_back(line);
    return lines;
}

} // namespace tw
