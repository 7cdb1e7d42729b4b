// frmStart: the splash. Refuses a second instance, writes the missing defaults and
// hands over to the warning or the interface after two one-second ticks.
#include "app/Captions.h"
#include "app/INI.h"
#include "app/ShellForms.h"
#include "app/forms/Forms.h"
#include "app/modFont.h"
#include "app/modGeneral.h"
#include "win/Instance.h"

#include <array>

namespace tw {

namespace {

const ControlSpec kStartControls[] = {
    {"imgStart", Kind::Image, 0, 0, 6000, 1995},
    {"Timer1", Kind::Timer, 0, 0, 0, 0},
};

const FormSpec kfrmStart{"frmStart", "Tracewipe", 6000, 1995, kStartControls, {}, Border::None};

struct Default {
    const char* section;
    const char* key;
    const char* value;
};
// Written in this order when missing; [FONT] Name is left alone.
constexpr std::array<Default, 8> kDefaults = {{
    {"PROGRAM", "Interface", "Normal"},
    {"PROGRAM", "Wizard", "No"},
    {"PROGRAM", "LogFile", "No"},
    {"PROGRAM", "BackupFiles", "No"},
    {"PROGRAM", "BackupDir", "No"},
    {"PROGRAM", "BackupReg", "No"},
    {"WARNING", "ReadmeStart", "Yes"},
    {"LANGUAGE", "CurrentLanguage", "English"},
}};

class frmStart : public Form {
  public:
    frmStart() : Form(kfrmStart) {
        On("Timer1_Timer", [this] { Timer1_Timer(); });
    }
    ~frmStart() override {
        if (splash_)
            DeleteObject(splash_);
    }

  protected:
    void Form_Load() override {
        if (win::PreviousInstanceRunning()) {
            Unload(); // silently: nothing has been shown
            return;
        }
        for (const Default& d : kDefaults)
            if (ReadINI(kIniFile, d.section, d.key, "?") == "?")
                WriteINI(kIniFile, d.section, d.key, d.value);
        ShowSplash();
        TicksLeft = 2;
        SetTimer("Timer1", 1000, true);
    }

  private:
    // The form's client area is exactly the picture.
    void ShowSplash() {
        splash_ = static_cast<HBITMAP>(
            LoadImageA(GetModuleHandleA(nullptr), "SPLASH", IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
        if (!splash_)
            return;
        BITMAP bm{};
        GetObjectA(splash_, sizeof bm, &bm);
        SetPicture("imgStart", splash_);
        SetWindowPos(Control("imgStart"), nullptr, 0, 0, bm.bmWidth, bm.bmHeight, SWP_NOZORDER);
        int x = (GetSystemMetrics(SM_CXSCREEN) - bm.bmWidth) / 2;
        int y = (GetSystemMetrics(SM_CYSCREEN) - bm.bmHeight) / 2;
        SetWindowPos(hwnd(), nullptr, x, y, bm.bmWidth, bm.bmHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    }

    void Timer1_Timer() {
        if (--TicksLeft != 0)
            return;
        SetTimer("Timer1", 0, false);
        // a window that fails on its way up must not keep the splash on screen
        try {
            if (ReadINI(kIniFile, "WARNING", "ReadmeStart", "?") == "Yes")
                Forms::Show("frmWarning");
            else
                OpenInterface();
        } catch (...) {
        }
        Unload();
    }

    std::int32_t TicksLeft = 0;
    HBITMAP splash_ = nullptr;
};

const ControlSpec kWarningControls[] = {
    {"fraWarning", Kind::Frame, 120, 60, 5535, 2055, "1025", "Important"},
    {"lblWarning", Kind::Label, 300, 330, 5175, 1665, "1040", ""},
    {"cmdOK", Kind::Button, 4440, 2265, 1215, 375, "1026", "OK", Colour::None, kDefault},
    {"chkWarning", Kind::CheckBox, 120, 2265, 4095, 375, "1075",
     "Show this warning by the program start!"},
};

const FormSpec kfrmWarning{"frmWarning",     "Important", 5775,          2760,
                           kWarningControls, {},          Border::Dialog};

class frmWarning : public Form {
  public:
    frmWarning() : Form(kfrmWarning) {
        On("cmdOK_Click", [this] { cmdOK_Click(); });
        On("chkWarning_Click", [this] { chkWarning_Click(); });
    }

  protected:
    void Form_Load() override {
        // the check box starts checked (no Click: nothing is written at load)
        SendMessageA(Control("chkWarning"), BM_SETCHECK, BST_CHECKED, 0);
        SetCaptions(*this);
        ApplyFont(*this);
    }

  private:
    void cmdOK_Click() {
        OpenInterface();
        Unload();
    }
    void chkWarning_Click() {
        int value = Value("chkWarning");
        if (value == 1)
            WriteINI(kIniFile, "WARNING", "ReadmeStart", "Yes");
        else if (value == 0)
            WriteINI(kIniFile, "WARNING", "ReadmeStart", "No");
    }
};

} // namespace

void RegisterStartForms() {
    Forms::Register("frmStart", [] { return std::make_unique<frmStart>(); });
    Forms::Register("frmWarning", [] { return std::make_unique<frmWarning>(); });
}

} // namespace tw
