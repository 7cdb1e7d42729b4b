#pragma once
// Reading the texts of a decoded language file without the profile functions.
#include <functional>
#include <string_view>

namespace tw {

// Calls `text` for every "id=value" line of the [Language] section (section name in any
// letter case) of `fileText`, in file order, as the profile functions read it: lines end
// at LF with an optional CR before it, blanks around ids and values are dropped and one
// pair of surrounding quotes is removed from a value.
void ForEachLanguageText(std::string_view fileText,
                         const std::function<void(std::string_view, std::string_view)>& text);

} // namespace tw
