#include "backup/FileBackup.h"

#include "backup/BackupStore.h"
#include "backup/rules/FileBackupRules.h"
#include "core/TextFile.h"
#include "win/Copy.h"
#include "win/FileFind.h"
#include "win/Files.h"

#include <windows.h>

namespace tw {

namespace {

bool On(const std::string& value) {
    return value == "Yes";
}

void MakeFolderIfMissing(const std::string& path) {
    if (!DirFound(path))
        CreateDirectoryA(path.c_str(), nullptr);
}

bool Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// True when every name that `pattern` matches (as the listing `request` sees it) is
// also in `folder`.
bool AllCopied(const std::string& pattern, DWORD request, const std::string& folder) {
    for (const auto& found : win::ListDirectory(pattern, request)) {
        if (found.Name == "." || found.Name == "..")
            continue;
        if (!Exists(folder + "\\" + found.Name))
            return false;
    }
    return true;
}

} // namespace

void PrepareBackupFolders(const std::string& ProgramFolder, const std::string& RunName,
                          const std::string& FilterName, const std::string& BackupFiles,
                          const std::string& BackupDir, const std::string& BackupReg,
                          const std::string& LogFile) {
    MakeFolderIfMissing(ProgramFolder + "\\Backup");
    if (On(LogFile))
        MakeFolderIfMissing(ProgramFolder + "\\Log");
    const std::pair<const std::string*, BackupKind> kinds[] = {{&BackupFiles, BackupKind::File},
                                                               {&BackupDir, BackupKind::Dir},
                                                               {&BackupReg, BackupKind::Reg}};
    for (const auto& [setting, kind] : kinds)
        if (On(*setting))
            MakeFolderIfMissing(RunFolderPath(ProgramFolder, RunName, FilterName, kind));
}

bool BackupFile(const std::string& ProgramFolder, const std::string& Entry,
                const std::string& FilterName, const std::string& RunName,
                const std::string& FullPath, const std::string& BaseFolder,
                const std::string& Kind) {
    const std::string fb = RunFolderPath(ProgramFolder, RunName, FilterName, BackupKind::File);
    const BackupSubFolder row = BackupSubFolderFor(Entry, Kind);
    for (size_t i = 0; i < row.MakeFirst.size(); ++i) {
        std::string folder = fb + std::string(row.MakeFirst[i]);
        if (i == 0 && row.MakeFirstOnlyWhenMissing && DirFound(folder))
            continue;
        CreateDirectoryA(folder.c_str(), nullptr);
    }
    AppendTextLine(IndexPath(ProgramFolder, RunName, FilterName, BackupKind::File).c_str(),
                   FileIndexLine(row.SubFolder, FullPath));
    const std::string dest = fb + std::string(row.SubFolder);
    bool copied = CopyFile(BaseFolder + Entry, dest);
    return copied && AllCopied(FullPath, win::kListNormal, dest);
}

bool BackupDirectory(const std::string& ProgramFolder, const std::string& DirPath,
                     const std::string& FilterName, const std::string& RunName) {
    const std::string db = RunFolderPath(ProgramFolder, RunName, FilterName, BackupKind::Dir);
    AppendTextLine(IndexPath(ProgramFolder, RunName, FilterName, BackupKind::Dir).c_str(),
                   DirIndexLine(DirPath));
    bool copied = CopyFolder(DirPath, db);
    return copied && AllCopied(DirPath, win::kListDirectory, db);
}

} // namespace tw
