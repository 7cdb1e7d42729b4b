#include "backup/Restore.h"

#include "backup/rules/FileBackupRules.h"
#include "backup/rules/RestoreRules.h"
#include "core/Paths.h"
#include "core/TextFile.h"
#include "win/Api.h"
#include "win/Copy.h"
#include "win/FileFind.h"
#include "win/Files.h"
#include "win/Handle.h"
#include "win/PendingDelete.h"
#include "win/StartAndWait.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

namespace tw {

namespace {

constexpr DWORD kListFiles = win::kListReadOnly | win::kListHidden | win::kListSystem;

std::string BackupFolder(const std::string& programFolder) {
    return programFolder + "\\Backup";
}

std::string Joined(const std::string& folder, std::string_view name) {
    return folder + (folder.ends_with('\\') ? "" : "\\") + std::string(name);
}

// What copies are counted by: the path as the file system reads it, letter case ignored.
std::string CopyKey(const std::string& path) {
    std::string key = NormalizePath(path);
    if (!key.empty())
        CharLowerBuffA(key.data(), static_cast<DWORD>(key.size()));
    return key;
}

// The copies an index line names: its copy path, or for a pattern every folder (.ddb) or
// file (.dfb) in the run folder that it matches. Links are never taken for copies.
std::vector<std::string> CopiesNamed(const std::string& runFolder, const RestoreItem& item,
                                     bool folders) {
    const std::string path = runFolder + item.copy;
    if (!item.pattern)
        return {path};
    const std::string parent(PathBeforeLastSlash(path));
    std::vector<std::string> copies;
    for (const auto& found : win::ListDirectory(path, folders ? win::kListAll : kListFiles)) {
        const bool isFolder = (found.Attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (found.Name != "." && found.Name != ".." && isFolder == folders &&
            !(found.Attributes & FILE_ATTRIBUTE_REPARSE_POINT))
            copies.push_back(parent + "\\" + found.Name);
    }
    return copies;
}

// True when `path` is a folder (`folder`) or a file, and no link.
bool IsCopy(const std::string& path, bool folder) {
    const DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && ((a & FILE_ATTRIBUTE_DIRECTORY) != 0) == folder &&
           !(a & FILE_ATTRIBUTE_REPARSE_POINT);
}

win::UniqueFileHandle OpenToRead(const std::string& path, DWORD flags) {
    return win::UniqueFileHandle(CreateFileA(path.c_str(), GENERIC_READ,
                                             FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                             OPEN_EXISTING, flags, nullptr));
}

// True when both paths name one and the same file or folder.
bool SameItem(const std::string& a, const std::string& b) {
    BY_HANDLE_FILE_INFORMATION x, y;
    auto open = [](const std::string& path, BY_HANDLE_FILE_INFORMATION& info) {
        win::UniqueFileHandle h(CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                            nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
                                            nullptr));
        return h && GetFileInformationByHandle(h.get(), &info);
    };
    return open(a, x) && open(b, y) && x.dwVolumeSerialNumber == y.dwVolumeSerialNumber &&
           x.nFileIndexHigh == y.nFileIndexHigh && x.nFileIndexLow == y.nFileIndexLow;
}

// True when both files can be read and hold the same bytes.
bool SameBytes(const std::string& a, const std::string& b) {
    const win::UniqueFileHandle x = OpenToRead(a, FILE_FLAG_SEQUENTIAL_SCAN);
    const win::UniqueFileHandle y = OpenToRead(b, FILE_FLAG_SEQUENTIAL_SCAN);
    if (!x || !y)
        return false;
    DWORD xHigh = 0, yHigh = 0;
    const DWORD xLow = GetFileSize(x.get(), &xHigh), yLow = GetFileSize(y.get(), &yHigh);
    if ((xLow == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) || xLow != yLow || xHigh != yHigh)
        return false;
    std::vector<char> p(1 << 16), q(1 << 16);
    for (;;) {
        DWORD got = 0, gotToo = 0;
        if (!ReadFile(x.get(), p.data(), static_cast<DWORD>(p.size()), &got, nullptr) ||
            !ReadFile(y.get(), q.data(), static_cast<DWORD>(q.size()), &gotToo, nullptr) ||
            got != gotToo || !std::equal(p.begin(), p.begin() + got, q.begin()))
            return false;
        if (got == 0)
            return true;
    }
}

// True when every file below the folder `copy` is below `arrived` too, with the same
// bytes, and every folder there as well.
bool SameTree(const std::string& copy, const std::string& arrived) {
    if (!IsCopy(arrived, true))
        return false;
    for (const auto& found : win::ListDirectory(copy + "\\*", win::kListAll)) {
        if (found.Name == "." || found.Name == "..")
            continue;
        const std::string from = copy + "\\" + found.Name, to = arrived + "\\" + found.Name;
        const bool same =
            (found.Attributes & FILE_ATTRIBUTE_DIRECTORY)
                ? !(found.Attributes & FILE_ATTRIBUTE_REPARSE_POINT) && SameTree(from, to)
                : SameBytes(from, to);
        if (!same)
            return false;
    }
    return true;
}

// Makes the folder `path` ("X:\\a\\b") and every missing folder above it.
void MakeFolders(const std::string& path) {
    for (size_t at = 3; (at = path.find('\\', at)) != std::string::npos; ++at)
        CreateDirectoryA(path.substr(0, at).c_str(), nullptr);
    CreateDirectoryA(path.c_str(), nullptr);
}

// The one place where a backup copy goes back: the file or folder `copy` is copied into
// the folder `origin` under its own name, replacing what is there. A folder's origin is
// made first when it has gone (a file needs its folder there). True when the copy
// reported success and what arrived holds the bytes of the copy, file for file.
bool PutBack(const std::string& copy, const std::string& origin, bool folder) {
    const std::string arrived = Joined(origin, PathAfterLastSlash(copy));
    if (folder && !DirFound(origin))
        MakeFolders(origin);
    if (!(folder ? CopyFolder(copy, origin) : CopyFile(copy, origin)))
        return false;
    if (!(folder ? SameTree(copy, arrived) : SameBytes(copy, arrived)))
        return false;
    CancelDeleteAtRestart(arrived); // what is back must not go at the next restart
    return true;
}

// A .dfb or .ddb line: every copy it names goes back into its origin folder. Nothing is
// copied when one of them is missing, would land in the backup store, or is the very
// item it would replace.
bool RestoreCopies(const std::vector<std::string>& copies, const std::string& origin, bool folders,
                   const std::string& store) {
    if (copies.empty())
        return false;
    for (const std::string& copy : copies) {
        const std::string arrived = Joined(origin, PathAfterLastSlash(copy));
        if (!IsCopy(copy, folders) || PathsOverlap(arrived, store) || SameItem(copy, arrived))
            return false;
    }
    return std::all_of(copies.begin(), copies.end(),
                       [&](const std::string& copy) { return PutBack(copy, origin, folders); });
}

// The registry tool's exit code; not 0 when it could not be started.
unsigned long RunRegistryTool(const std::string& arguments) {
    try {
        return StartAndWait("regedit.exe " + arguments, 0);
    } catch (...) {
        return 1;
    }
}

// A .drb line: the export `data` of `key` is imported silently. It is back when the
// registry tool reports success and a fresh export of the key holds every key and value
// of the export. An export that is no export of that key (it names other keys, or would
// delete some) is not imported. A line whose export is missing has nothing to give back.
bool RestoreKey(const std::string& data, const std::string& key) {
    if (GetFileAttributesA(data.c_str()) == INVALID_FILE_ATTRIBUTES)
        return true;
    const auto backup = ReadRegExport(ReadTextFile(data));
    if (!backup || !ExportIsOfKey(*backup, key) || RunRegistryTool("/S \"" + data + "\"") != 0)
        return false;
    char folder[MAX_PATH + 1], fresh[MAX_PATH + 1];
    const DWORD length = GetTempPathA(MAX_PATH, folder);
    if (length == 0 || length > MAX_PATH || !GetTempFileNameA(folder, "twr", 0, fresh))
        return false;
    const bool exported = RunRegistryTool("/e \"" + std::string(fresh) + "\" \"" + key + "\"") == 0;
    const auto now = exported ? ReadRegExport(ReadTextFile(fresh)) : std::nullopt;
    DeleteFileA(fresh);
    if (!now)
        return false;
    const std::unordered_set<std::string> holds(now->begin(), now->end());
    return std::all_of(backup->begin(), backup->end(),
                       [&](const std::string& entry) { return holds.contains(entry); });
}

void DeleteCopy(const std::string& copy, BackupKind kind) {
    if (kind == BackupKind::Dir)
        DeleteFolder(copy);
    else
        DeleteFileA(copy.c_str()); // a read-only copy stays, silently
}

// Replaces the index text whole; the old index stays when the new text cannot be written.
void RewriteIndex(const std::string& index, const std::vector<std::string>& lines) {
    const std::string fresh = index + ".new";
    DeleteFileA(fresh.c_str());
    if (AppendTextLines(fresh.c_str(), lines))
        win::MoveReplacing(fresh.c_str(), index.c_str(), MOVEFILE_REPLACE_EXISTING);
    else
        DeleteFileA(fresh.c_str());
}

} // namespace

std::vector<std::string> ListRuns(const std::string& programFolder,
                                  std::initializer_list<BackupKind> kinds) {
    std::vector<std::string> runs;
    if (!DirFound(BackupFolder(programFolder)))
        return runs;
    for (const auto& found :
         win::ListDirectory(BackupFolder(programFolder) + "\\", win::kListDirectory)) {
        if (found.Name == "." || found.Name == "..")
            continue;
        for (BackupKind kind : kinds)
            if (IsRunOf(found.Name, kind)) {
                runs.push_back(found.Name);
                break;
            }
    }
    return runs;
}

std::vector<std::string> ListLogs(const std::string& programFolder) {
    std::vector<std::string> logs;
    const std::string folder = programFolder + "\\Log";
    if (!DirFound(folder))
        return logs;
    for (const auto& found : win::ListDirectory(folder + "\\*.log", win::kListNormal))
        logs.push_back(LogEntryName(found.Name));
    return logs;
}

std::string RunIndexPath(const std::string& programFolder, const std::string& run,
                         BackupKind kind) {
    return BackupFolder(programFolder) + "\\" + run + "\\" + run + std::string(KindExtension(kind));
}

std::vector<std::string> LoadIndex(const std::string& programFolder, const std::string& run,
                                   BackupKind kind) {
    return IndexLines(ReadTextFile(RunIndexPath(programFolder, run, kind)));
}

std::vector<std::string> RestoreRun(const std::string& programFolder, const std::string& run,
                                    BackupKind kind, const std::vector<std::string>& lines,
                                    const std::vector<bool>& selected) {
    if (lines.empty())
        return {}; // a blank or unreadable index: nothing to restore, nothing to remove
    const std::string store = BackupFolder(programFolder), runFolder = store + "\\" + run;
    const bool folders = kind == BackupKind::Dir;

    // Every line's item and the copies it names, each copy counted once per line.
    std::vector<RestoreItem> items;
    std::vector<std::vector<std::string>> copies(lines.size());
    std::unordered_map<std::string, size_t> namedBy;
    items.reserve(lines.size());
    for (size_t i = 0; i < lines.size(); ++i) {
        items.push_back(ReadRestoreLine(lines[i], kind, store));
        if (!items[i].copyOk)
            continue;
        copies[i] = CopiesNamed(runFolder, items[i], folders);
        std::unordered_set<std::string> keys;
        for (const std::string& copy : copies[i])
            if (keys.insert(CopyKey(copy)).second)
                ++namedBy[CopyKey(copy)];
    }

    std::vector<bool> restored(lines.size(), false);
    for (size_t i = 0; i < lines.size(); ++i) {
        const RestoreItem& item = items[i];
        if (i >= selected.size() || !selected[i] || !item.copyOk || !item.originOk)
            continue;
        restored[i] = kind == BackupKind::Reg
                          ? RestoreKey(copies[i].front(), item.origin)
                          : RestoreCopies(copies[i], item.origin, folders, store);
        if (!restored[i])
            continue;
        std::unordered_set<std::string> keys;
        for (const std::string& copy : copies[i]) {
            const std::string key = CopyKey(copy);
            if (keys.insert(key).second && --namedBy[key] == 0)
                DeleteCopy(copy, kind);
        }
    }

    std::vector<std::string> kept = KeptLines(lines, restored);
    const std::string index = RunIndexPath(programFolder, run, kind);
    if (!kept.empty()) {
        RewriteIndex(index, kept);
        return kept;
    }
    DeleteFileA(index.c_str());
    if (folders)
        DeleteDirIfExists(runFolder);
    else
        RemoveDirectoryA(runFolder.c_str()); // only when nothing else is in it
    return kept;
}

} // namespace tw
