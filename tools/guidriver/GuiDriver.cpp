#include "GuiDriver.h"

#include "DriverText.h"
#include "WideText.h"
#include "win/ControlName.h"
#include "win/MenuQuery.h"

#include <memory>

namespace tw::gui {

namespace {

// SendMessageTimeoutW; nothing when the window did not answer in time.
std::optional<LRESULT> Send(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(hwnd, msg, wp, lp, SMTO_ABORTIFHUNG, kSendTimeoutMs, &result))
        return std::nullopt;
    return static_cast<LRESULT>(result);
}

// Reads item texts of a list box or combo box through its length and text messages.
std::vector<std::string> ReadItems(HWND hwnd, UINT countMsg, UINT lenMsg, UINT textMsg) {
    std::vector<std::string> items;
    auto count = Send(hwnd, countMsg, 0, 0);
    if (!count || *count < 0)
        return items;
    for (LRESULT i = 0; i < *count; ++i) {
        auto len = Send(hwnd, lenMsg, static_cast<WPARAM>(i), 0);
        if (!len || *len < 0)
            break;
        // An ANSI control may answer its length in bytes; leave room for either unit.
        std::wstring buf(static_cast<size_t>(*len) * 2 + 16, L'\0');
        auto got =
            Send(hwnd, textMsg, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(buf.data()));
        if (!got || *got < 0)
            break;
        buf.resize(wcsnlen(buf.c_str(), buf.size()));
        items.push_back(ToAnsi(buf));
    }
    return items;
}

struct EnumState {
    DWORD pid;
    bool visibleOnly;
    std::vector<HWND>* out;
};

BOOL CALLBACK CollectTopLevel(HWND hwnd, LPARAM lp) noexcept {
    auto* st = reinterpret_cast<EnumState*>(lp);
    if (st->visibleOnly && !IsWindowVisible(hwnd))
        return TRUE;
    if (st->pid != 0 && WindowProcessId(hwnd) != st->pid)
        return TRUE;
    try {
        st->out->push_back(hwnd);
    } catch (...) {
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK CollectChildren(HWND hwnd, LPARAM lp) noexcept {
    try {
        reinterpret_cast<std::vector<HWND>*>(lp)->push_back(hwnd);
    } catch (...) {
        return FALSE;
    }
    return TRUE;
}

std::vector<HWND> Descendants(HWND top) {
    std::vector<HWND> all;
    EnumChildWindows(top, CollectChildren, reinterpret_cast<LPARAM>(&all));
    return all;
}

struct MenuEntry {
    UINT id = 0;
    bool submenu = false;
    bool enabled = true;
};

// Finds the entry of a caption path in the menu bar of `top`: read directly where menus
// can be read from another process, otherwise asked of the window itself
// (tw::AnswerMenuQuery). Both walk the menu with tw::DescribeMenuEntry.
std::optional<MenuEntry> ResolveMenu(HWND top, const std::vector<std::string>& path) {
    HMENU menu = GetMenu(top);
    if (!menu || path.empty())
        return std::nullopt;
    std::string joined;
    for (const std::string& p : path) {
        if (!joined.empty())
            joined += tw::kMenuPathSeparator;
        joined += p;
    }
    std::optional<LRESULT> r;
    if (GetMenuItemCount(menu) >= 0) {
        r = tw::DescribeMenuEntry(menu, joined);
    } else {
        if (joined.size() > 255) // the most a global atom holds
            return std::nullopt;
        ATOM atom = GlobalAddAtomA(joined.c_str());
        if (!atom)
            return std::nullopt;
        r = Send(top, tw::MenuQueryMessage(), atom, 0);
        GlobalDeleteAtom(atom);
    }
    if (!r || !(*r & tw::kMenuAnswered) || !(*r & tw::kMenuFound))
        return std::nullopt;
    return MenuEntry{static_cast<UINT>(*r & tw::kMenuIdMask), (*r & tw::kMenuSubmenu) != 0,
                     (*r & tw::kMenuDisabled) == 0};
}

} // namespace

bool WaitUntil(const std::function<bool()>& pred, DWORD timeoutMs, DWORD pollMs) {
    ULONGLONG end = GetTickCount64() + timeoutMs;
    for (;;) {
        if (pred())
            return true;
        if (GetTickCount64() >= end)
            return false;
        Sleep(pollMs);
    }
}

// ---- windows ----

WindowPredicate TitleIs(std::string title) {
    return [title = std::move(title)](HWND h) { return WindowText(h) == title; };
}

WindowPredicate TitleStartsWith(std::string prefix) {
    return [prefix = std::move(prefix)](HWND h) { return WindowText(h).starts_with(prefix); };
}

WindowPredicate ClassIs(std::string className) {
    return [className = std::move(className)](HWND h) { return WindowClass(h) == className; };
}

WindowPredicate AllOf(WindowPredicate a, WindowPredicate b) {
    return [a = std::move(a), b = std::move(b)](HWND h) { return a(h) && b(h); };
}

DWORD WindowProcessId(HWND hwnd) {
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    return pid;
}

std::vector<HWND> TopLevelWindows(DWORD pid, bool visibleOnly) {
    std::vector<HWND> out;
    EnumState st{pid, visibleOnly, &out};
    EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&st));
    return out;
}

HWND FindTopLevel(DWORD pid, const WindowPredicate& pred, bool visibleOnly) {
    for (HWND h : TopLevelWindows(pid, visibleOnly)) {
        if (pred(h))
            return h;
    }
    return nullptr;
}

HWND WaitForWindow(DWORD pid, const WindowPredicate& pred, DWORD timeoutMs) {
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindTopLevel(pid, pred)) != nullptr; }, timeoutMs);
    return found;
}

bool WaitForWindowGone(HWND hwnd, DWORD timeoutMs) {
    return WaitUntil([&] { return !IsWindow(hwnd) || !IsWindowVisible(hwnd); }, timeoutMs);
}

std::string WindowText(HWND hwnd) {
    auto len = Send(hwnd, WM_GETTEXTLENGTH, 0, 0);
    if (!len) {
        wchar_t buf[1024];
        int n = GetWindowTextW(hwnd, buf, 1024);
        return ToAnsi(std::wstring(buf, static_cast<size_t>(n > 0 ? n : 0)));
    }
    std::wstring buf(static_cast<size_t>(*len) * 2 + 16, L'\0');
    auto got = Send(hwnd, WM_GETTEXT, buf.size(), reinterpret_cast<LPARAM>(buf.data()));
    if (!got)
        return {};
    buf.resize(wcsnlen(buf.c_str(), buf.size()));
    return ToAnsi(buf);
}

std::string WindowClass(HWND hwnd) {
    char buf[256];
    int n = GetClassNameA(hwnd, buf, sizeof buf);
    return std::string(buf, static_cast<size_t>(n > 0 ? n : 0));
}

bool IsEnabled(HWND hwnd) {
    return hwnd && IsWindowEnabled(hwnd);
}
bool IsShown(HWND hwnd) {
    return hwnd && IsWindowVisible(hwnd);
}
std::string FontFace(HWND hwnd) {
    return tw::ControlFontFace(hwnd);
}

// ---- controls ----

HWND FindControl(HWND top, std::string_view name) {
    for (HWND h : Descendants(top)) {
        if (tw::ControlName(h) == name)
            return h;
    }
    return nullptr;
}

HWND WaitForControl(HWND top, std::string_view name, DWORD timeoutMs) {
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindControl(top, name)) != nullptr; }, timeoutMs);
    return found;
}

std::vector<std::string> ControlNames(HWND top) {
    std::vector<std::string> names;
    for (HWND h : Descendants(top)) {
        std::string n = tw::ControlName(h);
        if (!n.empty())
            names.push_back(std::move(n));
    }
    return names;
}

bool Click(HWND button) {
    return button && PostMessageW(button, BM_CLICK, 0, 0);
}

// ---- menus ----

std::optional<UINT> MenuCommandId(HWND top, const std::vector<std::string>& path) {
    auto e = ResolveMenu(top, path);
    if (!e || e->submenu)
        return std::nullopt;
    return e->id;
}

std::optional<bool> MenuItemEnabled(HWND top, const std::vector<std::string>& path) {
    auto e = ResolveMenu(top, path);
    if (!e)
        return std::nullopt;
    return e->enabled;
}

bool PostMenuCommand(HWND top, UINT id) {
    return top && PostMessageW(top, WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

bool PostMenuCommand(HWND top, const std::vector<std::string>& path) {
    auto id = MenuCommandId(top, path);
    return id && PostMenuCommand(top, *id);
}

// ---- message boxes ----

std::optional<MessageBoxInfo> ReadMessageBox(HWND box) {
    if (!box || !IsWindow(box) || WindowClass(box) != "#32770")
        return std::nullopt;
    MessageBoxInfo info;
    info.hwnd = box;
    info.title = WindowText(box);
    for (HWND h : Descendants(box)) {
        std::string cls = WindowClass(h);
        if (_stricmp(cls.c_str(), "Button") == 0) {
            info.buttons.push_back(GetDlgCtrlID(h));
        } else if (_stricmp(cls.c_str(), "Static") == 0 && info.text.empty()) {
            LONG style = GetWindowLongA(h, GWL_STYLE);
            if ((style & SS_TYPEMASK) != SS_ICON)
                info.text = WindowText(h);
        }
    }
    return info;
}

std::optional<MessageBoxInfo> WaitForMessageBox(DWORD pid, DWORD timeoutMs) {
    HWND box = WaitForWindow(pid, ClassIs("#32770"), timeoutMs);
    if (!box)
        return std::nullopt;
    // The box may be found before its buttons exist.
    WaitUntil(
        [&] {
            auto i = ReadMessageBox(box);
            return i && !i->buttons.empty();
        },
        1000);
    return ReadMessageBox(box);
}

bool AnswerMessageBox(HWND box, int buttonId) {
    HWND button = GetDlgItem(box, buttonId);
    if (!button)
        return false;
    return PostMessageW(box, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
                        reinterpret_cast<LPARAM>(button));
}

// ---- lists ----

std::vector<std::string> ListItems(HWND listBox) {
    return ReadItems(listBox, LB_GETCOUNT, LB_GETTEXTLEN, LB_GETTEXT);
}

int ListSelection(HWND listBox) {
    auto r = Send(listBox, LB_GETCURSEL, 0, 0);
    return r ? static_cast<int>(*r) : LB_ERR;
}

std::vector<std::string> ComboItems(HWND combo) {
    return ReadItems(combo, CB_GETCOUNT, CB_GETLBTEXTLEN, CB_GETLBTEXT);
}

int ComboSelection(HWND combo) {
    auto r = Send(combo, CB_GETCURSEL, 0, 0);
    return r ? static_cast<int>(*r) : CB_ERR;
}

bool SelectCombo(HWND combo, int index) {
    auto r = Send(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    if (!r || *r != index)
        return false;
    HWND parent = GetAncestor(combo, GA_PARENT);
    return PostMessageW(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE),
                        reinterpret_cast<LPARAM>(combo));
}

bool SelectCombo(HWND combo, std::string_view text) {
    auto items = ComboItems(combo);
    for (size_t i = 0; i < items.size(); ++i) {
        if (items[i] == text)
            return SelectCombo(combo, static_cast<int>(i));
    }
    return false;
}

// ---- check boxes and option buttons ----

namespace {
bool IsRadio(HWND h) {
    LONG t = GetWindowLongA(h, GWL_STYLE) & BS_TYPEMASK;
    return t == BS_RADIOBUTTON || t == BS_AUTORADIOBUTTON;
}
} // namespace

std::optional<bool> IsChecked(HWND button) {
    if (!button || _stricmp(WindowClass(button).c_str(), "Button") != 0)
        return std::nullopt;
    switch (GetWindowLongA(button, GWL_STYLE) & BS_TYPEMASK) {
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_3STATE:
    case BS_AUTO3STATE:
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
        break;
    default:
        return std::nullopt;
    }
    auto r = Send(button, BM_GETCHECK, 0, 0);
    if (!r)
        return std::nullopt;
    return *r == BST_CHECKED;
}

bool SetChecked(HWND button, bool checked, DWORD timeoutMs) {
    auto now = IsChecked(button);
    if (!now)
        return false;
    if (*now == checked)
        return true;
    if (IsRadio(button) && !checked) {
        // No click clears an option button: it is cleared by choosing another one.
        Send(button, BM_SETCHECK, BST_UNCHECKED, 0);
    } else if (!Click(button)) {
        return false;
    }
    return WaitUntil([&] { return IsChecked(button) == checked; }, timeoutMs);
}

// ---- keyboard ----

namespace {
LPARAM KeyLParam(WORD vk, bool up) {
    UINT scan = MapVirtualKeyW(vk, MAPVK_VK_TO_VSC);
    LPARAM lp = 1 | (static_cast<LPARAM>(scan & 0xFF) << 16);
    if (up)
        lp |= (1LL << 30) | (1LL << 31);
    return lp;
}
} // namespace

bool PostKey(HWND target, WORD vk) {
    return target && PostMessageW(target, WM_KEYDOWN, vk, KeyLParam(vk, false)) &&
           PostMessageW(target, WM_KEYUP, vk, KeyLParam(vk, true));
}

bool PostChars(HWND target, std::string_view text) {
    if (!target)
        return false;
    for (wchar_t c : ToWide(text)) {
        if (!PostMessageW(target, WM_CHAR, c, 1))
            return false;
    }
    return true;
}

bool Activate(HWND top, DWORD timeoutMs) {
    if (!top || !IsWindow(top))
        return false;
    return WaitUntil(
        [&] {
            if (GetForegroundWindow() == top)
                return true;
            SetForegroundWindow(top);
            return GetForegroundWindow() == top;
        },
        timeoutMs, 50);
}

bool SendKey(WORD vk, bool ctrl, bool shift, bool alt) {
    std::vector<INPUT> in;
    auto add = [&](WORD key, bool up) {
        INPUT i{};
        i.type = INPUT_KEYBOARD;
        i.ki.wVk = key;
        i.ki.wScan = static_cast<WORD>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC));
        i.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        in.push_back(i);
    };
    if (ctrl)
        add(VK_CONTROL, false);
    if (shift)
        add(VK_SHIFT, false);
    if (alt)
        add(VK_MENU, false);
    add(vk, false);
    add(vk, true);
    if (alt)
        add(VK_MENU, true);
    if (shift)
        add(VK_SHIFT, true);
    if (ctrl)
        add(VK_CONTROL, true);
    return SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT)) == in.size();
}

HWND FocusedControl(HWND top) {
    GUITHREADINFO gti{};
    gti.cbSize = sizeof gti;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(top, nullptr), &gti))
        return nullptr;
    return gti.hwndFocus;
}

} // namespace tw::gui
