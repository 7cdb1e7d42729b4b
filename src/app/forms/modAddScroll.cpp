#include "app/forms/modAddScroll.h"

namespace tw {

void AddScroll(Form& form, std::string_view list) {
    std::vector<std::string> entries;
    for (int i = 0, n = form.ListCount(list); i < n; ++i)
        entries.push_back(form.List(list, i));
    AddScroll(form, list, entries);
}

void AddScroll(Form& form, std::string_view list, const std::vector<std::string>& entries) {
    const std::string* widest = nullptr;
    for (const std::string& entry : entries)
        if (!widest || entry.size() > widest->size())
            widest = &entry;
    const std::string longest = (widest ? *widest : std::string()) + "        ";

    HDC dc = GetDC(form.hwnd());
    if (!dc)
        return;
    HGDIOBJ before = form.Font() ? SelectObject(dc, form.Font()) : nullptr;
    SIZE size{};
    bool measured =
        GetTextExtentPoint32A(dc, longest.c_str(), static_cast<int>(longest.size()), &size) != 0;
    int dpi = GetDeviceCaps(dc, LOGPIXELSX);
    if (before)
        SelectObject(dc, before);
    ReleaseDC(form.hwnd(), dc);
    if (!measured)
        return;
    if (dpi <= 0)
        dpi = 96;
    int twips = MulDiv(size.cx, 1440, dpi); // rounded to a whole number
    int twipsPerPixel = 1440 / dpi;
    form.SetHorizontalExtent(list, twipsPerPixel > 0 ? twips / twipsPerPixel : size.cx);
}

} // namespace tw
