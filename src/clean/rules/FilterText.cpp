#include "clean/rules/FilterText.h"

#include <array>
#include <utility>

namespace tw {

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

std::optional<FilterSection> SectionHeader(std::string_view line) {
    static constexpr std::array<std::pair<std::string_view, FilterSection>, 6> kHeaders{{
        {"[FILES]", FilterSection::Files},
        {"[SYSTEMFILES]", FilterSection::SystemFiles},
        {"[DIRECTORY]", FilterSection::Directory},
        {"[REGISTRY.SECTION]", FilterSection::RegistrySection},
        {"[REGISTRY.VALUE]", FilterSection::RegistryValue},
        {"[REGISTRY.SEARCH]", FilterSection::RegistrySearch},
    }};
    for (const auto& [header, section] : kHeaders)
        if (line == header)
            return section;
    return std::nullopt;
}

void ForEachFilterEntry(std::string_view text,
                        const std::function<void(FilterSection, std::string_view)>& entry) {
    FilterSection current = FilterSection::Files;
    for (std::string_view line : SplitCrLf(text)) {
        if (auto header = SectionHeader(line))
            current = *header;
        else if (!line.empty())
            entry(current, line);
    }
}

std::string FilterNameOf(std::string_view fileName) {
    size_t dot = fileName.rfind('.');
    return std::string(dot == std::string_view::npos ? fileName : fileName.substr(0, dot));
}

} // namespace tw
