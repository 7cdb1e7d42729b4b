#pragma once
// The program's texts come from the language file by four-digit id. Code that sits
// below the language packs (the decoder, the engine) asks through this hook; the
// application installs its language lookup at start-up.
#include <string>
#include <string_view>

namespace tw {

using TextLookup = std::string (*)(std::string_view id);

// Installs the lookup (nullptr: none). Without one every text is "?".
void SetTextLookup(TextLookup lookup) noexcept;
std::string LookupText(std::string_view id);

} // namespace tw
