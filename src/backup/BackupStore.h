#pragma once
// Names in the backup store below <program folder>\Backup: one run folder per run name,
// filter and kind of backup, each holding an index file named after the folder.
#include <string>
#include <string_view>

namespace tw {

enum class BackupKind { File, Dir, Reg };

// "_FileBackup", "_DirBackup", "_RegBackup".
constexpr std::string_view KindSuffix(BackupKind kind) {
    switch (kind) {
    case BackupKind::File:
        return "_FileBackup";
    case BackupKind::Dir:
        return "_DirBackup";
    case BackupKind::Reg:
        return "_RegBackup";
    }
    return {};
}

// ".dfb", ".ddb", ".drb".
constexpr std::string_view KindExtension(BackupKind kind) {
    switch (kind) {
    case BackupKind::File:
        return ".dfb";
    case BackupKind::Dir:
        return ".ddb";
    case BackupKind::Reg:
        return ".drb";
    }
    return {};
}

// run name + "_" + filter name + suffix, e.g. 04-12-2026_044013_NVIDIA_FileBackup
inline std::string RunFolderName(std::string_view runName, std::string_view filterName,
                                 BackupKind kind) {
    std::string name(runName);
    name += '_';
    name += filterName;
    name += KindSuffix(kind);
    return name;
}

// <program folder>\Backup\<run folder name>
inline std::string RunFolderPath(std::string_view programFolder, std::string_view runName,
                                 std::string_view filterName, BackupKind kind) {
    return std::string(programFolder) + "\\Backup\\" + RunFolderName(runName, filterName, kind);
}

// <run folder>\<run folder name><extension>
inline std::string IndexPath(std::string_view programFolder, std::string_view runName,
                             std::string_view filterName, BackupKind kind) {
    return RunFolderPath(programFolder, runName, filterName, kind) + "\\" +
           RunFolderName(runName, filterName, kind) + std::string(KindExtension(kind));
}

// One index line without its line end: the two fields joined by ", ".
inline std::string IndexLine(std::string_view first, std::string_view second) {
    return std::string(first) + ", " + std::string(second);
}

} // namespace tw
