#pragma once
// The cleaning engine: carries out one filter, entry by entry, against the file system
// and the registry. One engine serves the Normal, Advanced and wizard windows; what
// differs between them is data in the RunContext.
#include "core/Text.h"

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>

namespace tw {

class cRegSearch;

// Where the per-item lines of a run go: the Normal and Advanced windows append them to
// their green (removed) and red (not found) lists; tests record them.
class ReportSink {
  public:
    virtual ~ReportSink() = default;
    virtual void Removed(const std::string& line) = 0;  // lstDetail (logged)
    virtual void NotFound(const std::string& line) = 0; // lstDetails
};

// The four settings as read from [PROGRAM] at the start of a run ("?" when missing).
struct RunSettings {
    std::string BackupFiles = "?";
    std::string BackupDir = "?";
    std::string BackupReg = "?";
    std::string LogFile = "?";

    static bool On(const std::string& value) { return value == "Yes"; }
    bool AnyOn() const { return On(BackupFiles) || On(BackupDir) || On(BackupReg) || On(LogFile); }
    bool AnyBackupOn() const { return On(BackupFiles) || On(BackupDir) || On(BackupReg); }
};

// Everything one filter pass needs from the window that runs it.
struct RunContext {
    std::string ProgramFolder;    // holds <filter>.twf, <filter>.twr, Backup\ and Log\ .
    std::string FilterName;       // display name of the filter being carried out
    std::string RunName;          // load date + "_" + load stamp of the window
    std::string WorkingCopy;      // full path of the unpacked filter (cdtwf.dll / cddwf.dll)
    RunSettings Settings;         // as read at the start of the run
    int ExportCounter = 0;        // registry exports of this pass; "0" at its start
    bool MakeBackups = true;      // the wizard never backs anything up
    bool MakeReports = true;      // the wizard shows no per-item lines
    bool RecordSearchHits = true; // Advanced: only for filter slots 1 to 4
    ReportSink* Sink = nullptr;   // per-item lines; nullptr: none
    TextLookup Text = nullptr;    // language lookup; nullptr: tw::LookupText
};

class CleaningEngine {
  public:
    // `search` is the window's search object; the engine receives its hits.
    CleaningEngine(RunContext& context, cRegSearch& search);
    CleaningEngine(const CleaningEngine&) = delete;
    CleaningEngine& operator=(const CleaningEngine&) = delete;
    ~CleaningEngine();

    // The whole filter pass: unpack <filter>.twf to the working copy, ProcessFilter,
    // DeleteFoundKeys on <filter>.twr, delete the working copy. Each step runs whatever
    // the one before did.
    void RunFilterPass();

    void ProcessFilter(const std::string& path);
    void DeleteFoundKeys(const std::string& path);

    void CleanFile(const std::string& entry);
    void CleanSystemFile(const std::string& entry);
    void CleanDirectory(const std::string& entry);

    void DeleteRegistryKey(const std::string& entry);
    void DeleteRegistryValue(const std::string& entry);
    void StartRegistrySearch(const std::string& entry);

    // The search-hit handler: appends the found key to <filter>.twr.
    void cReg_SearchFound(const std::string& sRootKey, const std::string& sKey,
                          const std::string& sValue);

    RunContext& Context() { return ctx_; }

  private:
    std::string Text(std::string_view id) const;

    RunContext& ctx_;
    cRegSearch& search_;
};

} // namespace tw
