#pragma once
// Starting an external program (the registry tool, the cabinet extraction tool) and
// waiting for it on the user-interface thread while windows keep being served.
#include <string>

namespace tw {

// Starts `commandLine` as a new process shown with `windowStyle` (0: hidden) and returns
// when the process has ended, with its exit code. Messages are dispatched while it waits,
// without polling. Throws AppError (run-time error 53) when the program cannot be started.
unsigned long StartAndWait(const std::string& commandLine, int windowStyle);

} // namespace tw
