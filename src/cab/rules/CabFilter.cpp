#include "cab/rules/CabFilter.h"
#include "core/TextFile.h"

namespace tw {

std::vector<std::string> CabFilterLines(std::string_view text) {
    std::vector<std::string> lines;
    for (std::string_view line : SplitCrLf(text))
        if (!line.empty())
            lines.emplace_back(line);
    return lines;
}

} // namespace tw
