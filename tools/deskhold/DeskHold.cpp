// Holds the virtual desktop of a test prefix open for as long as the prefix's Wine
// server runs.
//
// Wine closes a desktop about a second after the last program using it ends. Without
// a holder every GUI test would start a fresh desktop process from its first window,
// that process would inherit the test's output pipe (so the test only ends when the
// desktop closes again), and the next test's first window could meet a desktop that
// is just shutting down. This program is a user of the desktop that never ends; the
// server ends it when it stops.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // Joins the desktop, starting its process (with this program's output) if need be.
    GetDesktopWindow();
    // No windows of its own, so nothing arrives; the loop only ends if the server
    // posts a quit.
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    }
    return 0;
}
