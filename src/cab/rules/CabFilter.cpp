#include "cab/rules/CabFilter.h"
#include "core/TextFile.h"

namespace tw {

std::vector<std::string> CabFilterLines(std::string_view text) {
    return NonEmptyLines(text);
}

} // namespace tw
