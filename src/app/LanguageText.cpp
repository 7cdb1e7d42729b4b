#include "app/LanguageText.h"

namespace tw {

namespace {

std::string_view Trim(std::string_view s) {
    const size_t first = s.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

bool IsLanguageSection(std::string_view name) {
    constexpr std::string_view kName = "language";
    if (name.size() != kName.size())
        return false;
    for (size_t i = 0; i < name.size(); ++i) {
        const char c = name[i] >= 'A' && name[i] <= 'Z' ? static_cast<char>(name[i] + 32) : name[i];
        if (c != kName[i])
            return false;
    }
    return true;
}

} // namespace

void ForEachLanguageText(std::string_view fileText,
                         const std::function<void(std::string_view, std::string_view)>& text) {
    bool inSection = false;
    while (!fileText.empty()) {
        const size_t end = fileText.find('\n');
        std::string_view line = fileText.substr(0, end);
        fileText = end == std::string_view::npos ? std::string_view() : fileText.substr(end + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        line = Trim(line);
        if (line.size() >= 2 && line.front() == '[') {
            const size_t close = line.find(']');
            inSection =
                close != std::string_view::npos && IsLanguageSection(line.substr(1, close - 1));
            continue;
        }
        const size_t eq = line.find('=');
        if (!inSection || eq == std::string_view::npos)
            continue;
        std::string_view value = Trim(line.substr(eq + 1));
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
            value.back() == value.front())
            value = value.substr(1, value.size() - 2);
        text(Trim(line.substr(0, eq)), value);
    }
}

} // namespace tw
