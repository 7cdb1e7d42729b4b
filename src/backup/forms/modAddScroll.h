#pragma once
// Sideways scrolling for list boxes whose lines are wider than the box, and the
// selection of list boxes whose entries can be selected together.
#include <windows.h>

#include <vector>

namespace tw {

// Gives `list` a horizontal scroll extent as wide as its longest line (by characters; the
// earliest on a tie) followed by eight blanks, measured in the font of the window that
// holds it.
void AddScroll(HWND list);

// Selects or deselects every entry of a list box with several selectable entries.
void SelectEvery(HWND list, bool selected);
// The selection state of each entry, in order.
std::vector<bool> SelectedEntries(HWND list);

} // namespace tw
