// The clean-up dialogs frmClearB (file and directory backup runs), frmClearR (registry
// backup runs) and frmClearL (log files): one design, three rows of data. Each lists
// what it can delete, and deletes the selected entries at once, without asking.
#include "app/Captions.h"
#include "app/forms/Forms.h"
#include "app/modFont.h"
#include "backup/Restore.h"
#include "backup/forms/BackupForms.h"
#include "win/Files.h"
#include "win/ProgramFolder.h"

#include <array>
#include <memory>
#include <string>
#include <vector>

namespace tw {

namespace {

enum class Holds { Backups, RegBackups, Logs };

struct ClearRow {
    Holds holds;
    const char* form;
    const char* captionId;
    const char* caption;
    const char* frame;
    const char* frameId;
    const char* frameCaption;
    const char* list;
    const char* label;
    const char* labelId;
    const char* labelCaption;
};

constexpr const char* kBackupInfo = "Select the backup directory(s) and press delete. It will "
                                    "delete the backup directory(s) and everything in it !";

constexpr ClearRow kRows[] = {
    {Holds::Backups, "frmClearB", "1029", "Tracewipe File / Directory Backup", "fraBackupCleanOpt",
     "1030", "File / Directory Backup Options", "lstBackup", "lblBackupClearInfo", "1034",
     kBackupInfo},
    {Holds::RegBackups, "frmClearR", "1038", "Tracewipe Registry Backup", "fraRegBackupCleanOpt",
     "1039", "Registry Backup Options", "lstRegBackup", "lblGegBackupClearInfo", "1034",
     kBackupInfo},
    {Holds::Logs, "frmClearL", "1035", "Tracewipe Log Cleaner", "fraLogCleanOpt", "1036",
     "Cleaning Options", "lstLog", "lblBackupClearInfo", "1037",
     "Select the log file(s) and press delete !"},
};

using ClearControls = std::array<ControlSpec, 7>;

constexpr ClearControls MakeControls(const ClearRow& r) {
    return {{
        {r.frame, Kind::Frame, 120, 60, 5760, 3675, r.frameId, r.frameCaption},
        {r.list, Kind::ListBox, 240, 330, 5520, 2160, nullptr, "", Colour::None, kMultiSelect},
        {r.label, Kind::Label, 240, 2580, 5520, 630, r.labelId, r.labelCaption},
        {"cmdSelectAll", Kind::Button, 240, 3240, 1335, 375, "1033", "Select All"},
        {"cmdSelectNon", Kind::Button, 1680, 3240, 1335, 375, "1032", "Select Non"},
        {"cmdDelete", Kind::Button, 4425, 3240, 1335, 375, "1031", "Delete"},
        {"cmdClose", Kind::Button, 4545, 3855, 1335, 375, "1001", "Close", Colour::None, kDefault},
    }};
}

constexpr ClearControls kControls[] = {MakeControls(kRows[0]), MakeControls(kRows[1]),
                                       MakeControls(kRows[2])};

FormSpec MakeLayout(const ClearRow& r, const ClearControls& controls) {
    return {r.form, r.caption, 6000, 4350, controls, {}, Border::Dialog, r.captionId};
}

const FormSpec kLayouts[] = {MakeLayout(kRows[0], kControls[0]), MakeLayout(kRows[1], kControls[1]),
                             MakeLayout(kRows[2], kControls[2])};

const char* const kSelectionControls[] = {"cmdDelete", "cmdSelectAll", "cmdSelectNon"};

class ClearDialog : public Form {
  public:
    ClearDialog(const ClearRow& row, const FormSpec& layout) : Form(layout), row_(row) {
        On("cmdSelectAll_Click", [this] { SelectAll(row_.list, true); });
        On("cmdSelectNon_Click", [this] { SelectAll(row_.list, false); });
        On("cmdDelete_Click", [this] { cmdDelete_Click(); });
        On("cmdClose_Click", [this] { Unload(); });
    }

  protected:
    void Form_Load() override {
        SetCaptions(*this);
        ApplyFont(*this);
        Fill();
    }

  private:
    std::vector<std::string> Entries() const {
        switch (row_.holds) {
        case Holds::Backups:
            return ListRuns(ProgramFolder(), {BackupKind::File, BackupKind::Dir});
        case Holds::RegBackups:
            return ListRuns(ProgramFolder(), {BackupKind::Reg});
        case Holds::Logs:
            return ListLogs(ProgramFolder());
        }
        return {};
    }

    // The list afresh, its first entry current; without entries only Close stays usable.
    void Fill() {
        ClearList(row_.list);
        for (const std::string& entry : Entries())
            AddItem(row_.list, entry);
        const bool any = ListCount(row_.list) > 0;
        if (any)
            SetListIndex(row_.list, 0);
        SetEnabled(row_.list, any);
        for (const char* name : kSelectionControls)
            SetEnabled(name, any);
    }

    void cmdDelete_Click() {
        SetEnabled("cmdClose", false);
        SetEnabled(row_.list, false);
        for (const char* name : kSelectionControls)
            SetEnabled(name, false);
        const std::string program = ProgramFolder();
        for (int i = 0; i < ListCount(row_.list); ++i) {
            if (!Selected(row_.list, i))
                continue;
            if (row_.holds == Holds::Logs)
                DeleteFileA((program + "\\Log\\" + List(row_.list, i) + ".log").c_str());
            else
                DeleteDirIfExists(program + "\\Backup\\" + List(row_.list, i));
        }
        Fill();
        SetEnabled("cmdClose", true);
    }

    const ClearRow& row_;
};

} // namespace

void RegisterClearForms() {
    for (size_t i = 0; i < std::size(kRows); ++i)
        Forms::Register(kRows[i].form,
                        [i] { return std::make_unique<ClearDialog>(kRows[i], kLayouts[i]); });
}

} // namespace tw
