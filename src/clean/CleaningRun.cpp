#include "clean/CleaningRun.h"

#include "app/INI.h"
#include "app/modLanguage.h"
#include "backup/FileBackup.h"
#include "core/Text.h"
#include "core/TextFile.h"
#include "win/Files.h"
#include "win/SystemFolders.h"

namespace tw {

namespace {

// Forwards the engine's lines to the window while it exists and keeps the removed lines
// for the log, so a window closed during the run loses nothing of the record.
class RunSink : public ReportSink {
  public:
    explicit RunSink(RunWindow& window) : window_(window) {}
    void Removed(const std::string& line) override {
        removed_.push_back(line);
        if (window_.Alive())
            window_.Details().Removed(line);
    }
    void NotFound(const std::string& line) override {
        if (window_.Alive())
            window_.Details().NotFound(line);
    }
    const std::vector<std::string>& RemovedLines() const { return removed_; }

  private:
    RunWindow& window_;
    std::vector<std::string> removed_;
};

RunSettings ReadRunSettings() {
    RunSettings s;
    s.BackupFiles = ReadINI(kIniFile, "PROGRAM", "BackupFiles", "?");
    s.BackupDir = ReadINI(kIniFile, "PROGRAM", "BackupDir", "?");
    s.BackupReg = ReadINI(kIniFile, "PROGRAM", "BackupReg", "?");
    s.LogFile = ReadINI(kIniFile, "PROGRAM", "LogFile", "?");
    return s;
}

void WriteLog(RunWindow& window, const RunRequest& request, const RunSink& sink) {
    std::vector<std::string> block{LogHeader(request.Load)};
    std::string path;
    if (request.Advanced) {
        path = AdvancedLogPath(request.ProgramFolder, request.Load.RunName());
        if (window.Alive()) {
            for (std::string& line : window.LogSlotLines())
                block.push_back(std::move(line));
        }
    } else {
        std::string filter = request.Filters.empty() ? std::string() : request.Filters[0].Name;
        path = NormalLogPath(request.ProgramFolder, request.Load.RunName(), filter);
    }
    // lstDetail as it stands; the run's own record when the window is gone.
    std::vector<std::string> details = window.Alive() ? window.DetailLines() : sink.RemovedLines();
    block.insert(block.end(), details.begin(), details.end());
    AppendTextLines(path.c_str(), block); // a log that cannot be written is skipped
}

} // namespace

LoadTexts TakeLoadTexts() {
    SYSTEMTIME t;
    GetLocalTime(&t);
    char sep[8] = ":";
    if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STIME, sep, sizeof sep) <= 0)
        lstrcpyA(sep, ":");
    return MakeLoadTexts(t.wDay, t.wMonth, t.wYear, t.wHour, t.wMinute, t.wSecond, sep);
}

std::vector<std::string> CleaningRun(RunWindow& window, cRegSearch& search,
                                     const RunRequest& request) {
    const RunSettings settings = request.ReadSettings ? ReadRunSettings() : RunSettings{};
    const std::string runName = request.Load.RunName();
    window.SetStatus(LookupText("0011"));
    window.SetRunning(true);
    if (request.MakeReports)
        window.ClearDetails();

    RunSink sink(window);
    std::vector<std::string> scheduled;
    for (const RunFilter& filter : request.Filters) {
        RunContext ctx;
        ctx.ProgramFolder = request.ProgramFolder;
        ctx.FilterName = filter.Name;
        ctx.RunName = runName;
        ctx.WorkingCopy = GetWindowsDir() + "\\" + request.WorkingCopy;
        ctx.Settings = settings;
        ctx.ExportCounter = 0;
        ctx.MakeBackups = request.ReadSettings;
        ctx.MakeReports = request.MakeReports;
        ctx.RecordSearchHits = filter.Slot >= 0 && filter.Slot <= 4;
        ctx.Sink = request.MakeReports ? &sink : nullptr;
        try {
            if (settings.AnyOn())
                PrepareBackupFolders(request.ProgramFolder, runName, filter.Name,
                                     settings.BackupFiles, settings.BackupDir, settings.BackupReg,
                                     settings.LogFile);
        } catch (...) {
            // a folder that cannot be made leaves the run going without it
        }
        if (request.Advanced && window.Alive())
            window.SetStatusFile(LookupText("0012") + " " + filter.Name + " " + LookupText("0013"));
        try {
            CleaningEngine engine(ctx, search);
            engine.RunFilterPass();
        } catch (...) {
            // the pass ignores its own errors; nothing may stop the run here either
        }
        scheduled.insert(scheduled.end(), ctx.Scheduled.begin(), ctx.Scheduled.end());
    }
    if (!scheduled.empty() && request.MakeReports)
        sink.Removed(LookupText("0034") + " " + std::to_string(scheduled.size()));

    try {
        if (settings.AnyBackupOn())
            RemoveEmptyDirs(request.ProgramFolder + "\\Backup\\");
    } catch (...) {
    }
    if (window.Alive()) {
        window.SetStatus(LookupText(request.EndStatus));
        if (request.Advanced)
            window.SetStatusFile("");
    }
    try {
        if (RunSettings::On(settings.LogFile))
            WriteLog(window, request, sink);
    } catch (...) {
    }
    if (window.Alive()) {
        window.SetRunning(false);
        if (!scheduled.empty())
            window.OfferRestart(static_cast<int>(scheduled.size()));
    } else {
        // The window was closed during the run and deleted the language copy as it
        // unloaded; the lines of the rest of the run looked their texts up again.
        DeleteLanguageCopy();
    }
    return scheduled;
}

} // namespace tw
