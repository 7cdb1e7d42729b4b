#include "app/forms/Form.h"

namespace tw {

namespace {

bool IsMultiSelect(const ControlSpec* c) {
    return c && c->kind == Kind::ListBox && (c->flags & kMultiSelect);
}

} // namespace

bool Form::IsCombo(std::string_view name) const {
    const ControlSpec* c = ControlSpecOf(name);
    return c && c->kind == Kind::ComboBox;
}

void Form::AddItem(std::string_view name, const std::string& text) {
    if (HWND h = Control(name))
        SendMessageA(h, IsCombo(name) ? CB_ADDSTRING : LB_ADDSTRING, 0,
                     reinterpret_cast<LPARAM>(text.c_str()));
}

void Form::ClearList(std::string_view name) {
    if (HWND h = Control(name))
        SendMessageA(h, IsCombo(name) ? CB_RESETCONTENT : LB_RESETCONTENT, 0, 0);
}

int Form::ListCount(std::string_view name) const {
    HWND h = Control(name);
    if (!h)
        return 0;
    auto n = SendMessageA(h, IsCombo(name) ? CB_GETCOUNT : LB_GETCOUNT, 0, 0);
    return n < 0 ? 0 : static_cast<int>(n);
}

int Form::ListIndex(std::string_view name) const {
    HWND h = Control(name);
    if (!h)
        return -1;
    // a list of several selected entries has no one selected entry: the one with the
    // focus stands for it
    UINT message = IsCombo(name)                        ? CB_GETCURSEL
                   : IsMultiSelect(ControlSpecOf(name)) ? LB_GETCARETINDEX
                                                        : LB_GETCURSEL;
    auto i = SendMessageA(h, message, 0, 0);
    return i < 0 || i >= ListCount(name) ? -1 : static_cast<int>(i);
}

void Form::SetListIndex(std::string_view name, int index) {
    HWND h = Control(name);
    if (!h)
        return;
    bool changed = ListIndex(name) != index;
    UINT message = IsCombo(name)                        ? CB_SETCURSEL
                   : IsMultiSelect(ControlSpecOf(name)) ? LB_SETCARETINDEX
                                                        : LB_SETCURSEL;
    SendMessageA(h, message, static_cast<WPARAM>(index), 0);
    if (changed)
        Raise(std::string(name) + "_Click");
}

std::string Form::List(std::string_view name, int index) const {
    HWND h = Control(name);
    if (!h || index < 0)
        return {};
    bool combo = IsCombo(name);
    auto n =
        SendMessageA(h, combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (n < 0)
        return {};
    std::string text(static_cast<size_t>(n) + 1, '\0');
    n = SendMessageA(h, combo ? CB_GETLBTEXT : LB_GETTEXT, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(text.data()));
    text.resize(n < 0 ? 0 : static_cast<size_t>(n));
    return text;
}

std::string Form::Text(std::string_view name) const {
    return List(name, ListIndex(name));
}

void Form::RemoveItem(std::string_view name, int index) {
    HWND h = Control(name);
    if (h && index >= 0)
        SendMessageA(h, IsCombo(name) ? CB_DELETESTRING : LB_DELETESTRING,
                     static_cast<WPARAM>(index), 0);
}

bool Form::Selected(std::string_view name, int index) const {
    HWND h = Control(name);
    if (!h || index < 0 || IsCombo(name))
        return false;
    return SendMessageA(h, LB_GETSEL, static_cast<WPARAM>(index), 0) > 0;
}

void Form::SetSelected(std::string_view name, int index, bool selected) {
    HWND h = Control(name);
    if (h && index >= 0 && IsMultiSelect(ControlSpecOf(name)))
        SendMessageA(h, LB_SETSEL, selected ? TRUE : FALSE, static_cast<LPARAM>(index));
}

void Form::SelectAll(std::string_view name, bool selected) {
    HWND h = Control(name);
    if (h && IsMultiSelect(ControlSpecOf(name)))
        SendMessageA(h, LB_SETSEL, selected ? TRUE : FALSE, -1); // -1: every entry
}

void Form::SetHorizontalExtent(std::string_view name, int pixels) {
    HWND h = Control(name);
    if (h && !IsCombo(name))
        SendMessageA(h, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(pixels < 0 ? 0 : pixels), 0);
}

} // namespace tw
