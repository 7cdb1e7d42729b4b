#pragma once
// Every window the program creates carries its name ("cmdClean", "frmMain") in a
// window property, so that the windows can be found by name from outside the process.
#include <windows.h>

#include <string>

namespace tw {

inline constexpr const char* kControlNameProp = "TwName";

// Tags `hwnd` with `name`. The atom lives as long as the session; tagging the same
// name twice reuses it.
inline void TagControl(HWND hwnd, const char* name) {
    ATOM atom = GlobalAddAtomA(name);
    if (atom != 0)
        SetPropA(hwnd, kControlNameProp, reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(atom)));
}

// The name `hwnd` was tagged with, or "" when it has none.
inline std::string ControlName(HWND hwnd) {
    auto atom = static_cast<ATOM>(reinterpret_cast<UINT_PTR>(GetPropA(hwnd, kControlNameProp)));
    if (atom == 0)
        return {};
    char name[256] = {};
    UINT n = GlobalGetAtomNameA(atom, name, sizeof name);
    return std::string(name, n);
}

} // namespace tw
