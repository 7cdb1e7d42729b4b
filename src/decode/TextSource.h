#pragma once
// Authored text sources of language files and filters, before they are packed.
#include <cstdint>
#include <span>
#include <vector>

namespace tw {

// Ends every line with CR LF (LF and CR LF line ends are accepted) and drops the lines
// whose first character is "#": those document the source and are not part of the data.
// A last line without a line end keeps having none.
std::vector<std::uint8_t> PrepareTextSource(std::span<const std::uint8_t> source);

} // namespace tw
