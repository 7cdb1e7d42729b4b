#pragma once
// Exporting a registry key into the backup store before the engine deletes it.
#include <windows.h>

#include <string>

namespace tw {

enum class RegistryBackupResult {
    NoKey,       // the key does not exist: nothing to keep, nothing written
    Exported,    // index line written and the export file produced
    ExportFailed // index line written, but the registry tool produced no file
};

// Appends the index line "<root name>\<subkey path>, <key name><counter>.dat" to the
// registry index of this run and filter, then has the registry tool export root\subkey
// path into <key name><counter>.dat beside it. The line is written before the export and
// stays when the export fails. A key directly below its root is indexed as root name,
// backslash, key name. `rootName` is kept as the entry wrote it; `root` is its handle.
RegistryBackupResult BackupRegistryKey(const std::string& counter, const std::string& filterName,
                                       const std::string& runName, const std::string& subKeyPath,
                                       const std::string& rootName, HKEY root,
                                       const std::string& programFolder);

} // namespace tw
