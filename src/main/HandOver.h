#pragma once
// The 32-bit program on 64-bit Windows: file-system and registry redirection would show it
// the 32-bit half of the system (SysWOW64 for system32, Wow6432Node for the software
// keys), so it cleans nothing itself and hands the whole run to the 64-bit program beside
// it. The 32-bit parts are cleaned where a filter names them: \SysWOW64\... and
// ...\Wow6432Node\...
#include <string>
#include <vector>

namespace tw {

// The 64-bit program's file name in the program folder.
inline constexpr char k64BitProgram[] = "Tracewipe64.exe";

// True when this is a 32-bit process on 64-bit Windows. IsWow64Process is looked up at
// run time: Windows before XP SP2 does not have it, and has no 64-bit half either.
bool RunsOnWow64();

// Starts the 64-bit program with this process's command line, its standard handles and its
// console, waits for it and returns its exit code. When it is missing or cannot be
// started, says so (a message box without arguments; the console and the /report file of
// `args` with them) and returns kExitNo64Bit: the 32-bit half is never cleaned instead.
int HandOverTo64Bit(const std::vector<std::string>& args);

} // namespace tw
