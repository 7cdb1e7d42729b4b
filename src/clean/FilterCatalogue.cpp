#include "clean/FilterCatalogue.h"

#include "clean/rules/FilterText.h"
#include "win/FileFind.h"

namespace tw {

std::vector<std::string> FilterCatalogue(const std::string& programFolder) {
    std::vector<std::string> names;
    for (const auto& found : win::ListDirectory(programFolder + "\\*.twf", win::kListNormal))
        names.push_back(FilterNameOf(found.Name));
    return names;
}

} // namespace tw
