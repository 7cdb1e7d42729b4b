#include "backup/RegistryBackup.h"

#include "backup/BackupStore.h"
#include "core/TextFile.h"
#include "registry/rules/RegistryRules.h"
#include "win/Api.h"
#include "win/Handle.h"
#include "win/StartAndWait.h"

namespace tw {

namespace {

struct FileStamp {
    bool exists = false;
    FILETIME written{};
    DWORD sizeLow = 0;
};

FileStamp StampOf(const std::string& path) {
    FileStamp s;
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (win::FileAttributes(path, data) && !(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        s.exists = true;
        s.written = data.ftLastWriteTime;
        s.sizeLow = data.nFileSizeLow;
    }
    return s;
}

} // namespace

RegistryBackupResult BackupRegistryKey(const std::string& counter, const std::string& filterName,
                                       const std::string& runName, const std::string& subKeyPath,
                                       const std::string& rootName, HKEY root,
                                       const std::string& programFolder) {
    const size_t last = subKeyPath.rfind('\\');
    const std::string keyName =
        last == std::string::npos ? subKeyPath : subKeyPath.substr(last + 1);

    {
        win::UniqueKey key;
        if (RegOpenKeyA(root, subKeyPath.c_str(), key.put()) != ERROR_SUCCESS)
            return RegistryBackupResult::NoKey;
    }

    const std::string folder = RunFolderPath(programFolder, runName, filterName, BackupKind::Reg);
    const std::string dataFile = keyName + counter + ".dat";
    const std::string index = IndexPath(programFolder, runName, filterName, BackupKind::Reg);
    AppendTextLine(index.c_str(), IndexLine(rootName + "\\" + subKeyPath, dataFile));

    // The registry tool is given the root's full name whatever case the entry used.
    std::string fullRoot = RootNameFromHandle(RootHandleFromName(rootName));
    if (fullRoot.empty())
        fullRoot = rootName;
    const std::string dataPath = folder + "\\" + dataFile;
    const FileStamp before = StampOf(dataPath);
    try {
        StartAndWait("regedit.exe /e \"" + dataPath + "\" \"" + fullRoot + "\\" + subKeyPath + "\"",
                     0);
    } catch (...) {
        return RegistryBackupResult::ExportFailed;
    }
    // An export file left by an earlier run of the same name does not count as this export.
    const FileStamp after = StampOf(dataPath);
    if (!after.exists)
        return RegistryBackupResult::ExportFailed;
    if (before.exists && CompareFileTime(&before.written, &after.written) == 0 &&
        before.sizeLow == after.sizeLow)
        return RegistryBackupResult::ExportFailed;
    return RegistryBackupResult::Exported;
}

} // namespace tw
