#include "core/Text.h"

namespace tw {

namespace {
TextLookup g_lookup = nullptr;
}

void SetTextLookup(TextLookup lookup) noexcept {
    g_lookup = lookup;
}

std::string LookupText(std::string_view id) {
    return g_lookup ? g_lookup(id) : std::string("?");
}

} // namespace tw
