#pragma once
#include <string>

namespace tw {

// The folder that holds the running executable, without a trailing backslash.
std::string ProgramFolder();

} // namespace tw
