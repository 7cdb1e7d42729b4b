#pragma once
// Yielding to the message loop from inside long work on the user-interface thread.
#include <windows.h>

namespace tw::win {

// What the program's message loop does with a message before it is dispatched (keyboard
// shortcuts, dialog keys): true when it handled the message. It must not throw.
using MessageFilter = bool (*)(MSG& msg);

// Every pump of the program passes its messages through `filter` first, as the main loop
// does, so the keyboard works the same while long work yields. nullptr: none.
void SetMessageFilter(MessageFilter filter) noexcept;

// Dispatches every message waiting in this thread's queue. A WM_QUIT taken from the
// queue is posted again, so the outer message loop still ends, and the pump stops there.
// Returns false when it met WM_QUIT. Window procedures must not throw.
bool PumpMessages() noexcept;

} // namespace tw::win
