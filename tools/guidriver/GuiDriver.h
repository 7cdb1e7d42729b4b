#pragma once
// Drives the windows of another program on the same desktop, for GUI tests and the
// twdrive command line: start and stop the program, find its windows and named
// controls, click, choose menu commands, answer message boxes, read and set lists,
// combo boxes and check boxes, type keys and save screenshots.
//
// Every wait has a bound and reports a timeout as an empty result, so a test fails
// instead of hanging. Texts read from the other program travel as UTF-16 (Wine 8
// corrupts memory on cross-process ANSI list-box reads) and are handed back in the
// ANSI code page, ready to compare with the program's own texts.
//
// Font faces cannot be read across processes (a font handle belongs to its process);
// the forms layer records the face it applies with tw::TagFontFace and FontFace reads
// that record. Likewise Wine keeps menus inside their process: menu entries are read
// directly where the system allows it, otherwise the window is asked through
// tw::AnswerMenuQuery (src/win/MenuQuery.h), which the forms layer answers.
#include <windows.h>

#include "win/Handle.h"

#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace tw::gui {

inline constexpr DWORD kDefaultTimeoutMs = 10000;

// Raised only when the driver itself cannot work (a program that cannot be started).
class DriverError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Calls pred every pollMs until it returns true (true) or timeoutMs has passed (false).
bool WaitUntil(const std::function<bool()>& pred, DWORD timeoutMs, DWORD pollMs = 20);

// A started program. The destructor kills it when it is still running, so a failed
// test leaves no window behind.
class Process {
  public:
    Process() = default;
    Process(Process&&) noexcept = default;
    Process& operator=(Process&& o) noexcept;
    ~Process();

    // Starts a command line with the given working folder (empty: the driver's own);
    // with an output file, the program's standard output and error go to that file.
    static Process Launch(const std::string& commandLine, const std::string& workDir = {},
                          const std::string& outputFile = {});

    DWORD id() const noexcept { return id_; }
    HANDLE handle() const noexcept { return process_.get(); }
    bool Running() const noexcept;
    // The exit code, or nothing when the program is still running after timeoutMs.
    std::optional<DWORD> WaitForExit(DWORD timeoutMs);
    // Ends the program at once and waits (bounded) until it is gone.
    void Kill() noexcept;
    // "running", "ended with exit code N" or "not started", for failure messages.
    std::string State() const;

  private:
    tw::win::UniqueHandle process_;
    DWORD id_ = 0;
};

using WindowPredicate = std::function<bool(HWND)>;
WindowPredicate TitleIs(std::string title);
WindowPredicate TitleStartsWith(std::string prefix);
WindowPredicate ClassIs(std::string className);
WindowPredicate AllOf(WindowPredicate a, WindowPredicate b);

// Top-level windows of a process (pid 0: of every process), in Z order.
std::vector<HWND> TopLevelWindows(DWORD pid, bool visibleOnly = true);
HWND FindTopLevel(DWORD pid, const WindowPredicate& pred, bool visibleOnly = true);
// nullptr when no such window appeared within timeoutMs.
HWND WaitForWindow(DWORD pid, const WindowPredicate& pred, DWORD timeoutMs = kDefaultTimeoutMs);
// True when the window was destroyed (or hidden) within timeoutMs.
bool WaitForWindowGone(HWND hwnd, DWORD timeoutMs = kDefaultTimeoutMs);
DWORD WindowProcessId(HWND hwnd);

std::string WindowText(HWND hwnd);
std::string WindowClass(HWND hwnd);
bool IsEnabled(HWND hwnd);
bool IsShown(HWND hwnd);
// The face recorded by the forms layer (see above); empty when none was recorded.
std::string FontFace(HWND hwnd);

// The descendant of `top` tagged with `name` (tw::TagControl), or nullptr.
HWND FindControl(HWND top, std::string_view name);
HWND WaitForControl(HWND top, std::string_view name, DWORD timeoutMs = kDefaultTimeoutMs);
// Names of every tagged descendant, in enumeration order.
std::vector<std::string> ControlNames(HWND top);

// Posts a click: returns at once, also when the click opens a modal window.
bool Click(HWND button);
// Clicks and returns once the program has handled the click; only for a click that opens
// no modal window. False when it was not handled within timeoutMs.
bool Press(HWND button, DWORD timeoutMs = kDefaultTimeoutMs);

// Menu captions are compared without "&" and without the shortcut text after a tab.
std::optional<UINT> MenuCommandId(HWND top, const std::vector<std::string>& path);
// Enabled state of a menu entry; nothing when the path does not resolve.
std::optional<bool> MenuItemEnabled(HWND top, const std::vector<std::string>& path);
bool PostMenuCommand(HWND top, UINT id);
bool PostMenuCommand(HWND top, const std::vector<std::string>& path);

struct MessageBoxInfo {
    HWND hwnd = nullptr;
    std::string title;
    std::string text;
    std::vector<int> buttons; // IDOK, IDYES ... of the buttons it shows
};
// The first message box (dialog class #32770) of the process within timeoutMs.
std::optional<MessageBoxInfo> WaitForMessageBox(DWORD pid, DWORD timeoutMs = kDefaultTimeoutMs);
std::optional<MessageBoxInfo> ReadMessageBox(HWND box);
// Presses the button with the id (IDYES, IDNO, IDOK ...); false when the box has none.
bool AnswerMessageBox(HWND box, int buttonId);

std::vector<std::string> ListItems(HWND listBox);
int ListSelection(HWND listBox);
std::vector<std::string> ComboItems(HWND combo);
int ComboSelection(HWND combo);
// Selects an entry and tells the parent (CBN_SELCHANGE), as a user's choice would.
bool SelectCombo(HWND combo, int index);
bool SelectCombo(HWND combo, std::string_view text);
// SelectCombo by text, returning once the program has handled the choice.
bool ChooseCombo(HWND combo, std::string_view text, DWORD timeoutMs = kDefaultTimeoutMs);

// Nothing when the window is no check box or option button.
std::optional<bool> IsChecked(HWND button);
// Clicks the box when its state differs and waits (bounded) for the new state.
bool SetChecked(HWND button, bool checked, DWORD timeoutMs = kDefaultTimeoutMs);

// Posts a key press (down and up) or characters to one window; modifier keys are not
// seen by a program that reads the key state, so use SendKey for shortcuts.
bool PostKey(HWND target, WORD vk);
bool PostChars(HWND target, std::string_view text);
// Brings a top-level window to the front and gives it the keyboard.
bool Activate(HWND top, DWORD timeoutMs = kDefaultTimeoutMs);
// Types one key, with modifiers, into the foreground window through the input queue.
bool SendKey(WORD vk, bool ctrl = false, bool shift = false, bool alt = false);
// The window with the keyboard focus in the thread that owns `top`.
HWND FocusedControl(HWND top);

// Saves the whole desktop (window nullptr) or the screen area of one window as PNG.
bool SaveScreenshot(const std::string& pngPath, HWND window = nullptr);
// <build folder>\screenshots\<name>.png, the folder made when missing.
std::string ScreenshotPath(std::string_view name);

} // namespace tw::gui
