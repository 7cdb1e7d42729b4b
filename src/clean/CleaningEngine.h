#pragma once
// The cleaning engine: carries out one filter, entry by entry, against the file system
// and the registry. One engine serves the Normal, Advanced and wizard windows; what
// differs between them is data in the RunContext.
#include "clean/rules/FileRules.h"
#include "core/Text.h"

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

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
    // the one before did; no error leaves it. A working copy left by an earlier pass is
    // deleted before unpacking, so a filter that cannot be unpacked removes nothing.
    void RunFilterPass();

    void ProcessFilter(const std::string& path);
    void DeleteFoundKeys(const std::string& path);

    // [FILES], [SYSTEMFILES], [DIRECTORY] entries. A found item is refused ("0030") when
    // it is a protected folder, lies above or inside one or climbs out of its base with
    // "..", or is a wildcard-only name directly in the Windows or system folder; it is
    // kept ("0031") when its backup was asked for and did not produce its copy. Else it
    // is backed up, listed ("0015"/"0017") and deleted. Not found: "0016"/"0018".
    void CleanFile(const std::string& entry);
    void CleanSystemFile(const std::string& entry);
    void CleanDirectory(const std::string& entry);

    void DeleteRegistryKey(const std::string& entry);
    void DeleteRegistryValue(const std::string& entry);
    void StartRegistrySearch(const std::string& entry);
    // Consecutive search entries: one walk of each root for all of them, the hits handed
    // to cReg_SearchFound entry by entry, as StartRegistrySearch on each in turn would.
    void StartRegistrySearches(const std::vector<std::string>& entries);

    // The search-hit handler: appends the found key to <filter>.twr.
    void cReg_SearchFound(const std::string& sRootKey, const std::string& sKey,
                          const std::string& sValue);

    RunContext& Context() { return ctx_; }

  private:
    // Forwards the search object's hits to cReg_SearchFound.
    class SearchEvents;

    std::string Text(std::string_view id) const;
    // Appends a detail line (text of `id`, the path) to the removed or the not-found
    // list, when this run makes report lines.
    void Report(bool removed, std::string_view id, const std::string& fullPath);
    // CleanFile and CleanSystemFile below `baseFolder`, with backup kind "1" or "2".
    void CleanFileBelow(const std::string& entry, const std::string& baseFolder, const char* kind);
    // The folders no entry may remove, resolved to their long names; refreshed when the
    // program folder of the context changes.
    const ProtectedFolders& Protected();
    bool RefuseFile(const std::string& entry, const std::string& fullPath);
    bool RefuseDirectory(const std::string& rest, const std::string& fullPath);

    RunContext& ctx_;
    cRegSearch& search_;
    std::unique_ptr<SearchEvents> events_;
    ProtectedFolders protected_;
    std::string protectedFor_;
    bool protectedReady_ = false;
};

} // namespace tw
