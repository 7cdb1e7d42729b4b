#pragma once
// The cleaning run of the Normal and Advanced windows: settings, backup folders, one
// filter pass per chosen filter, pruning, status and log. The window supplies its
// controls through RunWindow; the run never touches a window that has been unloaded
// while the run yielded (inside a registry search or an export).
#include "clean/CleaningEngine.h"
#include "clean/rules/RunLog.h"

#include <string>
#include <vector>

namespace tw {

class cRegSearch;

class RunWindow {
  public:
    virtual ~RunWindow() = default;
    // False once the window has been unloaded; the run then leaves its controls alone.
    virtual bool Alive() const = 0;
    virtual void SetStatus(const std::string& text) = 0;
    // Disables (running) or enables cmdClean, cmdClose, mnuFileClean, mnuFileExit and
    // mnuToolsCab, in that order.
    virtual void SetRunning(bool running) = 0;
    // Clears lstDetail, then lstDetails.
    virtual void ClearDetails() = 0;
    // The lines of lstDetail, for the log.
    virtual std::vector<std::string> DetailLines() const = 0;
    // Appends to lstDetail / lstDetails.
    virtual ReportSink& Details() = 0;
    // The Advanced window's four slot lines of the log ("- " and the ticked filter).
    virtual std::vector<std::string> LogSlotLines() const { return {}; }
    // The Advanced window's lblStatusFile: the filter being carried out, "" after the run.
    virtual void SetStatusFile(const std::string&) {}
    // Some files are in use and go at the next restart: the window may offer to restart now.
    virtual void OfferRestart(int /*scheduled*/) {}
};

// One filter of a run: its name, and for the Advanced window its slot number.
struct RunFilter {
    std::string Name;
    int Slot = 0; // 0: the Normal window's single filter
};

struct RunRequest {
    std::string ProgramFolder;
    LoadTexts Load;
    std::string WorkingCopy = "cdtwf.dll"; // the unpacked filter, in the Windows folder
    std::vector<RunFilter> Filters;        // in the order they are carried out
    bool Advanced = false; // lblStatusFile, the Advanced log name and its four slot lines
    // The wizard's run reads no settings, so it prepares no folders, makes no backups,
    // prunes nothing and writes no log; it makes no per-item lines and ends on its own text.
    bool ReadSettings = true;
    bool MakeReports = true;
    const char* EndStatus = "0014";
};

// The load date, time and stamp of now, with the system's time separator.
LoadTexts TakeLoadTexts();

// Steps 2 to 13 of a run (the confirmation is the window's). Ignores every error. When
// files in use were left to the next restart, their total ends lstDetail and the window
// is asked to offer a restart. Returns their paths (and those of the folders holding them).
std::vector<std::string> CleaningRun(RunWindow& window, cRegSearch& search,
                                     const RunRequest& request);

} // namespace tw
