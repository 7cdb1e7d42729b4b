#pragma once
// Platform-free text rules of the GUI driver.
#include <string>
#include <string_view>

namespace tw::gui {

// A Linux path as Wine sees it on drive Z: ("/tmp/x" -> "Z:\tmp\x"); other paths are
// returned unchanged.
std::string WinePath(std::string_view path);

} // namespace tw::gui
