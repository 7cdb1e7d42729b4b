#include "cab/frmCC.h"

#include "app/Captions.h"
#include "app/forms/Forms.h"
#include "app/modFont.h"
#include "app/modGeneral.h"
#include "app/modLanguage.h"
#include "cab/CabCleaner.h"
#include "cab/rules/CabFilter.h"
#include "core/AppError.h"
#include "win/Files.h"
#include "win/MessagePump.h"
#include "win/ProgramFolder.h"
#include "win/StartAndWait.h"
#include "win/SystemFolders.h"

namespace tw {

namespace {

// Positions in twips: left, top, width, height. The two lists are storage only.
const ControlSpec kControls[] = {
    {"cboConfig", Kind::ComboBox, 120, 120, 3255, 315},
    {"lblStatus", Kind::Label, 120, 540, 5775, 255},
    {"lblStatus2", Kind::Label, 120, 840, 5775, 255},
    {"lblInfoMin", Kind::Label, 120, 1140, 5775, 255},
    {"lblOS", Kind::Label, 120, 1500, 5775, 255, nullptr, "", Colour::Blue},
    {"cmdClose", Kind::Button, 3360, 1920, 1215, 375, "1001", "Close"},
    {"cmdClean", Kind::Button, 4680, 1920, 1215, 375, "1002", "Clean", Colour::None, kDefault},
    {"lstCabNames", Kind::ListBox, 0, 0, 1000, 500, nullptr, "", Colour::None, kHidden},
    {"lstCAB", Kind::ListBox, 0, 0, 1000, 500, nullptr, "", Colour::None, kHidden},
};

const MenuSpec kMenus[] = {
    {"mnuFile", 0, "1005", "File"},    {"mnuFileClean", 1, "1006", "&Clean", "Ctrl+R"},
    {"mnuFileBar1", 1, nullptr, "-"},  {"mnuFileExit", 1, "1007", "E&xit", "Ctrl+X"},
    {"mnuTools", 0, "1019", "&Tools"}, {"mnuToolsDriver", 1, "1028", "&Tracewipe"},
    {"mnuHelp", 0, "1021", "Help"},    {"mnuHelpHelp", 1, "1022", "&Help", "F1"},
    {"mnuHelpBar1", 1, nullptr, "-"},  {"mnuHelpAbout", 1, "1023", "A&bout..."},
};

const FormSpec kLayout{
    "frmCC", "Cab Cleaner", 6015, 2415, kControls, kMenus, Border::Fixed, "1027", true,
};

const char* const kRunControls[] = {"cmdClean", "cmdClose", "mnuFileClean", "mnuFileExit",
                                    "mnuToolsDriver"};

// The extraction folders of the usual cabinets, emptied when the window goes.
const char* const kExtractionFolders[] = {"tmpDriver", "tmpSP1", "tmpSP2",
                                          "tmpSP3",    "tmpSP4", "tmpSP5"};

std::string WorkingCopy() {
    return GetWindowsDir() + "\\cdccf.dll";
}

} // namespace

const FormSpec& frmCC::Layout() {
    return kLayout;
}

frmCC::frmCC() : Form(kLayout) {
    On("cmdClean_Click", [this] { cmdClean_Click(); });
    On("mnuFileClean_Click", [this] { cmdClean_Click(); });
    On("cmdClose_Click", [this] { Leave(); });
    On("mnuFileExit_Click", [this] { Leave(); });
    On("mnuToolsDriver_Click", [this] { Leave(); });
    On("mnuHelpHelp_Click", [this] { OpenHelpFile(hwnd()); });
    On("mnuHelpAbout_Click", [this] {
        if (Form* about = Forms::Load("frmAbout"))
            about->ShowModal(this);
    });
}

frmCC::~frmCC() = default;

void frmCC::Form_Load() {
    SetCaptions(*this);
    ApplyFont(*this);
    Protection = std::make_unique<clsProtection>();
    ShowOSLabelSP(*this);
    LoadCabFilters();
}

void frmCC::LoadCabFilters() {
    for (const std::string& name : CabFilterNames(ProgramFolder()))
        AddItem("lstCabNames", name);
    const int n = ListCount("lstCabNames");
    for (int i = 0; i < n; ++i) {
        const std::string entry = List("lstCabNames", i);
        if (CabinetInstalled(entry))
            AddItem("cboConfig", entry);
    }
    if (ListCount("cboConfig") > 0) {
        SetListIndex("cboConfig", 0);
        return;
    }
    MessageBoxA(hwnd(), GetLanguageText("0007").c_str(), GetLanguageText("0008").c_str(),
                MB_OK | MB_ICONSTOP);
    SetEnabled("cmdClean", false);
    SetEnabled("mnuFileClean", false);
}

void frmCC::cmdClean_Click() {
    if (running_ || ListCount("cboConfig") == 0)
        return;
    if (MessageBoxA(hwnd(), GetLanguageText("0009").c_str(), GetLanguageText("0010").c_str(),
                    MB_YESNO | MB_ICONEXCLAMATION) != IDYES ||
        !Loaded())
        return;
    SetRunning(true);
    entry_ = Text("cboConfig");
    DeleteFileA(WorkingCopy().c_str()); // a copy left by an earlier run is never read
    if (Protection) {
        try {
            Protection->DecodeFile(ProgramFolder() + "\\" + entry_ + ".ccf", WorkingCopy());
        } catch (const AppError&) {
            // a damaged cab filter treats no cabinet
        }
    }
    ProcessCabFilter(WorkingCopy());
    DeleteFileA(WorkingCopy().c_str());
    SetRunning(false);
}

void frmCC::ProcessCabFilter(const std::string& workingCopy) {
    const std::string text = ReadTextFile(workingCopy);
    for (const std::string& line : CabFilterLines(text))
        CleanCabinet(line);
}

void frmCC::CleanCabinet(const std::string& line) {
    currentCabinet_ = GetWindowsDir() + line;
    if (!IsCabinetLine(line) || !FileFound(currentCabinet_))
        return;
    SetCaption("lblStatus", GetLanguageText("0020") + " " + entry_ + " !");
    SetCaption("lblInfoMin", GetLanguageText("0021"));
    SetCaption("lblStatus2", GetLanguageText("0022"));

    // Unpacked into a folder made empty here, so no file of an earlier run or of anyone
    // else joins the cabinet.
    folder_ = MakeExtractionFolder(entry_);
    bool unpacked = false;
    try {
        unpacked =
            !folder_.empty() && StartAndWait(ExtractionCommand(currentCabinet_, folder_), 0) == 0;
    } catch (const AppError&) {
        // no extraction tool: nothing was unpacked
    }
    // A cabinet that could not be unpacked whole (two entries whose names differ in
    // letter case only are one file here) stays as it was: rebuilt from part of its files
    // it would lose the rest.
    const char* status = "0032";
    if (unpacked && !FilesIn(folder_).empty()) {
        SetCaption("lblStatus2", GetLanguageText("0023"));
        RemoveDriverFiles();
        const std::vector<std::string> names = ListExtractedFiles();
        SetCaption("lblStatus2", GetLanguageText("0025"));
        status = RebuildCabinet(names) ? "0026" : "0037";
    }
    SetCaption("lblStatus2", "");
    SetCaption("lblInfoMin", "");
    if (!folder_.empty())
        DeleteFolder(folder_);
    SetCaption("lblStatus", GetLanguageText(status) + " " + entry_ + " !");
}

// The old cabinet is not deleted here: the new one replaces it when it is complete, so
// a failed rebuild leaves the old one in place. Only its read-only mark goes.
void frmCC::RemoveDriverFiles() {
    SetFileAttributesA(currentCabinet_.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteDriverFiles(folder_);
}

std::vector<std::string> frmCC::ListExtractedFiles() {
    ClearList("lstCAB");
    std::vector<std::string> names = FilesIn(folder_);
    for (const std::string& name : names)
        AddItem("lstCAB", name);
    return names;
}

bool frmCC::RebuildCabinet(const std::vector<std::string>& names) {
    const CabLibrary library(ProgramFolder() + "\\" + kCabDllName);
    RebuildHooks hooks;
    hooks.ReportError = [](const std::string& message) { ReportError(1, message); };
    hooks.AfterFile = [] { win::PumpMessages(); };
    return tw::RebuildCabinet(library, currentCabinet_, folder_, names, hooks);
}

void frmCC::SetRunning(bool running) {
    running_ = running;
    for (const char* name : kRunControls)
        SetEnabled(name, !running);
}

void frmCC::Leave() {
    if (running_)
        return;
    ReturnToInterface();
    Unload();
}

void frmCC::Form_Unload() {
    Protection.reset();
    // A run still going (the window was closed while it yielded) deletes its own folder
    // when its cabinet is written; its files are not taken away from under it.
    if (!running_) {
        const std::string temp = GetTempDir();
        for (const char* folder : kExtractionFolders)
            DeleteDirIfExists(temp + folder);
    }
    DeleteFileA(WorkingCopy().c_str());
}

void RegisterCabForms() {
    Forms::Register("frmCC", [] { return std::make_unique<frmCC>(); });
}

} // namespace tw
