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

} // namespace tw
