#pragma once
// The unpacked text of a cleaning filter: lines ended by CR LF only, seven section
// headers, every other non-empty line an entry of the current section.
#include "core/TextFile.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tw {

enum class FilterSection {
    Files,
    SystemFiles,
    Directory,
    RegistrySection,
    RegistryValue,
    RegistrySearch,
    DriverPackages
};

// The section that `line` names when it is exactly one of the seven headers.
std::optional<FilterSection> SectionHeader(std::string_view line);

// The header of a section: "[FILES]" ...
std::string_view SectionHeaderText(FilterSection section);

// Calls `entry` for every entry line of `text` in file order, with the section it
// belongs to. Lines before the first header belong to [FILES]; empty lines are skipped.
void ForEachFilterEntry(std::string_view text,
                        const std::function<void(FilterSection, std::string_view)>& entry);

// The filter name of a filter file name: the text before its last ".".
std::string FilterNameOf(std::string_view fileName);

} // namespace tw
