#include "clean/CleaningWindow.h"

#include "app/Captions.h"
#include "app/Display.h"
#include "app/forms/Forms.h"
#include "app/modFont.h"
#include "app/modGeneral.h"
#include "app/modLanguage.h"
#include "clean/FilterCatalogue.h"
#include "win/ListLines.h"
#include "win/PendingDelete.h"
#include "win/ProgramFolder.h"
#include "win/SystemFolders.h"

#include <algorithm>
#include <cstdio>
#include <map>

namespace tw {

namespace {

const MenuRow kInterfaceMenu[] = {
    {{"mnuFile", 0, "1005", "File"}},
    {{"mnuFileClean", 1, "1006", "&Clean", "Ctrl+R"}, Does::Clean},
    {{"mnuFileBar1", 1, nullptr, "-"}},
    {{"mnuFileExit", 1, "1007", "E&xit", "Ctrl+X"}, Does::Close},
    {{"mnuOptions", 0, "1008", "Options"}},
    {{"mnuOptionsWizard", 1, "1009", "&Wizard", "Ctrl+W"}, Does::OpenInstead, "frmWiz1"},
    {{"mnuOptionsBar1", 1, nullptr, "-"}},
    {{"mnuOptionsBC", 1, "1010", "Backup Cleaner"}},
    {{"mnuOptionsBCFD", 2, "1011", "File / Directory"}, Does::OpenModal, "frmClearB"},
    {{"mnuOptionsBCRC", 2, "1012", "Registry"}, Does::OpenModal, "frmClearR"},
    {{"mnuOptionsBCLC", 2, "1013", "Log"}, Does::OpenModal, "frmClearL"},
    {{"mnuOptionRestore", 1, "1014", "Restore"}},
    {{"mnuOptionsRestoreFD", 2, "1015", "&File / Directory", "Ctrl+U"},
     Does::OpenModal,
     "frmRestore"},
    {{"mnuOptionsRestoreReg", 2, "1016", "&Registry", "Ctrl+Z"}, Does::OpenModal, "frmRegRest"},
    {{"mnuOptionsBar3", 1, nullptr, "-"}},
    {{"mnuOptionsLanguage", 1, "1017", "&Language", "Ctrl+L"},
     Does::OpenModal,
     "frmLanguage",
     kMarked},
    {{"mnuOptionsOptions", 1, "1018", "&Options", "Ctrl+O"}, Does::OpenModal, "frmOptions"},
    {{"mnuOptionsFont", 1, "1078", "&Font", "Ctrl+F"}, Does::OpenModal, "frmFont", kMarked},
    {{"mnuTools", 0, "1019", "&Tools"}},
    {{"mnuToolsCab", 1, "1020", "&Cab Cleaner"}, Does::OpenInstead, "frmCC"},
    {{"mnuToolsPreview", 1, "2100", "&Preview", "Ctrl+P"}, Does::Preview, "frmPreview"},
    {{"mnuHelp", 0, "1021", "Help"}},
    {{"mnuHelpHelp", 1, "1022", "&Help", "F1"}, Does::Help},
    {{"mnuHelpBar1", 1, nullptr, "-"}},
    {{"mnuHelpAbout", 1, "1023", "A&bout..."}, Does::OpenModal, "frmAbout"},
};

const char* const kInterfaceRunControls[] = {"cmdClean", "cmdClose", "mnuFileClean", "mnuFileExit",
                                             "mnuToolsCab"};

std::string ClickEvent(const MenuRow& row) {
    return std::string(row.entry.name) + "_Click";
}

} // namespace

std::span<const MenuRow> InterfaceMenu() {
    return kInterfaceMenu;
}

std::span<const char* const> InterfaceRunControls() {
    return kInterfaceRunControls;
}

std::span<const MenuSpec> MenuSpecs(std::span<const MenuRow> rows) {
    static std::map<const MenuRow*, std::vector<MenuSpec>> made;
    std::vector<MenuSpec>& specs = made[rows.data()];
    if (specs.empty())
        for (const MenuRow& row : rows)
            specs.push_back(row.entry);
    return specs;
}

void ShowDialog(Form& owner, const char* name, const char* mark) {
    Form* dialog = Forms::Load(name);
    if (!dialog)
        return;
    if (mark)
        dialog->SetCaption("lblfIdentify", mark);
    dialog->ShowModal(&owner);
}

void BindOpeningRows(Form& form, std::span<const MenuRow> rows, const char* mark,
                     std::function<bool()> busy) {
    for (const MenuRow& row : rows) {
        const char* target = row.form;
        if (row.does == Does::OpenModal) {
            const char* dialogMark = row.marked ? mark : nullptr;
            form.On(ClickEvent(row),
                    [&form, target, dialogMark] { ShowDialog(form, target, dialogMark); });
        } else if (row.does == Does::OpenInstead) {
            form.On(ClickEvent(row), [&form, target, busy] {
                if ((busy && busy()) || !Forms::Show(target))
                    return;
                form.Unload();
            });
        }
    }
}

void DisableMissingWindows(Form& form, std::span<const MenuRow> rows) {
    for (const MenuRow& row : rows)
        if (row.form && !Forms::IsRegistered(row.form))
            form.SetEnabled(row.entry.name, false);
}

void LoadFilterList(Form& form, std::span<const char* const> selectors,
                    std::span<const char* const> cleaning) {
    if (selectors.empty())
        return;
    std::vector<std::string> names = FilterCatalogue(ProgramFolder());
    std::stable_sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return lstrcmpiA(a.c_str(), b.c_str()) < 0;
    });
    for (const std::string& name : names)
        for (const char* selector : selectors)
            form.AddItem(selector, name);
    if (!names.empty()) {
        for (const char* selector : selectors)
            form.SetListIndex(selector, 0);
        return;
    }
    MessageBoxA(form.hwnd(), GetLanguageText("0007").c_str(), GetLanguageText("0008").c_str(),
                MB_OK | MB_ICONSTOP);
    for (const char* name : cleaning)
        form.SetEnabled(name, false);
}

// ---- CleaningWindow -------------------------------------------------------------------

CleaningWindow::CleaningWindow(const FormSpec& layout, const CleaningTraits& traits)
    : Form(layout), traits_(traits) {
    On("cmdClean_Click", [this] { cmdClean_Click(); });
    On("cmdClose_Click", [this] { cmdClose_Click(); });
    BindOpeningRows(*this, traits_.menu, traits_.callerMark, [this] { return running_; });
    for (const MenuRow& row : traits_.menu) {
        if (row.does == Does::Clean)
            On(ClickEvent(row), [this] { cmdClean_Click(); });
        else if (row.does == Does::Close)
            On(ClickEvent(row), [this] { Unload(); });
        else if (row.does == Does::Help)
            On(ClickEvent(row), [this] { mnuHelpHelp_Click(); });
        else if (row.does == Does::Preview)
            On(ClickEvent(row), [this, form = row.form] { ShowPreview(form); });
    }
}

CleaningWindow::~CleaningWindow() = default;

void CleaningWindow::Form_Load() {
    SetCaptions(*this);
    ApplyFont(*this);
    Protection = std::make_unique<clsProtection>();
    cReg = std::make_unique<cRegSearch>();
    if (ControlSpecOf("lblOS"))
        ShowOSLabel(*this);
    if (ControlSpecOf("lblGPU"))
        SetCaption("lblGPU", GetDisplayName());
    load_ = TakeLoadTexts();
    DisableMissingWindows(*this, traits_.menu);
    LoadFilterList(*this, traits_.selectors, traits_.cleaning);
    for (const MenuRow& row : traits_.menu)
        if (row.does == Does::Preview &&
            (traits_.selectors.empty() || ListCount(traits_.selectors.front()) == 0))
            SetEnabled(row.entry.name, false);
}

void CleaningWindow::cmdClean_Click() {
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
    request.WorkingCopy = traits_.workingCopy;
    MakeRequest(request);
    CleaningRun(*this, *cReg, request);
    running_ = false;
}

void CleaningWindow::ShowPreview(const char* form) {
    if (running_ || traits_.selectors.empty() || ListCount(traits_.selectors.front()) == 0)
        return;
    Form* dialog = Forms::Load(form);
    if (!dialog)
        return;
    dialog->SetCaption("lblFilterName", Text(traits_.selectors.front()));
    dialog->ShowModal(this);
}

void CleaningWindow::mnuHelpHelp_Click() {
    OpenHelpFile(hwnd());
}

void CleaningWindow::Form_Unload() {
    if (cReg)
        cReg->StopSearch();
    DeleteLanguageCopy();
    DeleteFileA((GetWindowsDir() + "\\" + traits_.workingCopy).c_str());
}

void CleaningWindow::SetStatus(const std::string& text) {
    SetCaption(traits_.status, text);
}

void CleaningWindow::SetRunning(bool running) {
    for (const char* name : traits_.runControls)
        SetEnabled(name, !running);
}

void CleaningWindow::OfferRestart(int) {
    if (MessageBoxA(hwnd(), GetLanguageText("0035").c_str(), GetLanguageText("0036").c_str(),
                    MB_YESNO | MB_ICONQUESTION) == IDYES)
        RestartWindows();
}

void CleaningWindow::ClearDetails() {
    ClearList("lstDetail");
    ClearList("lstDetails");
}

std::vector<std::string> CleaningWindow::DetailLines() const {
    std::vector<std::string> lines;
    int n = ListCount("lstDetail");
    for (int i = 0; i < n; ++i)
        lines.push_back(List("lstDetail", i));
    return lines;
}

void CleaningWindow::Removed(const std::string& line) {
    win::AppendListLine(Control("lstDetail"), line);
}
void CleaningWindow::NotFound(const std::string& line) {
    win::AppendListLine(Control("lstDetails"), line);
}

} // namespace tw
