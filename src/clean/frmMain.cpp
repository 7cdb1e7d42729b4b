#include "clean/frmMain.h"

#include "app/Captions.h"
#include "app/Display.h"
#include "app/forms/Forms.h"
#include "app/modFont.h"
#include "app/modGeneral.h"
#include "app/modLanguage.h"
#include "clean/FilterCatalogue.h"
#include "win/ProgramFolder.h"
#include "win/SystemFolders.h"

#include <algorithm>

namespace tw {

namespace {

// Positions in twips: left, top, width, height.
const ControlSpec kControls[] = {
    {"cboConfigs", Kind::ComboBox, 1320, 0, 3255, 315},
    {"lblDetails", Kind::Label, 120, 360, 1035, 210, "1004", "Details:"},
    {"lblStatus", Kind::Label, 1305, 360, 3285, 255},
    {"lstDetail", Kind::ListBox, 135, 585, 5775, 645, nullptr, "", Colour::Green},
    {"lstDetails", Kind::ListBox, 135, 1260, 5775, 645, nullptr, "", Colour::Red},
    {"lblOS", Kind::Label, 135, 1950, 5775, 255, nullptr, "", Colour::Blue},
    {"lblGPU", Kind::Label, 135, 2220, 5775, 255, nullptr, "", Colour::LightBlue},
    {"lblDetinfo", Kind::Label, 135, 2580, 3135, 225, "1003",
     "For information, look at the help file (F1)."},
    {"cmdClose", Kind::Button, 3360, 2520, 1215, 375, "1001", "Close"},
    {"cmdClean", Kind::Button, 4680, 2520, 1215, 375, "1002", "Clean", Colour::None, kDefault},
};

const MenuSpec kMenus[] = {
    {"mnuFile", 0, "1005", "File"},
    {"mnuFileClean", 1, "1006", "&Clean", "Ctrl+R"},
    {"mnuFileBar1", 1, nullptr, "-"},
    {"mnuFileExit", 1, "1007", "E&xit", "Ctrl+X"},
    {"mnuOptions", 0, "1008", "Options"},
    {"mnuOptionsWizard", 1, "1009", "&Wizard", "Ctrl+W"},
    {"mnuOptionsBar1", 1, nullptr, "-"},
    {"mnuOptionsBC", 1, "1010", "Backup Cleaner"},
    {"mnuOptionsBCFD", 2, "1011", "File / Directory"},
    {"mnuOptionsBCRC", 2, "1012", "Registry"},
    {"mnuOptionsBCLC", 2, "1013", "Log"},
    {"mnuOptionRestore", 1, "1014", "Restore"},
    {"mnuOptionsRestoreFD", 2, "1015", "&File / Directory", "Ctrl+U"},
    {"mnuOptionsRestoreReg", 2, "1016", "&Registry", "Ctrl+Z"},
    {"mnuOptionsBar3", 1, nullptr, "-"},
    {"mnuOptionsLanguage", 1, "1017", "&Language", "Ctrl+L"},
    {"mnuOptionsOptions", 1, "1018", "&Options", "Ctrl+O"},
    {"mnuOptionsFont", 1, "1078", "&Font", "Ctrl+F"},
    {"mnuTools", 0, "1019", "&Tools"},
    {"mnuToolsCab", 1, "1020", "&Cab Cleaner"},
    {"mnuHelp", 0, "1021", "Help"},
    {"mnuHelpHelp", 1, "1022", "&Help", "F1"},
    {"mnuHelpBar1", 1, nullptr, "-"},
    {"mnuHelpAbout", 1, "1023", "A&bout..."},
};

const FormSpec kLayout{
    "frmMain", "Tracewipe", 6015, 2970, kControls, kMenus, Border::Fixed, "1000", true,
};

// The filter catalogue sorted case-insensitively, so every file system gives the same
// order.
std::vector<std::string> FilterNames(const std::string& folder) {
    std::vector<std::string> names = FilterCatalogue(folder);
    std::stable_sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return lstrcmpiA(a.c_str(), b.c_str()) < 0;
    });
    return names;
}

LoadTexts TakeLoadTexts() {
    SYSTEMTIME t;
    GetLocalTime(&t);
    char sep[8] = ":";
    if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STIME, sep, sizeof sep) <= 0)
        lstrcpyA(sep, ":");
    return MakeLoadTexts(t.wDay, t.wMonth, t.wYear, t.wHour, t.wMinute, t.wSecond, sep);
}

const char* const kRunControls[] = {"cmdClean", "cmdClose", "mnuFileClean", "mnuFileExit",
                                    "mnuToolsCab"};

} // namespace

const FormSpec& frmMain::Layout() {
    return kLayout;
}

frmMain::frmMain() : Form(kLayout) {
    On("cmdClean_Click", [this] { cmdClean_Click(); });
    On("mnuFileClean_Click", [this] { cmdClean_Click(); });
    On("cmdClose_Click", [this] { Unload(); });
    On("mnuFileExit_Click", [this] { Unload(); });
    On("mnuOptionsWizard_Click", [this] { SwitchTo("frmWiz1"); });
    On("mnuToolsCab_Click", [this] { SwitchTo("frmCC"); });
    On("mnuOptionsBCFD_Click", [this] { ShowDialog("frmClearB"); });
    On("mnuOptionsBCRC_Click", [this] { ShowDialog("frmClearR"); });
    On("mnuOptionsBCLC_Click", [this] { ShowDialog("frmClearL"); });
    On("mnuOptionsRestoreFD_Click", [this] { ShowDialog("frmRestore"); });
    On("mnuOptionsRestoreReg_Click", [this] { ShowDialog("frmRegRest"); });
    On("mnuOptionsLanguage_Click", [this] { ShowDialog("frmLanguage", "1"); });
    On("mnuOptionsOptions_Click", [this] { ShowDialog("frmOptions"); });
    On("mnuOptionsFont_Click", [this] { ShowDialog("frmFont", "1"); });
    On("mnuHelpHelp_Click", [this] { OpenHelpFile(hwnd()); });
    On("mnuHelpAbout_Click", [this] { ShowDialog("frmAbout"); });
}

frmMain::~frmMain() = default;

void frmMain::Form_Load() {
    SetCaptions(*this);
    ApplyFont(*this);
    Protection = std::make_unique<clsProtection>();
    cReg = std::make_unique<cRegSearch>();
    ShowOSLabel(*this);
    SetCaption("lblGPU", GetDisplayName());
    load_ = TakeLoadTexts();
    // Windows that do not exist in this build stay unreachable.
    for (const char* entry : {"mnuOptionsWizard", "mnuToolsCab", "mnuOptionsBCFD", "mnuOptionsBCRC",
                              "mnuOptionsBCLC", "mnuOptionsRestoreFD", "mnuOptionsRestoreReg"}) {
        static const std::pair<const char*, const char*> kTargets[] = {
            {"mnuOptionsWizard", "frmWiz1"},        {"mnuToolsCab", "frmCC"},
            {"mnuOptionsBCFD", "frmClearB"},        {"mnuOptionsBCRC", "frmClearR"},
            {"mnuOptionsBCLC", "frmClearL"},        {"mnuOptionsRestoreFD", "frmRestore"},
            {"mnuOptionsRestoreReg", "frmRegRest"},
        };
        for (const auto& [menu, form] : kTargets)
            if (std::string_view(menu) == entry && !Forms::IsRegistered(form))
                SetEnabled(entry, false);
    }
    LoadFilterList();
}

void frmMain::LoadFilterList() {
    std::vector<std::string> names = FilterNames(ProgramFolder());
    for (const std::string& name : names)
        AddItem("cboConfigs", name);
    if (ListCount("cboConfigs") > 0) {
        SetListIndex("cboConfigs", 0);
        return;
    }
    MessageBoxA(hwnd(), GetLanguageText("0007").c_str(), GetLanguageText("0008").c_str(),
                MB_OK | MB_ICONSTOP);
    SetEnabled("cmdClean", false);
    SetEnabled("mnuFileClean", false);
}

void frmMain::cmdClean_Click() {
    if (running_)
        return;
    if (MessageBoxA(hwnd(), GetLanguageText("0009").c_str(), GetLanguageText("0010").c_str(),
                    MB_YESNO | MB_ICONEXCLAMATION) != IDYES)
        return;
    if (!Loaded())
        return;
    running_ = true;
    RunRequest request;
    request.ProgramFolder = ProgramFolder();
    request.Load = load_;
    request.Filters.push_back(RunFilter{Text("cboConfigs"), 0});
    CleaningRun(*this, *cReg, request);
    running_ = false;
}

void frmMain::ShowDialog(const char* name, const char* caller) {
    Form* dialog = Forms::Load(name);
    if (!dialog)
        return;
    if (caller)
        dialog->SetCaption("lblfIdentify", caller);
    dialog->ShowModal(this);
}

void frmMain::SwitchTo(const char* name) {
    if (running_ || !Forms::Show(name))
        return;
    Unload();
}

void frmMain::Form_Unload() {
    if (cReg)
        cReg->StopSearch();
    DeleteLanguageCopy();
    DeleteFileA((GetWindowsDir() + "\\cdtwf.dll").c_str());
}

void frmMain::SetStatus(const std::string& text) {
    SetCaption("lblStatus", text);
}

void frmMain::SetRunning(bool running) {
    for (const char* name : kRunControls)
        SetEnabled(name, !running);
}

void frmMain::ClearDetails() {
    ClearList("lstDetail");
    ClearList("lstDetails");
}

std::vector<std::string> frmMain::DetailLines() const {
    std::vector<std::string> lines;
    int n = ListCount("lstDetail");
    for (int i = 0; i < n; ++i)
        lines.push_back(List("lstDetail", i));
    return lines;
}

void frmMain::Removed(const std::string& line) {
    AddItem("lstDetail", line);
}
void frmMain::NotFound(const std::string& line) {
    AddItem("lstDetails", line);
}

} // namespace tw
