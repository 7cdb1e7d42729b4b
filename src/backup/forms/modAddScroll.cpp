#include "backup/forms/modAddScroll.h"

#include <string>

namespace tw {

void AddScroll(HWND list) {
    if (!list)
        return;
    std::string longest;
    const LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT length = SendMessageA(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
        if (length <= static_cast<LRESULT>(longest.size()))
            continue;
        std::string text(static_cast<size_t>(length) + 1, '\0');
        const LRESULT got = SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(i),
                                         reinterpret_cast<LPARAM>(text.data()));
        text.resize(got > 0 ? static_cast<size_t>(got) : 0);
        if (text.size() > longest.size())
            longest = std::move(text);
    }
    longest += "        ";
    HWND holder = GetParent(list);
    HDC dc = GetDC(holder);
    if (!dc)
        return;
    auto font = reinterpret_cast<HFONT>(SendMessageA(holder, WM_GETFONT, 0, 0));
    HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
    SIZE size{};
    GetTextExtentPoint32A(dc, longest.c_str(), static_cast<int>(longest.size()), &size);
    if (old)
        SelectObject(dc, old);
    ReleaseDC(holder, dc);
    SendMessageA(list, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(size.cx), 0);
}

void SelectEvery(HWND list, bool selected) {
    if (list)
        SendMessageA(list, LB_SETSEL, selected ? TRUE : FALSE, static_cast<LPARAM>(-1));
}

std::vector<bool> SelectedEntries(HWND list) {
    std::vector<bool> selected;
    const LRESULT count = list ? SendMessageA(list, LB_GETCOUNT, 0, 0) : 0;
    for (LRESULT i = 0; i < count; ++i)
        selected.push_back(SendMessageA(list, LB_GETSEL, static_cast<WPARAM>(i), 0) > 0);
    return selected;
}

} // namespace tw
