#pragma once
// The unpacked text of a cab filter: one cabinet per line, each a path below the Windows
// folder, lines ended by CR LF.
#include <string>
#include <string_view>
#include <vector>

namespace tw {

// The cabinet lines of `text` in file order, empty lines dropped.
std::vector<std::string> CabFilterLines(std::string_view text);

} // namespace tw
