#pragma once
// The cleaning filters on offer: the packed *.twf files in the program folder.
#include <string>
#include <vector>

namespace tw {

// The filter names (file name up to its last ".") of the *.twf files in `programFolder`
// that a plain listing sees (hidden and system files are not offered), in the order the
// listing returns them.
std::vector<std::string> FilterCatalogue(const std::string& programFolder);

} // namespace tw
