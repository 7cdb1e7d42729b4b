#include "clean/CleaningEngine.h"

#include "clean/rules/FilterText.h"
#include "decode/clsProtection.h"
#include "registry/Registry.h"
#include "registry/cRegSearch.h"
#include "win/Api.h"
#include "win/FileFind.h"
#include "win/Files.h"
#include "win/SystemFolders.h"

namespace tw {

namespace {

// The path with "." and ".." resolved and every existing component in its long form
// (a short name such as PROGRA~1 cannot hide a protected folder). What does not exist
// yet, a wildcard name for one, is kept as written.
std::string LongPath(const std::string& path) {
    if (path.empty())
        return path;
    char buffer[4 * MAX_PATH];
    const DWORD n = GetFullPathNameA(path.c_str(), sizeof buffer, buffer, nullptr);
    return win::LongPathName((n > 0 && n < sizeof buffer) ? std::string(buffer, n) : path);
}

std::string WithoutTrailingSeparators(std::string path) {
    while (path.size() > 3 && (path.back() == '\\' || path.back() == '/'))
        path.pop_back();
    return path;
}

std::string ParentOf(const std::string& path) {
    size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

bool HasWildcard(const std::string& name) {
    return name.find_first_of("*?") != std::string::npos;
}

} // namespace

class CleaningEngine::SearchEvents final : public cRegSearch::Events {
  public:
    explicit SearchEvents(CleaningEngine& engine) noexcept : engine_(engine) {}
    void SearchFound(const std::string& sRootKey, const std::string& sKey,
                     const std::string& sValue) override;
    void SearchFinished(long) override { engine_.SearchJobFinished(); }

  private:
    CleaningEngine& engine_;
};

CleaningEngine::CleaningEngine(RunContext& context, cRegSearch& search)
    : ctx_(context), search_(search), events_(std::make_unique<SearchEvents>(*this)),
      clean_(MakeCleanItems(*this)) {
    search_.SetEvents(events_.get());
}

CleaningEngine::~CleaningEngine() {
    search_.SetEvents(nullptr);
}

void CleaningEngine::SearchEvents::SearchFound(const std::string& sRootKey, const std::string& sKey,
                                               const std::string& sValue) {
    try {
        engine_.cReg_SearchFound(sRootKey, sKey, sValue);
    } catch (...) {
        // a hit that cannot be recorded is skipped; the search goes on
    }
}

std::string CleaningEngine::Text(std::string_view id) const {
    return ctx_.Text ? ctx_.Text(id) : LookupText(id);
}

void CleaningEngine::Report(bool removed, std::string_view id, const std::string& fullPath) {
    if (!ctx_.MakeReports || !ctx_.Sink)
        return;
    std::string line = DetailLine(Text(id), fullPath);
    if (removed)
        ctx_.Sink->Removed(line);
    else
        ctx_.Sink->NotFound(line);
}

void CleaningEngine::RunFilterPass() {
    const std::string filter = ctx_.ProgramFolder + "\\" + ctx_.FilterName;
    if (!ctx_.WorkingCopy.empty())
        DeleteFileA(ctx_.WorkingCopy.c_str());
    try {
        clsProtection protection;
        protection.DecodeFile(filter + ".twf", ctx_.WorkingCopy);
    } catch (...) {
        // a filter that cannot be unpacked leaves no working copy: an empty pass
    }
    try {
        ProcessFilter(ctx_.WorkingCopy);
    } catch (...) {
    }
    try {
        DeleteFoundKeys(filter + ".twr");
    } catch (...) {
    }
    if (!ctx_.WorkingCopy.empty())
        DeleteFileA(ctx_.WorkingCopy.c_str());
}

void CleaningEngine::ProcessFilter(const std::string& path) {
    if (path.empty())
        return;
    ProcessFilterText(ReadTextFile(path));
}

void CleaningEngine::ProcessFilterText(std::string_view text) {
    const auto stopped = [this] { return ctx_.Stop && *ctx_.Stop; };
    // Search entries wait for the next entry of another section (or the end), so that
    // a run of them shares one walk of the registry; nothing changes it between them.
    std::vector<std::string> searches;
    auto runSearches = [&] {
        try {
            if (!stopped())
                StartRegistrySearches(searches);
        } catch (...) {
        }
        searches.clear();
    };
    ForEachFilterEntry(text, [&](FilterSection section, std::string_view line) {
        if (section == FilterSection::RegistrySearch) {
            searches.emplace_back(line);
            return;
        }
        if (!searches.empty())
            runSearches();
        if (stopped())
            return;
        const std::string entry(line);
        try {
            Items().Entry(section, entry);
            switch (section) {
            case FilterSection::Files:
                CleanFile(entry);
                break;
            case FilterSection::SystemFiles:
                CleanSystemFile(entry);
                break;
            case FilterSection::Directory:
                CleanDirectory(entry);
                break;
            case FilterSection::RegistrySection:
                DeleteRegistryKey(entry);
                break;
            case FilterSection::RegistryValue:
                DeleteRegistryValue(entry);
                break;
            case FilterSection::RegistrySearch:
                break; // gathered above
            }
        } catch (...) {
            // an entry whose handling fails does not stop the filter
        }
    });
    if (!searches.empty())
        runSearches();
}

void CleaningEngine::DeleteFoundKeys(const std::string& path) {
    ReplayFoundKeys(ReadTextFile(path));
    DeleteFileA(path.c_str());
}

void CleaningEngine::ReplayFoundKeys(std::string_view text) {
    for (std::string_view line : SplitCrLf(text)) {
        try {
            DeleteRegistryKey(std::string(line));
        } catch (...) {
        }
    }
}

const ProtectedFolders& CleaningEngine::Protected() {
    if (!protectedReady_ || protectedFor_ != ctx_.ProgramFolder) {
        protected_.Windows = LongPath(GetWindowsDir());
        protected_.System = LongPath(GetSystemDir());
        protected_.ProgramFiles = LongPath(GetProgramFilesDir());
        protected_.Temp = LongPath(GetTempDir());
        protected_.Profiles = LongPath(GetProfilesDir());
        protected_.Program = LongPath(ctx_.ProgramFolder);
        protectedFor_ = ctx_.ProgramFolder;
        protectedReady_ = true;
    }
    return protected_;
}

bool CleaningEngine::RefuseFile(const std::string& entry, const std::string& fullPath) {
    const ProtectedFolders& folders = Protected();
    return LeavesBase(entry) || IsProtectedFilePattern(fullPath, folders) ||
           IsProtectedFilePattern(LongPath(fullPath), folders);
}

bool CleaningEngine::RefuseDirectory(const std::string& rest, const std::string& fullPath) {
    const ProtectedFolders& folders = Protected();
    if (LeavesBase(rest) || IsProtectedDirectory(fullPath, folders) ||
        IsProtectedDirectory(LongPath(fullPath), folders))
        return true;
    // A wildcard name: every folder it matches must be one that may go.
    const std::string path = WithoutTrailingSeparators(fullPath);
    if (!HasWildcard(path.substr(path.find_last_of("\\/") + 1)))
        return false;
    const std::string parent = LongPath(ParentOf(path));
    for (const auto& found : win::ListDirectory(path, win::kListAll)) {
        if (found.Name == "." || found.Name == "..")
            continue;
        std::string match = parent;
        if (!match.empty() && match.back() != '\\')
            match += '\\';
        if (IsProtectedDirectory(match + found.Name, folders))
            return true;
    }
    return false;
}

void CleaningEngine::CleanFileBelow(const std::string& entry, const std::string& baseFolder,
                                    const char* kind) {
    const std::string fullPath = baseFolder + entry;
    if (!FileFound(fullPath)) {
        Items().Missing(false, fullPath);
        return;
    }
    if (RefuseFile(entry, fullPath)) {
        Items().Refused(fullPath);
        return;
    }
    Items().Files(entry, fullPath, baseFolder, kind);
}

void CleaningEngine::CleanFile(const std::string& entry) {
    CleanFileBelow(entry, GetWindowsDir(), "1");
}

void CleaningEngine::CleanSystemFile(const std::string& entry) {
    CleanFileBelow(entry, GetSystemDir(), "2");
}

void CleaningEngine::CleanDirectory(const std::string& entry) {
    const bool belowProgramFiles =
        std::string_view(entry).substr(0, kProgramFilesPrefix.size()) == kProgramFilesPrefix;
    // The registry is asked only when the entry uses the Program Files folder.
    const std::string fullPath = DirectoryFullPath(
        entry, GetWindowsDir(), belowProgramFiles ? GetProgramFilesDir() : std::string());
    if (!DirFound(fullPath)) {
        Items().Missing(true, fullPath);
        return;
    }
    const std::string rest = belowProgramFiles ? entry.substr(kProgramFilesPrefix.size()) : entry;
    if (RefuseDirectory(rest, fullPath)) {
        Items().Refused(fullPath);
        return;
    }
    Items().Directory(fullPath);
}

} // namespace tw
