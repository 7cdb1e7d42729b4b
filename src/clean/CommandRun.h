#pragma once
// Unattended runs from the command line: no window and no message box; the result goes
// to the report file and to the console the program was started from.
#include <string>
#include <vector>

namespace tw {

// Runs `args` (without the program's own name) and returns the exit code (ExitCode).
int RunCommandLine(const std::vector<std::string>& args);

} // namespace tw
