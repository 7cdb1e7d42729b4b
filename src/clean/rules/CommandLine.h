#pragma once
// The command line of unattended runs:
//   /preview "<filter name>" [/report "<file>"]
//   /clean "<filter name>" [/report "<file>"]
// Switches in any letter case and any order; each is followed by its value.
#include <optional>
#include <string>
#include <vector>

namespace tw {

struct CommandLine {
    enum class Mode { Preview, Clean };
    Mode Command = Mode::Preview;
    std::string Filter;
    std::string Report; // empty: no report file
};

// The exit codes of an unattended run.
enum ExitCode : int {
    kExitFound = 0,      // something was found (and, for a clean, removed)
    kExitNothing = 1,    // nothing was found
    kExitNotRemoved = 2, // some items were not removed
    kExitBadFilter = 3,  // the filter is missing or cannot be unpacked
    kExitRunning = 4,    // another instance is running
    kExitBadArgs = 5,    // not a command line of the program, or the report cannot be written
    kExitRestart = 6,    // a clean removed the rest; files in use go at the next restart
    kExitNo64Bit = 7,    // 64-bit Windows, and the 64-bit program cannot be started
};

// `args` without the program's own name. Nothing when they are not exactly one command
// with a filter name and at most one report file, none of them empty.
std::optional<CommandLine> ParseCommandLine(const std::vector<std::string>& args);

// A filter name that names a file of the program folder: no folder part, no wildcard.
bool IsPlainFilterName(const std::string& name);

} // namespace tw
