// The filter text parser against any text: every entry is a non-empty line that is no
// section header, and writing the entries back under their headers reads back the same.
#include "clean/rules/FilterText.h"

#include <cstdlib>
#include <utility>

using Entries = std::vector<std::pair<tw::FilterSection, std::string>>;

static Entries Read(std::string_view text) {
    Entries entries;
    tw::ForEachFilterEntry(text, [&](tw::FilterSection section, std::string_view line) {
        if (line.empty() || line.find("\r\n") != std::string_view::npos || tw::SectionHeader(line))
            std::abort();
        entries.emplace_back(section, line);
    });
    return entries;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const Entries entries = Read({reinterpret_cast<const char*>(data), size});
    std::string again;
    for (const auto& [section, line] : entries)
        again += std::string(tw::SectionHeaderText(section)) + "\r\n" + line + "\r\n";
    if (Read(again) != entries)
        std::abort();
    return 0;
}
