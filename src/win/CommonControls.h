#pragma once

namespace tw::win {

// The platform's InitCommonControls, from the common-controls library that the manifest
// names, loaded on the first call. A run that makes no window (the command line) never
// loads that library: its start-up would connect the process to the display driver,
// which writes to the registry.
void InitCommonControls() noexcept;

} // namespace tw::win
