#pragma once

namespace tw::win {

// True when another instance of the program is running in this session. The first call
// claims the program's instance mark for the life of the process.
bool PreviousInstanceRunning();

} // namespace tw::win
