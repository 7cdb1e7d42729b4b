#pragma once
// Text between the program's ANSI code page and the wide functions of the system.
#include <windows.h>

#include <string>
#include <string_view>

namespace tw::gui {

// Bound of every single message sent to the other program, and of the wait for a
// killed program to end.
inline constexpr UINT kSendTimeoutMs = 5000;

inline std::string ToAnsi(const std::wstring& w) {
    if (w.empty())
        return {};
    int n = WideCharToMultiByte(CP_ACP, 0, w.data(), static_cast<int>(w.size()), nullptr, 0,
                                nullptr, nullptr);
    std::string out(static_cast<size_t>(n > 0 ? n : 0), '\0');
    if (n > 0)
        WideCharToMultiByte(CP_ACP, 0, w.data(), static_cast<int>(w.size()), out.data(), n, nullptr,
                            nullptr);
    return out;
}

inline std::wstring ToWide(std::string_view s) {
    if (s.empty())
        return {};
    int n = MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0)
        MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()), out.data(), n);
    return out;
}

} // namespace tw::gui
