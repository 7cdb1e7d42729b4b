#include "app/forms/Form.h"

#include "app/forms/FormIds.h"
#include "app/forms/Forms.h"
#include "app/forms/MenuKeys.h"
#include "win/Api.h"
#include "win/CommonControls.h"
#include "win/ControlName.h"
#include "win/MenuQuery.h"
#include "win/MessagePump.h"

#include <cstring>

namespace tw {

namespace {

constexpr const char* kFormClass = "TwForm";
constexpr UINT kFirstMenuId = 2000;
constexpr const char* kDesignFace = "MS Sans Serif";
constexpr int kDesignPoints = 8;

int ScreenDpi(int axis) {
    HDC dc = GetDC(nullptr);
    int dpi = dc ? GetDeviceCaps(dc, axis) : 96;
    if (dc)
        ReleaseDC(nullptr, dc);
    return dpi > 0 ? dpi : 96;
}

COLORREF BackColour(Colour c) {
    switch (c) {
    case Colour::Green:
        return RGB(192, 255, 192);
    case Colour::Red:
        return RGB(255, 192, 192);
    case Colour::Blue:
        return RGB(176, 196, 255);
    case Colour::LightBlue:
        return RGB(208, 240, 255);
    case Colour::None:
        break;
    }
    return GetSysColor(COLOR_BTNFACE);
}

// "Ctrl+R" / "F1" / "Ctrl+Shift+F2" to an accelerator; false when it cannot be read.
bool ParseShortcut(const std::string& text, ACCEL& accel) {
    accel = ACCEL{FVIRTKEY, 0, 0};
    std::string rest = text;
    for (;;) {
        auto plus = rest.find('+');
        if (plus == std::string::npos || plus + 1 >= rest.size())
            break;
        std::string mod = rest.substr(0, plus);
        if (mod == "Ctrl")
            accel.fVirt |= FCONTROL;
        else if (mod == "Shift")
            accel.fVirt |= FSHIFT;
        else if (mod == "Alt")
            accel.fVirt |= FALT;
        else
            return false;
        rest = rest.substr(plus + 1);
    }
    if (rest.size() == 1 &&
        ((rest[0] >= 'A' && rest[0] <= 'Z') || (rest[0] >= '0' && rest[0] <= '9'))) {
        accel.key = static_cast<WORD>(rest[0]);
        return true;
    }
    if (rest.size() >= 2 && rest[0] == 'F') {
        int n = std::atoi(rest.c_str() + 1);
        if (n >= 1 && n <= 24) {
            accel.key = static_cast<WORD>(VK_F1 + n - 1);
            return true;
        }
    }
    if (rest == "Del") {
        accel.key = VK_DELETE;
        return true;
    }
    return false;
}

// Where row i of the table lies, in twips from the form's client area: a control that a
// frame holds is placed from the frame's top-left corner (frames in frames adding up), and
// is hidden when a frame around it is. An unknown frame name places it on the form.
POINT TablePosition(std::span<const ControlSpec> controls, size_t i, bool& hidden) {
    POINT at{controls[i].left, controls[i].top};
    hidden = (controls[i].flags & kHidden) != 0;
    const char* frame = controls[i].frame;
    for (size_t depth = 0; frame && depth < controls.size(); ++depth) {
        const ControlSpec* holder = nullptr;
        for (const ControlSpec& c : controls)
            if (c.kind == Kind::Frame && std::strcmp(c.name, frame) == 0)
                holder = &c;
        if (!holder)
            break;
        at.x += holder->left;
        at.y += holder->top;
        hidden = hidden || (holder->flags & kHidden);
        frame = holder->frame;
    }
    return at;
}

} // namespace

Form::Form(const FormSpec& layout) : spec_(layout), name_(layout.name) {
    // the yields of long work treat the keyboard as the message loops of the forms do
    win::SetMessageFilter(&Form::PreTranslate);
}

Form::~Form() {
    destroying_ = true;
    Destroy();
    for (HFONT f : fonts_)
        DeleteObject(f);
    for (auto& [colour, brush] : brushes_)
        DeleteObject(brush);
}

void Form::Destroy() {
    if (hwnd_) {
        HWND h = hwnd_;
        DestroyWindow(h);
        hwnd_ = nullptr;
    }
    if (accel_) {
        DestroyAcceleratorTable(accel_);
        accel_ = nullptr;
    }
}

void Form::Load() {
    if (hwnd_ || unloading_)
        return;
    static ATOM atom = [] {
        WNDCLASSEXA wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = &Form::WndProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.hIcon = LoadIconA(wc.hInstance, "APPICON");
        wc.lpszClassName = kFormClass;
        return RegisterClassExA(&wc);
    }();
    (void)atom;

    // Form_Initialize
    win::InitCommonControls();

    DWORD style = 0, exStyle = 0;
    switch (spec_.border) {
    case Border::Fixed:
        style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
        break;
    case Border::Dialog:
        style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
        exStyle = WS_EX_DLGMODALFRAME;
        break;
    case Border::None:
        style = WS_POPUP;
        break;
    }
    CreateMenus();
    RECT rc{0, 0, TwipsToPixels(spec_.width, ScreenDpi(LOGPIXELSX)),
            TwipsToPixels(spec_.height, ScreenDpi(LOGPIXELSY))};
    AdjustWindowRectEx(&rc, style, menuBar_ != nullptr, exStyle);
    int w = rc.right - rc.left, h = rc.bottom - rc.top;
    int x = (GetSystemMetrics(SM_CXSCREEN) - w) / 2, y = (GetSystemMetrics(SM_CYSCREEN) - h) / 2;
    HWND hwnd = CreateWindowExA(exStyle, kFormClass, spec_.caption, style, x, y, w, h, nullptr,
                                menuBar_, GetModuleHandleA(nullptr), this);
    if (!hwnd) {
        if (menuBar_)
            DestroyMenu(menuBar_);
        menuBar_ = nullptr;
        return;
    }
    TagControl(hwnd, name_.c_str());
    CreateControls();
    Form_Load();
}

void Form::CreateMenus() {
    if (spec_.menus.empty())
        return;
    menuBar_ = CreateMenu();
    std::vector<HMENU> stack{menuBar_}; // the menu that takes entries of level i is stack[i]
    std::vector<ACCEL> accels;
    const auto& menus = spec_.menus;
    for (size_t i = 0; i < menus.size(); ++i) {
        const MenuSpec& m = menus[i];
        if (m.level < 0 || static_cast<size_t>(m.level) >= stack.size())
            continue; // a level with no menu above it
        stack.resize(static_cast<size_t>(m.level) + 1);
        HMENU parent = stack.back();
        Entry e;
        e.name = m.name;
        e.parent = parent;
        e.position = GetMenuItemCount(parent);
        bool submenu = i + 1 < menus.size() && menus[i + 1].level > m.level;
        std::string text = m.caption;
        if (m.shortcut) {
            e.shortcut = m.shortcut;
            text += "\t" + e.shortcut;
        }
        if (submenu) {
            HMENU popup = CreatePopupMenu();
            AppendMenuA(parent, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(popup),
                        text.c_str());
            stack.push_back(popup);
        } else if (std::strcmp(m.caption, "-") == 0) {
            AppendMenuA(parent, MF_SEPARATOR, 0, nullptr);
        } else {
            e.id = kFirstMenuId + static_cast<UINT>(i);
            AppendMenuA(parent, MF_STRING, e.id, text.c_str());
            ACCEL a;
            if (m.shortcut && ParseShortcut(m.shortcut, a)) {
                a.cmd = static_cast<WORD>(e.id);
                accels.push_back(a);
            }
        }
        entries_.push_back(std::move(e));
    }
    if (!accels.empty())
        accel_ = CreateAcceleratorTableA(accels.data(), static_cast<int>(accels.size()));
}

void Form::CreateControls() {
    int dpiX = ScreenDpi(LOGPIXELSX), dpiY = ScreenDpi(LOGPIXELSY);
    LOGFONTA lf{};
    lf.lfHeight = -MulDiv(kDesignPoints, dpiY, 72);
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    std::strncpy(lf.lfFaceName, kDesignFace, LF_FACESIZE - 1);
    HFONT font = CreateFontIndirectA(&lf);
    if (font) {
        fonts_.push_back(font);
        SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        TagFontFace(hwnd_, kDesignFace);
    }
    HINSTANCE inst = GetModuleHandleA(nullptr);
    controls_.assign(spec_.controls.size(), nullptr);
    for (size_t i = 0; i < spec_.controls.size(); ++i) {
        const ControlSpec& c = spec_.controls[i];
        const char* cls = "BUTTON";
        DWORD style = WS_CHILD | WS_GROUP;
        DWORD exStyle = 0;
        int height = c.height;
        switch (c.kind) {
        case Kind::Button:
            style |= WS_TABSTOP | ((c.flags & kDefault) ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
            break;
        case Kind::Label:
            cls = "STATIC";
            style |= SS_LEFT | SS_NOTIFY | SS_NOPREFIX;
            break;
        case Kind::ListBox:
            cls = "LISTBOX";
            style |= WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT;
            if (c.flags & kMultiSelect)
                style |= LBS_MULTIPLESEL;
            exStyle = WS_EX_CLIENTEDGE;
            break;
        case Kind::ComboBox:
            cls = "COMBOBOX";
            style |= WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST;
            height = c.height * 8; // the height of the dropped list
            break;
        case Kind::CheckBox:
            style |= WS_TABSTOP | BS_AUTOCHECKBOX;
            break;
        case Kind::OptionButton:
            style =
                WS_CHILD | WS_TABSTOP | BS_AUTORADIOBUTTON | ((c.flags & kGroup) ? WS_GROUP : 0);
            break;
        case Kind::Frame:
            style |= BS_GROUPBOX;
            break;
        case Kind::Image:
            cls = "STATIC";
            style |= SS_BITMAP | SS_NOTIFY;
            break;
        case Kind::Timer:
            continue;
        }
        bool hidden = false;
        POINT at = TablePosition(spec_.controls, i, hidden);
        if (!hidden)
            style |= WS_VISIBLE;
        HWND h = CreateWindowExA(
            exStyle, cls, c.kind == Kind::Image ? nullptr : c.caption, style,
            TwipsToPixels(at.x, dpiX), TwipsToPixels(at.y, dpiY), TwipsToPixels(c.width, dpiX),
            TwipsToPixels(height, dpiY), hwnd_,
            reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kFirstControlId + i)), inst, nullptr);
        if (!h)
            continue;
        controls_[i] = h;
        TagControl(h, c.name);
        if (font) {
            SendMessageA(h, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
            TagFontFace(h, kDesignFace);
        }
    }
}

void Form::Show() {
    Load();
    if (!hwnd_)
        return;
    bool wasVisible = IsWindowVisible(hwnd_);
    ShowWindow(hwnd_, SW_SHOW);
    if (!wasVisible) {
        SetForegroundWindow(hwnd_);
        HWND first = GetNextDlgTabItem(hwnd_, nullptr, FALSE);
        if (first)
            SetFocus(first);
    }
}

void Form::ShowModal(Form* owner) {
    Load();
    if (!hwnd_)
        return;
    HWND ownerHwnd = owner ? owner->hwnd() : nullptr;
    if (ownerHwnd) {
        SetWindowLongPtrA(hwnd_, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(ownerHwnd));
        RECT o{}, me{};
        GetWindowRect(ownerHwnd, &o);
        GetWindowRect(hwnd_, &me);
        int x = o.left + ((o.right - o.left) - (me.right - me.left)) / 2;
        int y = o.top + ((o.bottom - o.top) - (me.bottom - me.top)) / 2;
        SetWindowPos(hwnd_, nullptr, x < 0 ? 0 : x, y < 0 ? 0 : y, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        EnableWindow(ownerHwnd, FALSE);
        modalOwner_ = ownerHwnd;
    }
    Show();
    MSG msg;
    while (hwnd_) {
        BOOL r = GetMessageA(&msg, nullptr, 0, 0);
        if (r == 0) {
            // the program is ending: leave the loop and let the outer loop see it too
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (r == -1)
            break;
        if (!PreTranslate(msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    if (hwnd_ && modalOwner_) {
        // left by WM_QUIT: the owner gets its input back all the same
        EnableWindow(modalOwner_, TRUE);
        modalOwner_ = nullptr;
    }
}

void Form::Unload() {
    if (!hwnd_ || unloading_)
        return;
    unloading_ = true;
    try {
        Form_Unload();
    } catch (...) {
        // an unload handler that fails still lets the form go
    }
    if (modalOwner_) {
        // before the window goes, so the owner is the one activated next
        EnableWindow(modalOwner_, TRUE);
        SetActiveWindow(modalOwner_);
        modalOwner_ = nullptr;
    }
    for (UINT i = 0; i < controls_.size(); ++i)
        if (spec_.controls[i].kind == Kind::Timer)
            KillTimer(hwnd_, kFirstControlId + i);
    Destroy();
    controls_.clear();
    entries_.clear();
    menuBar_ = nullptr; // destroyed with the window
    Forms::Unloaded(this);
}

Form* Form::FromHwnd(HWND hwnd) {
    char cls[32] = {};
    if (!hwnd || !GetClassNameA(hwnd, cls, sizeof cls) || std::strcmp(cls, kFormClass) != 0)
        return nullptr;
    if (GetWindowThreadProcessId(hwnd, nullptr) != GetCurrentThreadId())
        return nullptr;
    return reinterpret_cast<Form*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

bool Form::PreTranslate(MSG& msg) {
    if (!msg.hwnd)
        return false;
    HWND root = win::RootWindow(msg.hwnd);
    Form* form = FromHwnd(root);
    if (!form)
        return false;
    if (form->accel_ && TranslateAcceleratorA(root, form->accel_, &msg))
        return true;
    if (MenuBarKey(root, msg))
        return true;
    return IsDialogMessageA(root, &msg) != FALSE;
}

LRESULT CALLBACK Form::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    Form* self = nullptr;
    if (msg == WM_NCCREATE) {
        self = static_cast<Form*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->hwnd_ = hwnd;
    } else {
        self = reinterpret_cast<Form*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    }
    if (!self)
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    if (auto answer = AnswerMenuQuery(hwnd, msg, wParam))
        return *answer;
    try {
        if (msg == WM_NCDESTROY) {
            SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
            UntagControl(hwnd);
            self->hwnd_ = nullptr;
            // a window destroyed along with its owner unloads its form as well
            if (!self->destroying_)
                Forms::Unloaded(self);
            return DefWindowProcA(hwnd, msg, wParam, lParam);
        }
        return self->HandleMessage(msg, wParam, lParam);
    } catch (const HandlerNameError& e) {
        // a window that binds a handler to a name it does not have is a program error:
        // it ends the program with the name rather than leave the handler silent
        FatalAppExitA(0, e.what());
        return 0;
    } catch (...) {
        // no error leaves a window procedure; the message counts as handled
        return 0;
    }
}

LRESULT Form::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_COMMAND:
        OnCommand(wParam, lParam);
        return 0;
    case WM_TIMER: {
        size_t i = static_cast<size_t>(wParam) - kFirstControlId;
        if (wParam >= kFirstControlId && i < spec_.controls.size())
            Raise(std::string(spec_.controls[i].name) + "_Timer");
        return 0;
    }
    case DM_GETDEFID:
        for (size_t i = 0; i < spec_.controls.size(); ++i)
            if (spec_.controls[i].flags & kDefault)
                return MAKELRESULT(kFirstControlId + i, DC_HASDEFID);
        return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
        return OnColour(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam), msg, wParam,
                        lParam);
    case WM_SETCURSOR: {
        auto* h = reinterpret_cast<HWND>(wParam);
        for (size_t i = 0; i < controls_.size(); ++i)
            if (controls_[i] == h && (spec_.controls[i].flags & kLink)) {
                SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_HAND)));
                return TRUE;
            }
        break;
    }
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) {
            HWND focus = GetFocus();
            if (focus && IsChild(hwnd_, focus))
                lastFocus_ = focus;
        } else {
            // back to the control that had the focus, or to the first in tab order
            HWND target = lastFocus_ && IsWindow(lastFocus_) && IsChild(hwnd_, lastFocus_)
                              ? lastFocus_
                              : GetNextDlgTabItem(hwnd_, nullptr, FALSE);
            if (target) {
                SetFocus(target);
                return 0;
            }
        }
        break;
    case WM_DESTROY:
        for (HWND h : controls_)
            if (h)
                UntagControl(h);
        if (!unloading_ && !destroying_) {
            // destroyed without Unload (its owner went): the unload handler still runs
            unloading_ = true;
            try {
                Form_Unload();
            } catch (...) {
            }
        }
        break;
    case WM_SETFONT:
        font_ = reinterpret_cast<HFONT>(wParam);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(font_);
    case WM_CLOSE:
        Unload();
        return 0;
    default:
        break;
    }
    return DefWindowProcA(hwnd_, msg, wParam, lParam);
}

void Form::OnCommand(WPARAM wParam, LPARAM lParam) {
    UINT id = LOWORD(wParam);
    UINT code = HIWORD(wParam);
    if (lParam == 0 || id == IDCANCEL || id == IDOK) {
        if (id == IDCANCEL && spec_.border == Border::Dialog) {
            Unload(); // Esc closes a dialog
            return;
        }
        for (const Entry& e : entries_)
            if (e.id != 0 && e.id == id) {
                // an accelerator of a disabled entry does nothing
                if (GetMenuState(e.parent, static_cast<UINT>(e.position), MF_BYPOSITION) &
                    (MF_GRAYED | MF_DISABLED))
                    return;
                Raise(e.name + "_Click");
                return;
            }
        if (lParam == 0)
            return;
    }
    if (id < kFirstControlId || id - kFirstControlId >= spec_.controls.size())
        return;
    const ControlSpec& c = spec_.controls[id - kFirstControlId];
    std::string name = c.name;
    switch (c.kind) {
    case Kind::Button:
    case Kind::CheckBox:
    case Kind::OptionButton:
    case Kind::Label:
    case Kind::Image:
        if (code == BN_CLICKED) // STN_CLICKED is the same code
            Raise(name + "_Click");
        break;
    case Kind::ComboBox:
        if (code == CBN_SELCHANGE)
            Raise(name + "_Click");
        break;
    case Kind::ListBox:
        if (code == LBN_SELCHANGE)
            Raise(name + "_Click");
        else if (code == LBN_DBLCLK)
            Raise(name + "_DblClick");
        break;
    case Kind::Frame:
    case Kind::Timer:
        break;
    }
}

LRESULT Form::OnColour(HDC dc, HWND control, UINT msg, WPARAM wParam, LPARAM lParam) {
    for (size_t i = 0; i < controls_.size(); ++i) {
        if (controls_[i] != control)
            continue;
        const ControlSpec& c = spec_.controls[i];
        if (c.flags & kLink) {
            SetTextColor(dc, RGB(0, 0, 192));
            SetBkMode(dc, TRANSPARENT);
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
        }
        if (c.colour == Colour::None)
            break;
        auto key = static_cast<int>(c.colour);
        HBRUSH& brush = brushes_[key];
        if (!brush)
            brush = CreateSolidBrush(BackColour(c.colour));
        SetBkColor(dc, BackColour(c.colour));
        SetTextColor(dc, RGB(0, 0, 0));
        return reinterpret_cast<LRESULT>(brush);
    }
    return DefWindowProcA(hwnd_, msg, wParam, lParam);
}

} // namespace tw
