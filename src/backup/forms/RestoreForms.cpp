// The restore dialogs: frmRestore (a file side on .dfb indexes and a directory side on
// .ddb indexes) and frmRegRest (one side on .drb indexes). Every side has a run selector,
// the visible list of the chosen run's index lines, a hidden twin of that list, and
// Select All, Select Non and Restore.
#include "app/Captions.h"
#include "app/forms/Forms.h"
#include "app/forms/modAddScroll.h"
#include "app/modFont.h"
#include "backup/Restore.h"
#include "backup/forms/BackupForms.h"
#include "win/ProgramFolder.h"

#include <memory>
#include <span>
#include <string>
#include <vector>

namespace tw {

namespace {

struct Side {
    BackupKind kind;
    const char* combo;
    const char* list;
    const char* twin; // hidden: the lines of the index, then the lines that stay
    const char* selectAll;
    const char* selectNon;
    const char* restore;
};

constexpr unsigned kList = kMultiSelect;
constexpr unsigned kTwin = kHidden;

// ---- frmRestore -----------------------------------------------------------------------

const ControlSpec kRestoreControls[] = {
    {"cboResFile", Kind::ComboBox, 120, 120, 4560, 315},
    {"lstResFile", Kind::ListBox, 120, 540, 4560, 2115, nullptr, "", Colour::None, kList},
    {"lstResFile2", Kind::ListBox, 0, 0, 0, 0, nullptr, "", Colour::None, kTwin},
    {"lblFileResInfo", Kind::Label, 120, 2760, 4560, 630, "1065",
     "Select the file(s) and press restore. It will restore the file(s) to the right place !"},
    {"fraFileRestoreOpt", Kind::Frame, 120, 3480, 4560, 780, "1063", "File Restore Options"},
    {"cmdFSelectAll", Kind::Button, 240, 3750, 1230, 375, "1033", "Select All"},
    {"cmdFSelectNon", Kind::Button, 1590, 3750, 1230, 375, "1032", "Select Non"},
    {"cmdFRestore", Kind::Button, 2940, 3750, 1620, 375, "1059", "Restore"},
    {"cboResDir", Kind::ComboBox, 4920, 120, 4560, 315},
    {"lstResDir", Kind::ListBox, 4920, 540, 4560, 2115, nullptr, "", Colour::None, kList},
    {"lstResDir2", Kind::ListBox, 0, 0, 0, 0, nullptr, "", Colour::None, kTwin},
    {"lblDirResInfo", Kind::Label, 4920, 2760, 4560, 630, "1064",
     "Select the directory(s) and press restore. It will restore the directory(s) and "
     "everything in it to the right place !"},
    {"fraDirRestoreOpt", Kind::Frame, 4920, 3480, 4560, 780, "1062", "Directory Restore Options"},
    {"cmdDSelectAll", Kind::Button, 5040, 3750, 1230, 375, "1033", "Select All"},
    {"cmdDSelectNon", Kind::Button, 6390, 3750, 1230, 375, "1032", "Select Non"},
    {"cmdDRestore", Kind::Button, 7740, 3750, 1620, 375, "1059", "Restore"},
    {"cmdClose", Kind::Button, 8145, 4395, 1335, 375, "1001", "Close", Colour::None, kDefault},
};

const FormSpec kfrmRestore{"frmRestore",
                           "Tracewipe File / Directory Restore",
                           9600,
                           4890,
                           kRestoreControls,
                           {},
                           Border::Dialog,
                           "1061"};

const Side kRestoreSides[] = {
    {BackupKind::File, "cboResFile", "lstResFile", "lstResFile2", "cmdFSelectAll", "cmdFSelectNon",
     "cmdFRestore"},
    {BackupKind::Dir, "cboResDir", "lstResDir", "lstResDir2", "cmdDSelectAll", "cmdDSelectNon",
     "cmdDRestore"},
};

// ---- frmRegRest -----------------------------------------------------------------------

const ControlSpec kRegRestControls[] = {
    {"cboResReg", Kind::ComboBox, 120, 120, 5760, 315},
    {"lstResReg", Kind::ListBox, 120, 540, 5760, 2115, nullptr, "", Colour::None, kList},
    {"LstResReg2", Kind::ListBox, 0, 0, 0, 0, nullptr, "", Colour::None, kTwin},
    {"lblRegResInfo", Kind::Label, 120, 2760, 5760, 630, "1060",
     "Select the registry(s) and press restore. It will restore the registry(s) !"},
    {"fraRegRestoreOpt", Kind::Frame, 120, 3480, 5760, 780, "1058", "Registry Restore Options"},
    {"cmdRSelectAll", Kind::Button, 240, 3750, 1230, 375, "1033", "Select All"},
    {"cmdRSelectNon", Kind::Button, 1590, 3750, 1230, 375, "1032", "Select Non"},
    {"cmdRRestore", Kind::Button, 4140, 3750, 1620, 375, "1059", "Restore"},
    {"cmdClose", Kind::Button, 4545, 4395, 1335, 375, "1001", "Close", Colour::None, kDefault},
};

const FormSpec kfrmRegRest{
    "frmRegRest", "Tracewipe Registry Restore", 6000, 4890, kRegRestControls, {}, Border::Dialog,
    "1057"};

const Side kRegRestSides[] = {
    {BackupKind::Reg, "cboResReg", "lstResReg", "LstResReg2", "cmdRSelectAll", "cmdRSelectNon",
     "cmdRRestore"},
};

// One restore dialog: its sides work alike and apart, except that a restore on one side
// disables the controls of every side while it runs. The runs and index lines a side
// shows are kept here as they were loaded; the lists only show them.
class RestoreDialog : public Form {
  public:
    RestoreDialog(const FormSpec& layout, std::span<const Side> sides)
        : Form(layout), sides_(sides), shown_(sides.size()) {
        for (const Side& s : sides_) {
            On(std::string(s.combo) + "_Click", [this, &s] { Change(s); });
            On(std::string(s.selectAll) + "_Click", [this, &s] { Select(s, true); });
            On(std::string(s.selectNon) + "_Click", [this, &s] { Select(s, false); });
            On(std::string(s.restore) + "_Click", [this, &s] { Restore(s); });
        }
        On("cmdClose_Click", [this] {
            if (!busy_)
                Unload();
        });
    }

  protected:
    void Form_Load() override {
        SetCaptions(*this);
        ApplyFont(*this);
        for (const Side& s : sides_)
            ListBackups(s);
    }

  private:
    struct Shown {
        std::vector<std::string> runs;  // as the run selector lists them
        std::string run;                // the chosen run
        std::vector<std::string> lines; // its index lines, as the list shows them
    };

    Shown& ShownOn(const Side& s) { return shown_[static_cast<size_t>(&s - sides_.data())]; }

    // The run selector: every run of the side's kind; the first is chosen and loaded, or
    // the side is disabled when there is none.
    void ListBackups(const Side& s) {
        Shown& shown = ShownOn(s);
        ClearList(s.combo);
        shown.runs = ListRuns(ProgramFolder(), {s.kind});
        for (const std::string& run : shown.runs)
            AddItem(s.combo, run);
        if (!shown.runs.empty())
            SetListIndex(s.combo, 0); // raises the selector's change
        else
            EnableSide(s, false);
    }

    void EnableSide(const Side& s, bool enabled) {
        for (const char* name : {s.combo, s.restore, s.list, s.selectAll, s.selectNon})
            SetEnabled(name, enabled);
    }

    // The chosen run's index into the list and its twin.
    void Change(const Side& s) {
        Shown& shown = ShownOn(s);
        ClearList(s.list);
        ClearList(s.twin);
        const int chosen = ListIndex(s.combo);
        shown.run = chosen >= 0 && static_cast<size_t>(chosen) < shown.runs.size()
                        ? shown.runs[static_cast<size_t>(chosen)]
                        : std::string();
        shown.lines = shown.run.empty() ? std::vector<std::string>()
                                        : LoadIndex(ProgramFolder(), shown.run, s.kind);
        for (const std::string& line : shown.lines) {
            AddItem(s.list, line);
            AddItem(s.twin, line);
        }
        AddScroll(*this, s.list, shown.lines);
    }

    void Select(const Side& s, bool selected) { SelectAll(s.list, selected); }

    void Restore(const Side& s) {
        if (busy_)
            return;
        busy_ = true;
        SetEnabled("cmdClose", false);
        for (const Side& each : sides_)
            EnableSide(each, false);
        const Shown& shown = ShownOn(s);
        std::vector<bool> selected(shown.lines.size());
        for (size_t i = 0; i < selected.size(); ++i)
            selected[i] = Selected(s.list, static_cast<int>(i));
        // the registry tool is waited for with the message loop running
        if (!shown.run.empty())
            RestoreRun(ProgramFolder(), shown.run, s.kind, shown.lines, selected);
        busy_ = false;
        if (!Loaded())
            return; // closed meanwhile: the store is done, the window has gone
        ClearList(s.list);
        ClearList(s.twin);
        SetEnabled("cmdClose", true);
        for (const Side& each : sides_)
            EnableSide(each, ListCount(each.combo) > 0);
        ListBackups(s);
    }

    std::span<const Side> sides_;
    std::vector<Shown> shown_;
    bool busy_ = false;
};

} // namespace

void RegisterRestoreForms() {
    Forms::Register("frmRestore",
                    [] { return std::make_unique<RestoreDialog>(kfrmRestore, kRestoreSides); });
    Forms::Register("frmRegRest",
                    [] { return std::make_unique<RestoreDialog>(kfrmRegRest, kRegRestSides); });
}

void RegisterBackupForms() {
    RegisterRestoreForms();
    RegisterClearForms();
}

} // namespace tw
