#pragma once
// The keys that take a window's menu bar into menu mode: F10, and a tap of Alt with no
// other key between its press and its release.
#include <windows.h>

namespace tw {

// For a message of the loop whose top-level window is `root`: when `root` has a menu bar
// and the message completes F10 or an Alt tap, the menu bar enters menu mode (as the
// system does for the focused window's top level). True when the message was one of
// those keys and needs no further handling. The focused control never sees them: a
// drop-down list, for one, would hand them to its list, which has no menu bar.
bool MenuBarKey(HWND root, const MSG& msg) noexcept;

} // namespace tw
