#pragma once
// Unattended runs from the command line: no window and no message box; the result goes
// to the report file and to the console the program was started from.
#include <string>
#include <vector>

namespace tw {

// Runs `args` (without the program's own name) and returns the exit code (ExitCode).
int RunCommandLine(const std::vector<std::string>& args);

// Writes `lines` to the console and, when `report` names one, to that file (replaced), as
// ANSI text with CR LF. False when the report file cannot be written whole.
bool EmitCommandOutput(const std::vector<std::string>& lines, const std::string& report);

} // namespace tw
