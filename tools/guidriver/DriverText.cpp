#include "DriverText.h"

namespace tw::gui {

std::string WinePath(std::string_view path) {
    if (path.empty() || path.front() != '/')
        return std::string(path);
    std::string out = "Z:";
    for (char c : path)
        out += (c == '/') ? '\\' : c;
    return out;
}

} // namespace tw::gui
