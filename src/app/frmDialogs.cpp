// The small dialogs opened from the interfaces' menus: frmLanguage, frmOptions, frmFont
// and frmAbout. Each is shown modal, owned by the window that opened it.
#include "app/Captions.h"
#include "app/INI.h"
#include "app/ShellForms.h"
#include "app/forms/Forms.h"
#include "app/modFont.h"
#include "app/modLanguage.h"
#include "core/Text.h"
#include "win/Handle.h"
#include "win/ProgramFolder.h"

#include <shellapi.h>

#include <array>

namespace tw {

namespace {

// The window that opened a language or font dialog, by the mark it wrote into
// lblfIdentify: "1" the Normal interface, "2" the Advanced one, "3" the first wizard page.
const char* OpenerName(const std::string& mark) {
    if (mark == "1")
        return "frmMain";
    if (mark == "2")
        return "frmAdvanced";
    if (mark == "3")
        return "frmWiz1";
    return nullptr;
}

// ---- frmLanguage ----------------------------------------------------------------------

const ControlSpec kLanguageControls[] = {
    {"lbllngInfo", Kind::Label, 120, 120, 4215, 615, "1043",
     "Choose the language of the program's texts."},
    {"cboLanguage", Kind::ComboBox, 120, 840, 4215, 315},
    {"cmdSave", Kind::Button, 1800, 1320, 1215, 375, "1042", "Save", Colour::None, kDefault},
    {"cmdClose", Kind::Button, 3120, 1320, 1215, 375, "1001", "Close"},
    {"lblfIdentify", Kind::Label, 0, 0, 0, 0, nullptr, "", Colour::None, kHidden},
};

const FormSpec kfrmLanguage{"frmLanguage",     "Language", 4455,           1815,
                            kLanguageControls, {},         Border::Dialog, "1041"};

class frmLanguage : public Form {
  public:
    frmLanguage() : Form(kfrmLanguage) {
        On("cmdSave_Click", [this] { cmdSave_Click(); });
        On("cmdClose_Click", [this] { Unload(); });
    }

  protected:
    void Form_Load() override {
        SetCaptions(*this);
        ApplyFont(*this);
        LoadLanguages();
    }

  private:
    void LoadLanguages() {
        WIN32_FIND_DATAA found{};
        win::UniqueFind find(FindFirstFileA((ProgramFolder() + "\\*.lng").c_str(), &found));
        if (find) {
            do {
                std::string name = found.cFileName;
                auto dot = name.rfind('.');
                AddItem("cboLanguage", dot == std::string::npos ? name : name.substr(0, dot));
            } while (FindNextFileA(find.get(), &found));
        }
        if (ListCount("cboLanguage") == 0) {
            MessageBoxA(GetActiveWindow(), LookupText("0004").c_str(), LookupText("0008").c_str(),
                        MB_OK | MB_ICONSTOP);
            SetEnabled("cmdSave", false);
            return;
        }
        std::string current = ReadINI(kIniFile, "LANGUAGE", "CurrentLanguage", "?");
        for (int i = 0; i < ListCount("cboLanguage"); ++i)
            if (List("cboLanguage", i) == current) {
                SetListIndex("cboLanguage", i);
                break;
            }
    }

    void cmdSave_Click() {
        WriteINI(kIniFile, "LANGUAGE", "CurrentLanguage", Text("cboLanguage"));
        DeleteLanguageCopy();
        if (const char* opener = OpenerName(Caption("lblfIdentify")))
            CaptionForm(opener);
        Unload();
    }
};

// ---- frmOptions -----------------------------------------------------------------------

const ControlSpec kOptionsControls[] = {
    {"fraInterface", Kind::Frame, 120, 60, 2895, 615, "1052", "Interface"},
    {"optGUINorm", Kind::OptionButton, 240, 300, 1335, 255, "1053", "Normal", Colour::None, kGroup},
    {"optGUIAdv", Kind::OptionButton, 1620, 300, 1335, 255, "1054", "Advanced"},
    {"fraWiz", Kind::Frame, 120, 780, 2895, 615, "1051", "Start with the wizard"},
    {"optWizSYes", Kind::OptionButton, 240, 1020, 1335, 255, "1046", "Yes", Colour::None, kGroup},
    {"optWizSNo", Kind::OptionButton, 1620, 1020, 1335, 255, "1047", "No"},
    {"fraLogFile", Kind::Frame, 120, 1500, 2895, 615, "1048", "Log file"},
    {"optLogYes", Kind::OptionButton, 240, 1740, 1335, 255, "1046", "Yes", Colour::None, kGroup},
    {"optLogNo", Kind::OptionButton, 1620, 1740, 1335, 255, "1047", "No"},
    {"fraFileBackup", Kind::Frame, 3135, 60, 2955, 615, "1050", "Back up files"},
    {"optFileBYes", Kind::OptionButton, 3255, 300, 1335, 255, "1046", "Yes", Colour::None, kGroup},
    {"optFileBNo", Kind::OptionButton, 4635, 300, 1335, 255, "1047", "No"},
    {"fraDirBackup", Kind::Frame, 3135, 780, 2955, 615, "1049", "Back up directories"},
    {"optDirBYes", Kind::OptionButton, 3255, 1020, 1335, 255, "1046", "Yes", Colour::None, kGroup},
    {"optDirBNo", Kind::OptionButton, 4635, 1020, 1335, 255, "1047", "No"},
    {"fraRegBackup", Kind::Frame, 3135, 1500, 2955, 615, "1045", "Back up registry keys"},
    {"optRegBYes", Kind::OptionButton, 3255, 1740, 1335, 255, "1046", "Yes", Colour::None, kGroup},
    {"optRegBNo", Kind::OptionButton, 4635, 1740, 1335, 255, "1047", "No"},
    {"lblBackupInfo", Kind::Label, 120, 2220, 5910, 435, "1055", ""},
    {"lblOptionsInfo", Kind::Label, 120, 2700, 4455, 435, "1056", ""},
    {"cmdClose", Kind::Button, 4815, 2730, 1215, 375, "1001", "Close", Colour::None, kDefault},
};

const FormSpec kfrmOptions{"frmOptions",     "Options", 6150,           3225,
                           kOptionsControls, {},        Border::Dialog, "1044"};

// Each option button and the setting it writes when clicked.
struct OptionSetting {
    const char* button;
    const char* key; // in [PROGRAM]
    const char* value;
};
// In the order the settings are read at load: Interface, Wizard, BackupFiles, BackupDir,
// BackupReg, LogFile.
constexpr std::array<OptionSetting, 12> kOptionSettings = {{
    {"optGUINorm", "Interface", "Normal"},
    {"optGUIAdv", "Interface", "Advanced"},
    {"optWizSYes", "Wizard", "Yes"},
    {"optWizSNo", "Wizard", "No"},
    {"optFileBYes", "BackupFiles", "Yes"},
    {"optFileBNo", "BackupFiles", "No"},
    {"optDirBYes", "BackupDir", "Yes"},
    {"optDirBNo", "BackupDir", "No"},
    {"optRegBYes", "BackupReg", "Yes"},
    {"optRegBNo", "BackupReg", "No"},
    {"optLogYes", "LogFile", "Yes"},
    {"optLogNo", "LogFile", "No"},
}};

class frmOptions : public Form {
  public:
    frmOptions() : Form(kfrmOptions) {
        for (const OptionSetting& o : kOptionSettings)
            On(std::string(o.button) + "_Click",
               [o] { WriteINI(kIniFile, "PROGRAM", o.key, o.value); });
        On("cmdClose_Click", [this] { Unload(); });
    }

  protected:
    void Form_Load() override {
        SetCaptions(*this);
        ApplyFont(*this);
        for (size_t i = 0; i < kOptionSettings.size(); i += 2) {
            std::string value = ReadINI(kIniFile, "PROGRAM", kOptionSettings[i].key, "?");
            // a value matching neither button leaves the pair unselected
            for (size_t j = i; j < i + 2; ++j)
                if (value == kOptionSettings[j].value)
                    SetValue(kOptionSettings[j].button, 1);
        }
    }
};

// ---- frmFont --------------------------------------------------------------------------

const ControlSpec kFontControls[] = {
    {"lblfontInfo", Kind::Label, 120, 120, 4215, 615, "1077",
     "Choose the font of the program's windows."},
    {"cboFont", Kind::ComboBox, 120, 840, 4215, 315},
    {"cmdSave", Kind::Button, 1800, 1320, 1215, 375, "1042", "Save", Colour::None, kDefault},
    {"cmdClose", Kind::Button, 3120, 1320, 1215, 375, "1001", "Close"},
    {"lblfIdentify", Kind::Label, 0, 0, 0, 0, nullptr, "", Colour::None, kHidden},
};

const FormSpec kfrmFont{"frmFont", "Font", 4455, 1815, kFontControls, {}, Border::Dialog, "1076"};

class frmFont : public Form {
  public:
    frmFont() : Form(kfrmFont) {
        On("cmdSave_Click", [this] { cmdSave_Click(); });
        On("cmdClose_Click", [this] { Unload(); });
    }

  protected:
    void Form_Load() override {
        SetCaptions(*this);
        ApplyFont(*this);
        LoadFonts();
    }

  private:
    void LoadFonts() {
        AddItem("cboFont", "Default");
        AddItem("cboFont", "Tahoma");
        if (ListCount("cboFont") < 1)
            return;
        std::string name = ReadINI(kIniFile, "FONT", "Name", "?");
        for (int i = 0; i < ListCount("cboFont"); ++i)
            if (List("cboFont", i) == name) {
                SetListIndex("cboFont", i);
                break;
            }
    }

    void cmdSave_Click() {
        WriteINI(kIniFile, "FONT", "Name", Text("cboFont"));
        if (const char* opener = OpenerName(Caption("lblfIdentify")))
            if (Form* form = Forms::Find(opener))
                ApplyFont(*form);
        Unload();
    }
};

// ---- frmAbout -------------------------------------------------------------------------

constexpr const char* kMailSubject = "Tracewipe";

const ControlSpec kAboutControls[] = {
    {"fraAbout", Kind::Frame, 120, 60, 4935, 1935, "", "About"},
    {"lblVersion", Kind::Label, 300, 300, 4575, 255, "0006", "Version", Colour::None, kWithVersion},
    {"lblCopyright", Kind::Label, 300, 615, 4575, 435, nullptr,
     "Copyright (C) 2026 the Tracewipe developers. Free to use, without warranty."},
    {"lblSupport1", Kind::Label, 300, 1170, 4575, 255, nullptr, "support@tracewipe.example",
     Colour::None, kLink},
    {"lblSupport2", Kind::Label, 300, 1485, 4575, 255, nullptr, "filters@tracewipe.example",
     Colour::None, kLink},
    {"cmdOK", Kind::Button, 3840, 2160, 1215, 375, "1026", "OK", Colour::None, kDefault},
};

const FormSpec kfrmAbout{"frmAbout", "About Tracewipe", 5175, 2655, kAboutControls,
                         {},         Border::Dialog};

class frmAbout : public Form {
  public:
    frmAbout() : Form(kfrmAbout) {
        On("lblSupport1_Click", [this] { MailTo("lblSupport1"); });
        On("lblSupport2_Click", [this] { MailTo("lblSupport2"); });
        On("cmdOK_Click", [this] { Unload(); });
    }

  protected:
    void Form_Load() override {
        SetCaptions(*this);
        ApplyFont(*this);
    }

  private:
    void MailTo(const char* label) {
        std::string link = "mailto:" + Caption(label) + "?subject=" + kMailSubject;
        ShellExecuteA(hwnd(), nullptr, link.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    }
};

} // namespace

void RegisterDialogForms() {
    Forms::Register("frmLanguage", [] { return std::make_unique<frmLanguage>(); });
    Forms::Register("frmOptions", [] { return std::make_unique<frmOptions>(); });
    Forms::Register("frmFont", [] { return std::make_unique<frmFont>(); });
    Forms::Register("frmAbout", [] { return std::make_unique<frmAbout>(); });
}

} // namespace tw
