#include "win/MessagePump.h"

namespace tw::win {

namespace {
MessageFilter g_filter = nullptr;
}

void SetMessageFilter(MessageFilter filter) noexcept {
    g_filter = filter;
}

bool PumpMessages() noexcept {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return false;
        }
        if (g_filter && g_filter(msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return true;
}

} // namespace tw::win
