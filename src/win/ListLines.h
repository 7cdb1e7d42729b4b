#pragma once
// Appending lines to a list box during long work that does not yield between lines.
#include <windows.h>

#include <string>

namespace tw::win {

// Appends `line` to the list box. The list stops redrawing itself with the first line
// and starts again (showing every line) as soon as this thread's messages are served:
// a run of thousands of lines costs one redraw instead of one per line, and the list is
// current whenever it could be painted.
void AppendListLine(HWND list, const std::string& line);

} // namespace tw::win
