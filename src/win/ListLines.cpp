#include "win/ListLines.h"

namespace tw::win {

namespace {

constexpr char kFrozen[] = "TwListFrozen";
constexpr UINT_PTR kThawTimer = 0x7457;

void CALLBACK Thaw(HWND list, UINT, UINT_PTR timer, DWORD) noexcept {
    KillTimer(list, timer);
    RemovePropA(list, kFrozen);
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

} // namespace

void AppendListLine(HWND list, const std::string& line) {
    if (!list)
        return;
    if (!GetPropA(list, kFrozen) && SetTimer(list, kThawTimer, USER_TIMER_MINIMUM, Thaw)) {
        SetPropA(list, kFrozen, reinterpret_cast<HANDLE>(1));
        SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    }
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
}

} // namespace tw::win
