#pragma once
// Every control window carries its name ("cmdClean", "lstDetail" ...) as a window
// property holding a global atom, and the face of the font it was given as a second
// one. Window properties and global atoms live in the window system, not in the
// process, so another program on the same desktop (the GUI test driver) can read them;
// a font handle it could not.
#include <windows.h>

#include <string>

namespace tw {

inline constexpr const char* kControlNameProp = "TwName";
inline constexpr const char* kFontFaceProp = "TwFont";

namespace detail {

inline void SetAtomProp(HWND hwnd, const char* prop, const char* text) noexcept {
    if (auto old = reinterpret_cast<UINT_PTR>(RemovePropA(hwnd, prop)))
        GlobalDeleteAtom(static_cast<ATOM>(old));
    if (text == nullptr || *text == '\0')
        return;
    if (ATOM atom = GlobalAddAtomA(text))
        SetPropA(hwnd, prop, reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(atom)));
}

inline std::string GetAtomProp(HWND hwnd, const char* prop) {
    auto atom = static_cast<ATOM>(reinterpret_cast<UINT_PTR>(GetPropA(hwnd, prop)));
    if (atom == 0)
        return {};
    char buf[256];
    UINT n = GlobalGetAtomNameA(atom, buf, sizeof buf);
    return std::string(buf, n);
}

} // namespace detail

// Names the control; a second call renames it.
inline void TagControl(HWND hwnd, const char* name) noexcept {
    detail::SetAtomProp(hwnd, kControlNameProp, name);
}

// The name given by TagControl, empty for an untagged window.
inline std::string ControlName(HWND hwnd) {
    return detail::GetAtomProp(hwnd, kControlNameProp);
}

// Records the face of the font that was applied to the control.
inline void TagFontFace(HWND hwnd, const char* face) noexcept {
    detail::SetAtomProp(hwnd, kFontFaceProp, face);
}

// The face recorded by TagFontFace, empty when none was recorded.
inline std::string ControlFontFace(HWND hwnd) {
    return detail::GetAtomProp(hwnd, kFontFaceProp);
}

// Drops both properties and their atoms (call at WM_NCDESTROY).
inline void UntagControl(HWND hwnd) noexcept {
    detail::SetAtomProp(hwnd, kControlNameProp, nullptr);
    detail::SetAtomProp(hwnd, kFontFaceProp, nullptr);
}

} // namespace tw
