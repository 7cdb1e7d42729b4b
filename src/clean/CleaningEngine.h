#pragma once
// The cleaning engine: carries out one filter, entry by entry, against the file system
// and the registry. One engine serves the Normal, Advanced and wizard windows; what
// differs between them is data in the RunContext.
#include "clean/DriverPackages.h"
#include "clean/rules/FileRules.h"
#include "clean/rules/FilterText.h"
#include "core/Text.h"
#include "registry/rules/RegistryRules.h"

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

// What becomes of what the engine finds. The engine decides what each entry matches and
// whether it may go; the sink acts on it: a clean backs the item up, lists it and deletes
// it, a preview records it and changes nothing.
class ItemSink {
  public:
    virtual ~ItemSink() = default;
    // Called before the engine handles an entry of the filter; for search entries, which
    // share one walk, before the hits of each (in filter order).
    virtual void Entry(FilterSection /*section*/, const std::string& /*entry*/) {}
    // Consecutive search entries whose walk is about to start.
    virtual void Searching(const std::vector<std::string>& /*entries*/) {}
    // A [FILES] or [SYSTEMFILES] entry whose full path (it may hold wildcards) matches
    // at least one file below `baseFolder`; `kind` is the backup kind ("1" or "2").
    virtual void Files(const std::string& entry, const std::string& fullPath,
                       const std::string& baseFolder, const char* kind) = 0;
    // A [DIRECTORY] entry that names a folder (every folder its wildcards match).
    virtual void Directory(const std::string& fullPath) = 0;
    // A file or directory entry that matches nothing.
    virtual void Missing(bool directory, const std::string& fullPath) = 0;
    // Something found that no filter may remove: a full path or a key entry.
    virtual void Refused(const std::string& what) = 0;
    // A key entry (or a found key) that may go, below a root handle that may be 0.
    virtual void Key(HKEY root, const KeyEntry& key, const std::string& entry) = 0;
    virtual void Value(HKEY root, const ValueEntry& value) = 0;
    // A search hit as its found-keys line: root name, "\", the key after the cut.
    virtual void SearchHit(const std::string& line) = 0;
    // A driver package that a [DRIVERPACKAGES] entry matches, and an entry that matches
    // no package of this system.
    virtual void Package(const DriverPackage& package) = 0;
    virtual void NoPackage(const std::string& entry) = 0;
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
    ItemSink* Items = nullptr;    // what is found; nullptr: the clean (backup, list, delete)
    const bool* Stop = nullptr;   // once true, no further entry is started
    TextLookup Text = nullptr;    // language lookup; nullptr: tw::LookupText

    // The files (and folders) of this pass left to the next restart, in that order.
    std::vector<std::string> Scheduled;
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
    // The two halves of a pass on texts in memory: the unpacked filter, and the lines of
    // a found-keys file, each handed to DeleteRegistryKey.
    void ProcessFilterText(std::string_view text);
    void ReplayFoundKeys(std::string_view text);

    // [FILES], [SYSTEMFILES], [DIRECTORY] entries. A found item is refused ("0030") when
    // it is a protected folder, lies above or inside one or climbs out of its base with
    // "..", or is a wildcard-only name directly in the Windows or system folder; it is
    // kept ("0031") when its backup was asked for and did not produce its copy. Else it
    // is backed up, listed ("0015"/"0017") and deleted; a file in use is listed by its own
    // path ("0033") and left to the next restart, and so is the folder of a directory entry
    // that holds it. Not found: "0016"/"0018". What an earlier run left to the restart for
    // what an entry names is taken out first (and scheduled again when still in use).
    void CleanFile(const std::string& entry);
    void CleanSystemFile(const std::string& entry);
    void CleanDirectory(const std::string& entry);

    void DeleteRegistryKey(const std::string& entry);
    void DeleteRegistryValue(const std::string& entry);
    void StartRegistrySearch(const std::string& entry);
    // Consecutive search entries: one walk of each root for all of them, the hits handed
    // to cReg_SearchFound entry by entry, as StartRegistrySearch on each in turn would.
    void StartRegistrySearches(const std::vector<std::string>& entries);

    // [DRIVERPACKAGES] entries: each package of this system that the entry matches is
    // backed up (its files as file entries) when BackupFiles asks for it, each of its
    // files listed ("0015") and the package removed; kept ("0031") when a backup did not
    // produce its copy. No package: "2131" in the not-found list.
    void CleanDriverPackages(const std::string& entry);

    // The search-hit handler: appends the found key to <filter>.twr.
    void cReg_SearchFound(const std::string& sRootKey, const std::string& sKey,
                          const std::string& sValue);

    RunContext& Context() { return ctx_; }

  private:
    // Forwards the search object's hits to cReg_SearchFound.
    class SearchEvents;
    // The clean's sink: backup, report line, deletion.
    class CleanItems;
    static std::unique_ptr<ItemSink> MakeCleanItems(CleaningEngine& engine);

    ItemSink& Items() { return ctx_.Items ? *ctx_.Items : *clean_; }
    // The search entries of the walk under way: the sink hears of each before its hits.
    struct SearchRound {
        std::vector<std::pair<std::string, bool>> Entries; // entry, whether it is searched
        size_t Next = 0;                                   // the entry whose hits come next
        bool Announced = false;                            // Next told to the sink
    };
    void AnnounceSearchJob();
    void SearchJobFinished();

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
    // The clean's handling of one matching package.
    void CleanPackage(const DriverPackage& package);

    RunContext& ctx_;
    cRegSearch& search_;
    std::unique_ptr<SearchEvents> events_;
    std::unique_ptr<ItemSink> clean_;
    SearchRound round_;
    ProtectedFolders protected_;
    std::string protectedFor_;
    bool protectedReady_ = false;
};

} // namespace tw
