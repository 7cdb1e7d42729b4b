#include "app/forms/MenuKeys.h"

namespace tw {

namespace {

constexpr LPARAM kRepeat = 1 << 30; // the key was down before this message

bool g_altTap = false; // Alt is down and no other key came since
bool g_f10 = false;    // F10 is down (without Shift, which asks for a context menu)

bool IsAlt(WPARAM key) {
    return key == VK_MENU || key == VK_LMENU || key == VK_RMENU;
}

} // namespace

bool MenuBarKey(HWND root, const MSG& msg) noexcept {
    const bool down = msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN;
    const bool up = msg.message == WM_KEYUP || msg.message == WM_SYSKEYUP;
    if (!down && !up)
        return false;
    const bool alt = IsAlt(msg.wParam);
    const bool f10 = msg.wParam == VK_F10;
    if (down) {
        if (!alt)
            g_altTap = false;
        else if (!(msg.lParam & kRepeat))
            g_altTap = true;
        g_f10 = f10 && !(GetKeyState(VK_SHIFT) & 0x8000);
    }
    if (!(alt || f10) || !GetMenu(root))
        return false;
    if (up && ((alt && g_altTap) || (f10 && g_f10))) {
        g_altTap = false;
        g_f10 = false;
        SendMessageA(root, WM_SYSCOMMAND, SC_KEYMENU, 0);
    }
    return true;
}

} // namespace tw
