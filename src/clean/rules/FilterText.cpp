#include "clean/rules/FilterText.h"

#include <array>
#include <utility>

namespace tw {

namespace {

constexpr std::array<std::pair<std::string_view, FilterSection>, 7> kHeaders{{
    {"[FILES]", FilterSection::Files},
    {"[SYSTEMFILES]", FilterSection::SystemFiles},
    {"[DIRECTORY]", FilterSection::Directory},
    {"[REGISTRY.SECTION]", FilterSection::RegistrySection},
    {"[REGISTRY.VALUE]", FilterSection::RegistryValue},
    {"[REGISTRY.SEARCH]", FilterSection::RegistrySearch},
    {"[DRIVERPACKAGES]", FilterSection::DriverPackages},
}};

} // namespace

std::optional<FilterSection> SectionHeader(std::string_view line) {
    for (const auto& [header, section] : kHeaders)
        if (line == header)
            return section;
    return std::nullopt;
}

std::string_view SectionHeaderText(FilterSection section) {
    for (const auto& [header, known] : kHeaders)
        if (known == section)
            return header;
    return {};
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
