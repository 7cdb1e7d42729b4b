#include "app/forms/Form.h"

#include "app/forms/FormIds.h"
#include "win/ControlName.h"
#include "win/MenuQuery.h"

#include <cstring>

namespace tw {

namespace {

std::string WindowText(HWND hwnd) {
    if (!hwnd)
        return {};
    int n = GetWindowTextLengthA(hwnd);
    std::string text(static_cast<size_t>(n) + 1, '\0');
    n = GetWindowTextA(hwnd, text.data(), n + 1);
    text.resize(n > 0 ? static_cast<size_t>(n) : 0);
    return text;
}

} // namespace

int Form::IndexOf(std::string_view name) const {
    for (size_t i = 0; i < spec_.controls.size(); ++i)
        if (name == spec_.controls[i].name)
            return static_cast<int>(i);
    return -1;
}

const ControlSpec* Form::ControlSpecOf(std::string_view name) const {
    int i = IndexOf(name);
    return i < 0 ? nullptr : &spec_.controls[static_cast<size_t>(i)];
}

const Form::Entry* Form::MenuEntry(std::string_view name) const {
    for (const Entry& e : entries_)
        if (e.name == name)
            return &e;
    return nullptr;
}

HWND Form::Control(std::string_view name) const {
    int i = IndexOf(name);
    if (i < 0 || static_cast<size_t>(i) >= controls_.size())
        return nullptr;
    return controls_[static_cast<size_t>(i)];
}

std::string Form::Caption(std::string_view name) const {
    if (const Entry* e = MenuEntry(name)) {
        char text[512] = {};
        MENUITEMINFOA mii = OldMenuItemInfo(0);
        mii.dwTypeData = text;
        mii.cch = sizeof text - 1;
        if (!GetMenuItemInfoA(e->parent, static_cast<UINT>(e->position), TRUE, &mii))
            return {};
        std::string s(text);
        auto tab = s.find('\t');
        return tab == std::string::npos ? s : s.substr(0, tab);
    }
    return WindowText(Control(name));
}

void Form::SetCaption(std::string_view name, const std::string& text) {
    if (const Entry* e = MenuEntry(name)) {
        std::string s = e->shortcut.empty() ? text : text + "\t" + e->shortcut;
        MENUITEMINFOA mii = OldMenuItemInfo(0);
        mii.dwTypeData = s.data();
        SetMenuItemInfoA(e->parent, static_cast<UINT>(e->position), TRUE, &mii);
        if (hwnd_)
            DrawMenuBar(hwnd_);
        return;
    }
    if (HWND h = Control(name))
        SetWindowTextA(h, text.c_str());
}

std::string Form::FormCaption() const {
    return WindowText(hwnd_);
}

void Form::SetFormCaption(const std::string& text) {
    if (hwnd_)
        SetWindowTextA(hwnd_, text.c_str());
}

int Form::Value(std::string_view name) const {
    HWND h = Control(name);
    return h && SendMessageA(h, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
}

void Form::SetValue(std::string_view name, int value) {
    HWND h = Control(name);
    const ControlSpec* c = ControlSpecOf(name);
    if (!h || !c)
        return;
    bool changed = Value(name) != (value ? 1 : 0);
    if (c->kind == Kind::OptionButton && value) {
        // the other buttons of the group go off
        for (HWND s = GetNextDlgGroupItem(hwnd_, h, FALSE); s && s != h;
             s = GetNextDlgGroupItem(hwnd_, s, FALSE))
            SendMessageA(s, BM_SETCHECK, BST_UNCHECKED, 0);
    }
    SendMessageA(h, BM_SETCHECK, value ? BST_CHECKED : BST_UNCHECKED, 0);
    if (changed && (c->kind == Kind::CheckBox || value))
        Raise(std::string(name) + "_Click");
}

bool Form::Enabled(std::string_view name) const {
    if (const Entry* e = MenuEntry(name))
        return !(GetMenuState(e->parent, static_cast<UINT>(e->position), MF_BYPOSITION) &
                 (MF_GRAYED | MF_DISABLED));
    HWND h = Control(name);
    return h && IsWindowEnabled(h);
}

void Form::SetEnabled(std::string_view name, bool enabled) {
    if (const Entry* e = MenuEntry(name)) {
        EnableMenuItem(e->parent, static_cast<UINT>(e->position),
                       MF_BYPOSITION | (enabled ? MF_ENABLED : MF_GRAYED));
        if (hwnd_)
            DrawMenuBar(hwnd_);
        return;
    }
    if (HWND h = Control(name))
        EnableWindow(h, enabled);
}

void Form::SetVisible(std::string_view name, bool visible) {
    if (HWND h = Control(name))
        ShowWindow(h, visible ? SW_SHOW : SW_HIDE);
    const ControlSpec* c = ControlSpecOf(name);
    if (!c || c->kind != Kind::Frame)
        return;
    for (const ControlSpec& inside : spec_.controls)
        if (inside.frame && name == inside.frame && &inside != c &&
            !(visible && (inside.flags & kHidden)))
            SetVisible(inside.name, visible);
}

void Form::SetPicture(std::string_view name, HBITMAP bitmap) {
    if (HWND h = Control(name))
        SendMessageA(h, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap));
}

void Form::SetTimer(std::string_view name, UINT interval, bool enabled) {
    int i = IndexOf(name);
    if (i < 0 || !hwnd_)
        return;
    UINT id = kFirstControlId + static_cast<UINT>(i);
    if (enabled && interval > 0)
        ::SetTimer(hwnd_, id, interval, nullptr);
    else
        KillTimer(hwnd_, id);
}

void Form::On(std::string event, Handler handler) {
    CheckHandlerName(event);
    handlers_[std::move(event)] = std::move(handler);
}

void Form::CheckHandlerName(const std::string& event) const {
    size_t bar = event.rfind('_');
    std::string_view source = std::string_view(event).substr(0, bar);
    std::string_view what =
        bar == std::string::npos ? std::string_view() : std::string_view(event).substr(bar + 1);
    bool known = false;
    if (const ControlSpec* c = ControlSpecOf(source)) {
        switch (c->kind) {
        case Kind::ListBox:
            known = what == "Click" || what == "DblClick";
            break;
        case Kind::Timer:
            known = what == "Timer";
            break;
        case Kind::Frame:
            break; // a frame raises nothing
        default:
            known = what == "Click";
            break;
        }
    } else {
        for (const MenuSpec& m : spec_.menus)
            if (source == m.name && std::string_view(m.caption) != "-")
                known = what == "Click";
    }
    if (!known)
        throw HandlerNameError(name_ + ": the handler " + event +
                               " names no event of a control or menu entry of this window");
}

void Form::Raise(const std::string& event) {
    auto it = handlers_.find(event);
    if (it == handlers_.end())
        return;
    Handler h = it->second; // a copy: the handler may replace itself
    h();
}

void Form::SetFontFace(const std::string& face) {
    if (!hwnd_)
        return;
    // Windows that shared a font share its replacement.
    std::map<HFONT, HFONT> replaced;
    auto refont = [&](HWND h) {
        auto current = reinterpret_cast<HFONT>(SendMessageA(h, WM_GETFONT, 0, 0));
        LOGFONTA lf{};
        if (!current || GetObjectA(current, sizeof lf, &lf) != sizeof lf)
            return; // a window without a font of its own is skipped
        HFONT& font = replaced[current];
        if (!font) {
            std::memset(lf.lfFaceName, 0, sizeof lf.lfFaceName);
            std::strncpy(lf.lfFaceName, face.c_str(), LF_FACESIZE - 1);
            font = CreateFontIndirectA(&lf);
            if (!font) {
                font = current; // kept as it is
                return;
            }
            fonts_.push_back(font);
        }
        if (font == current)
            return;
        SendMessageA(h, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
        char shown[LF_FACESIZE] = {};
        std::strncpy(shown, face.c_str(), LF_FACESIZE - 1);
        TagFontFace(h, shown);
    };
    refont(hwnd_);
    for (HWND h : controls_)
        if (h)
            refont(h);
    // A replaced font that no window uses any more is freed.
    std::erase_if(fonts_, [&](HFONT f) {
        auto it = replaced.find(f);
        if (it == replaced.end() || it->second == f)
            return false;
        DeleteObject(f);
        return true;
    });
}

std::string Form::FontFace(std::string_view name) const {
    HWND h = name.empty() ? hwnd_ : Control(name);
    if (!h)
        return {};
    auto font = reinterpret_cast<HFONT>(SendMessageA(h, WM_GETFONT, 0, 0));
    LOGFONTA lf{};
    if (!font || GetObjectA(font, sizeof lf, &lf) != sizeof lf)
        return {};
    return lf.lfFaceName;
}

} // namespace tw
