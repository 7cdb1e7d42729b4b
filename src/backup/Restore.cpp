#include "backup/Restore.h"

#include "backup/rules/FileBackupRules.h"
#include "backup/rules/RestoreRules.h"
#include "core/TextFile.h"
#include "registry/Registry.h"
#include "registry/rules/RegistryRules.h"
#include "win/Api.h"
#include "win/Copy.h"
#include "win/FileFind.h"
#include "win/Files.h"
#include "win/Handle.h"
#include "win/StartAndWait.h"

namespace tw {

namespace {

constexpr DWORD kListFiles = win::kListReadOnly | win::kListHidden | win::kListSystem;

std::string BackupFolder(const std::string& programFolder) {
    return programFolder + "\\Backup";
}

// Names that `pattern` matches, folders or plain files only, without "." and "..".
std::vector<std::string> Matches(const std::string& pattern, bool folders) {
    std::vector<std::string> names;
    for (const auto& found : win::ListDirectory(pattern, folders ? win::kListAll : kListFiles)) {
        const bool isFolder = (found.Attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (found.Name != "." && found.Name != ".." && isFolder == folders)
            names.push_back(found.Name);
    }
    return names;
}

bool Attributes(const std::string& path, WIN32_FILE_ATTRIBUTE_DATA& data) {
    return win::FileAttributes(path, data);
}

// True when `copy` is a file and `origin` a file of the same length.
bool FileArrived(const std::string& copy, const std::string& origin) {
    WIN32_FILE_ATTRIBUTE_DATA a, b;
    return Attributes(copy, a) && Attributes(origin, b) &&
           !(b.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && a.nFileSizeLow == b.nFileSizeLow &&
           a.nFileSizeHigh == b.nFileSizeHigh;
}

// True when everything below the folder `copy` is also below `origin`: the same folders
// and files of the same lengths.
bool TreeArrived(const std::string& copy, const std::string& origin) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!Attributes(origin, data) || !(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    for (const auto& found : win::ListDirectory(copy + "\\*", win::kListAll)) {
        if (found.Name == "." || found.Name == "..")
            continue;
        const std::string from = copy + "\\" + found.Name, to = origin + "\\" + found.Name;
        const bool arrived =
            (found.Attributes & FILE_ATTRIBUTE_DIRECTORY)
                ? !(found.Attributes & FILE_ATTRIBUTE_REPARSE_POINT) && TreeArrived(from, to)
                : FileArrived(from, to);
        if (!arrived)
            return false;
    }
    return true;
}

// A .dfb or .ddb line: the backup copy (a pattern may name several files or folders)
// goes back into the origin folder, and the copies are deleted once every one of them is
// there whole.
bool RestoreCopy(const std::string& copy, const std::string& origin, bool folders, bool keepCopy) {
    const std::string folder(PathBeforeLastSlash(copy));
    const std::vector<std::string> names = Matches(copy, folders);
    if (names.empty())
        return false;
    if (folders)
        CopyFolder(copy, origin);
    else
        CopyFile(copy, origin);
    for (const std::string& name : names) {
        const std::string from = folder + "\\" + name, to = origin + "\\" + name;
        if (!(folders ? TreeArrived(from, to) : FileArrived(from, to)))
            return false;
    }
    if (keepCopy)
        return true;
    if (folders)
        DeleteDirIfExists(copy);
    else
        for (const std::string& name : names)
            DeleteFileA((folder + "\\" + name).c_str()); // a read-only copy stays, silently
    return true;
}

bool KeyExists(const std::string& keyPath) {
    const auto entry = SplitKeyEntry(keyPath);
    HKEY root = entry ? RootKeyFromName(entry->Root) : nullptr;
    win::UniqueKey key;
    return root &&
           RegOpenKeyExA(root, entry->Path.c_str(), 0, KEY_READ, key.put()) == ERROR_SUCCESS;
}

// A .drb line: the export is imported silently and deleted once its key is back. A
// missing export has nothing to give back; its line goes.
bool RestoreKey(const std::string& runFolder, const IndexFields& line) {
    const std::string data = runFolder + "\\" + line.second;
    const bool hadData = GetFileAttributesA(data.c_str()) != INVALID_FILE_ATTRIBUTES;
    try {
        StartAndWait("regedit.exe /S \"" + data + "\"", 0);
    } catch (...) {
        return false; // the registry tool could not be started: everything stays
    }
    if (hadData && !KeyExists(line.first))
        return false;
    DeleteFileA(data.c_str());
    return true;
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

bool RestoreLine(const std::string& programFolder, const std::string& run, BackupKind kind,
                 const std::string& line, bool keepCopy) {
    const IndexFields fields = SplitIndexLine(line);
    if (!fields.ok)
        return false;
    const std::string runFolder = BackupFolder(programFolder) + "\\" + run;
    switch (kind) {
    case BackupKind::File:
        return RestoreCopy(runFolder + fields.first, fields.second, false, keepCopy);
    case BackupKind::Dir:
        return RestoreCopy(runFolder + "\\" + fields.first, fields.second, true, keepCopy);
    case BackupKind::Reg:
        return RestoreKey(runFolder, fields);
    }
    return false;
}

std::vector<std::string> RestoreRun(const std::string& programFolder, const std::string& run,
                                    BackupKind kind, const std::vector<std::string>& lines,
                                    const std::vector<bool>& selected) {
    auto isSelected = [&](size_t i) { return i < selected.size() && selected[i]; };
    std::vector<bool> restored(lines.size(), false);
    for (size_t i = 0; i < lines.size(); ++i) {
        if (!isSelected(i))
            continue;
        const std::string copy = SplitIndexLine(lines[i]).first;
        bool keepCopy = false;
        for (size_t j = 0; j < lines.size() && !keepCopy; ++j)
            keepCopy =
                j != i && (j > i || !isSelected(j)) && SplitIndexLine(lines[j]).first == copy;
        restored[i] = RestoreLine(programFolder, run, kind, lines[i], keepCopy);
    }
    std::vector<std::string> kept = KeptLines(lines, restored);
    const std::string index = RunIndexPath(programFolder, run, kind);
    const std::string runFolder = BackupFolder(programFolder) + "\\" + run;
    if (!kept.empty()) {
        RewriteIndex(index, kept);
        return kept;
    }
    DeleteFileA(index.c_str());
    if (kind == BackupKind::Dir)
        DeleteDirIfExists(runFolder);
    else
        RemoveDirectoryA(runFolder.c_str()); // only when nothing else is in it
    return kept;
}

} // namespace tw
