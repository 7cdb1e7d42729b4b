#pragma once
// Yielding to the message loop from inside long work on the user-interface thread.
namespace tw::win {

// Dispatches every message waiting in this thread's queue. A WM_QUIT taken from the
// queue is posted again, so the outer message loop still ends, and the pump stops there.
// Returns false when it met WM_QUIT. Window procedures must not throw.
bool PumpMessages() noexcept;

} // namespace tw::win
