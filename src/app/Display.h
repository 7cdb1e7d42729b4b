#pragma once
#include <string>

namespace tw {

// The description of the first display adapter; "" when the platform gives none.
std::string GetDisplayName();

} // namespace tw
