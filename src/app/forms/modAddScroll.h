#pragma once
// A horizontal scroll extent for a list box, so that its longest line can be scrolled to.
#include "app/forms/Form.h"

#include <string>
#include <string_view>
#include <vector>

namespace tw {

// Gives the list box `list` of `form` a horizontal extent for its longest entry (by
// number of characters, the earliest on a tie): the width of that text followed by eight
// spaces in the form's font, taken in twips and divided by the screen's twips per pixel.
// An empty list gets the width of the eight spaces.
void AddScroll(Form& form, std::string_view list);
// The same for a list that holds `entries`, in order, without reading them back (the
// platform's list box may fail on reading back a very long entry).
void AddScroll(Form& form, std::string_view list, const std::vector<std::string>& entries);

} // namespace tw
