// A small window for exercising the GUI driver: one control of each kind the program
// uses, a menu with a shortcut, and a button that asks through a message box.
//   tw_testwindow.exe [--delay MS]   waits MS milliseconds before opening the window
#include <windows.h>

#include "win/ControlName.h"
#include "win/MenuQuery.h"

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr char kTitle[] = "Driver Test Window";
constexpr int kExitCode = 7;

enum : int {
    IdAddItem = 101,
    IdClear = 102,
    IdExit = 103,
    IdDisabled = 104,
    IdAbout = 201,
    IdName = 1001,
    IdChoice,
    IdOption,
    IdFirst,
    IdSecond,
    IdAdd,
    IdDisabledButton,
    IdStatus,
    IdItems,
};

HWND gStatus = nullptr;
HWND gItems = nullptr;
HWND gName = nullptr;
HWND gChoice = nullptr;
HFONT gFont = nullptr;
int gAdded = 0;

void SetStatus(const std::string& text) {
    SetWindowTextA(gStatus, text.c_str());
}

void AddItem(const std::string& text) {
    SendMessageA(gItems, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

HWND Make(HWND parent, const char* cls, const char* text, DWORD style, int x, int y, int w, int h,
          int id, const char* name) {
    HWND c = CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                             GetModuleHandleA(nullptr), nullptr);
    SendMessageA(c, WM_SETFONT, reinterpret_cast<WPARAM>(gFont), TRUE);
    tw::TagControl(c, name);
    tw::TagFontFace(c, "Tahoma");
    return c;
}

void CreateControls(HWND w) {
    gFont = CreateFontA(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Tahoma");
    gName = Make(w, "EDIT", "", WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 10, 10, 200, 24, IdName,
                 "txtName");
    gChoice = Make(w, "COMBOBOX", "", WS_TABSTOP | CBS_DROPDOWNLIST | WS_VSCROLL, 220, 10, 150, 120,
                   IdChoice, "cboChoice");
    for (const char* s : {"Alpha", "Beta", "Gamma"})
        SendMessageA(gChoice, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
    Make(w, "BUTTON", "Option", WS_TABSTOP | BS_AUTOCHECKBOX, 10, 44, 100, 20, IdOption,
         "chkOption");
    Make(w, "BUTTON", "First", WS_TABSTOP | WS_GROUP | BS_AUTORADIOBUTTON, 120, 44, 80, 20, IdFirst,
         "optFirst");
    Make(w, "BUTTON", "Second", BS_AUTORADIOBUTTON, 210, 44, 80, 20, IdSecond, "optSecond");
    Make(w, "BUTTON", "&Add", WS_TABSTOP | WS_GROUP | BS_PUSHBUTTON, 10, 74, 90, 26, IdAdd,
         "cmdAdd");
    HWND off = Make(w, "BUTTON", "Never", WS_TABSTOP | BS_PUSHBUTTON, 110, 74, 90, 26,
                    IdDisabledButton, "cmdDisabled");
    EnableWindow(off, FALSE);
    gStatus = Make(w, "STATIC", "Ready", SS_LEFT, 210, 80, 200, 20, IdStatus, "lblStatus");
    gItems = Make(w, "LISTBOX", "", WS_BORDER | WS_VSCROLL | LBS_NOTIFY, 10, 110, 400, 120, IdItems,
                  "lstItems");
    AddItem("First line");
    AddItem("Caf\xe9 au lait");
}

HMENU CreateMainMenu() {
    HMENU file = CreatePopupMenu();
    AppendMenuA(file, MF_STRING, IdAddItem, "&Add Item\tCtrl+R");
    AppendMenuA(file, MF_STRING, IdClear, "&Clear");
    AppendMenuA(file, MF_STRING | MF_GRAYED, IdDisabled, "&Disabled");
    AppendMenuA(file, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(file, MF_STRING, IdExit, "E&xit");
    HMENU help = CreatePopupMenu();
    AppendMenuA(help, MF_STRING, IdAbout, "&About...");
    HMENU bar = CreateMenu();
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), "&File");
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(help), "&Help");
    return bar;
}

std::string Text(HWND h) {
    char buf[256];
    int n = GetWindowTextA(h, buf, sizeof buf);
    return std::string(buf, static_cast<size_t>(n > 0 ? n : 0));
}

void OnCommand(HWND w, int id, int code, HWND ctl) {
    switch (id) {
    case IdAdd:
        if (MessageBoxA(w, "Add an item?", "Confirm", MB_YESNO | MB_ICONQUESTION) == IDYES) {
            AddItem("Item " + std::to_string(++gAdded));
            SetStatus("Added");
        } else {
            SetStatus("Declined");
        }
        break;
    case IdAddItem:
        AddItem("Menu item");
        SetStatus("Menu");
        break;
    case IdClear:
        SendMessageA(gItems, LB_RESETCONTENT, 0, 0);
        SetStatus("Cleared");
        break;
    case IdAbout:
        MessageBoxA(w, "Driver test window", "About", MB_OK | MB_ICONINFORMATION);
        SetStatus("About shown");
        break;
    case IdExit:
        DestroyWindow(w);
        break;
    case IDOK:
        AddItem("Typed " + Text(gName));
        SetStatus("Entered");
        break;
    case IDCANCEL:
        SetStatus("Escaped");
        break;
    case IdOption:
        if (code == BN_CLICKED)
            SetStatus(SendMessageA(ctl, BM_GETCHECK, 0, 0) == BST_CHECKED ? "Option on"
                                                                          : "Option off");
        break;
    case IdFirst:
    case IdSecond:
        if (code == BN_CLICKED)
            SetStatus(id == IdFirst ? "First chosen" : "Second chosen");
        break;
    case IdChoice:
        if (code == CBN_SELCHANGE) {
            auto i = SendMessageA(gChoice, CB_GETCURSEL, 0, 0);
            char buf[64] = {};
            SendMessageA(gChoice, CB_GETLBTEXT, static_cast<WPARAM>(i),
                         reinterpret_cast<LPARAM>(buf));
            SetStatus(std::string("Chose ") + buf);
        }
        break;
    default:
        break;
    }
}

LRESULT CALLBACK WndProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) noexcept {
    if (auto answer = tw::AnswerMenuQuery(w, msg, wp))
        return *answer;
    try {
        switch (msg) {
        case WM_CREATE:
            CreateControls(w);
            return 0;
        case WM_COMMAND:
            OnCommand(w, LOWORD(wp), HIWORD(wp), reinterpret_cast<HWND>(lp));
            return 0;
        case WM_DESTROY:
            PostQuitMessage(kExitCode);
            return 0;
        default:
            break;
        }
    } catch (...) {
        return 0;
    }
    return DefWindowProcA(w, msg, wp, lp);
}

} // namespace

int main(int argc, char** argv) {
    if (argc >= 3 && std::strcmp(argv[1], "--delay") == 0)
        Sleep(static_cast<DWORD>(std::atoi(argv[2])));

    HINSTANCE inst = GetModuleHandleA(nullptr);
    WNDCLASSA wc{};
    wc.lpfnWndProc = WndProc;
    wc.hInstance = inst;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = "TwTestWindow";
    RegisterClassA(&wc);

    HWND w = CreateWindowExA(0, wc.lpszClassName, kTitle, WS_OVERLAPPEDWINDOW, 40, 40, 440, 300,
                             nullptr, CreateMainMenu(), inst, nullptr);
    if (!w)
        return 1;
    ShowWindow(w, SW_SHOW);
    UpdateWindow(w);
    SetFocus(gName);

    ACCEL accel[] = {{FVIRTKEY | FCONTROL, 'R', IdAddItem}};
    HACCEL table = CreateAcceleratorTableA(accel, 1);
    MSG m;
    while (GetMessageA(&m, nullptr, 0, 0) > 0) {
        if (TranslateAcceleratorA(w, table, &m))
            continue;
        if (IsDialogMessageA(w, &m))
            continue;
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
    DestroyAcceleratorTable(table);
    DeleteObject(gFont);
    return static_cast<int>(m.wParam);
}
