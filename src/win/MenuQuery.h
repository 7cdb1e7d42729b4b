#pragma once
// Lets another program on the desktop (the GUI test driver) ask a window about an entry
// of its menu bar by caption path. Menus are kept inside their process under Wine, so
// the menu functions cannot read them from outside; the window answers instead.
//
// The asker sends the registered message MenuQueryMessage() with a global atom holding
// the captions of the path joined by kMenuPathSeparator ("File", "Clean"), compared as
// MenuCaptionMatches does. Each window procedure that owns a menu starts with
//     if (auto r = tw::AnswerMenuQuery(hwnd, msg, wp)) return *r;
#include <windows.h>

#include "core/MenuCaption.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tw {

inline constexpr char kMenuPathSeparator = '\n';

// The MENUITEMINFOA that Windows 95 and NT 4.0 accept: without the later hbmpItem member
// (44 bytes on 32-bit Windows), and with its text reached through MIIM_TYPE, not MIIM_STRING.
inline MENUITEMINFOA OldMenuItemInfo(UINT mask) noexcept {
    MENUITEMINFOA mi{};
    mi.cbSize = offsetof(MENUITEMINFOA, hbmpItem);
    mi.fMask = mask | MIIM_TYPE;
    mi.fType = MFT_STRING;
    return mi;
}

// Bits of an answer. An answer always has kMenuAnswered; a window that does not take
// part answers 0 through its default procedure.
inline constexpr LRESULT kMenuAnswered = 0x40000000;
inline constexpr LRESULT kMenuFound = 0x20000000;
inline constexpr LRESULT kMenuSubmenu = 0x10000000;
inline constexpr LRESULT kMenuDisabled = 0x08000000;
inline constexpr LRESULT kMenuChecked = 0x04000000;
inline constexpr LRESULT kMenuIdMask = 0xFFFF;

inline UINT MenuQueryMessage() noexcept {
    static const UINT msg = RegisterWindowMessageA("TwMenuQuery");
    return msg;
}

// Looks the path up in `menu`: kMenuFound with the entry's id and state bits, or just
// kMenuAnswered when no entry has that path.
inline LRESULT DescribeMenuEntry(HMENU menu, std::string_view path) {
    LRESULT answer = kMenuAnswered;
    while (menu) {
        size_t cut = path.find(kMenuPathSeparator);
        std::string_view caption = path.substr(0, cut);
        int count = GetMenuItemCount(menu);
        HMENU next = nullptr;
        bool hit = false;
        for (int i = 0; i < count && !hit; ++i) {
            char text[512] = {};
            MENUITEMINFOA mi = OldMenuItemInfo(MIIM_ID | MIIM_SUBMENU | MIIM_STATE);
            mi.dwTypeData = text;
            mi.cch = sizeof text - 1;
            if (!GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &mi) ||
                (mi.fType & MFT_SEPARATOR) || !MenuCaptionMatches(text, caption))
                continue;
            hit = true;
            next = mi.hSubMenu;
            answer = kMenuAnswered | kMenuFound | (mi.wID & kMenuIdMask);
            if (mi.hSubMenu)
                answer |= kMenuSubmenu;
            if (mi.fState & (MFS_DISABLED | MFS_GRAYED))
                answer |= kMenuDisabled;
            if (mi.fState & MFS_CHECKED)
                answer |= kMenuChecked;
        }
        if (!hit)
            return kMenuAnswered;
        if (cut == std::string_view::npos)
            return answer;
        path.remove_prefix(cut + 1);
        menu = next;
    }
    return kMenuAnswered;
}

// The answer to a menu query, or nothing when `msg` is another message.
inline std::optional<LRESULT> AnswerMenuQuery(HWND hwnd, UINT msg, WPARAM wp) noexcept {
    if (msg != MenuQueryMessage() || msg == 0)
        return std::nullopt;
    try {
        char path[256];
        UINT n = GlobalGetAtomNameA(static_cast<ATOM>(wp), path, sizeof path);
        if (n == 0)
            return kMenuAnswered;
        return DescribeMenuEntry(GetMenu(hwnd), std::string_view(path, n));
    } catch (...) {
        return kMenuAnswered;
    }
}

} // namespace tw
