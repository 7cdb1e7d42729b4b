#pragma once
// Backing up files and directories before the cleaning engine removes them, into the
// run folders below <program folder>\Backup.
#include <string>

namespace tw {

// Makes <ProgramFolder>\Backup, <ProgramFolder>\Log when LogFile is "Yes", and the run
// folder of each backup kind whose setting is "Yes". Each missing folder is made on its
// own; one that exists already is kept as it is.
void PrepareBackupFolders(const std::string& ProgramFolder, const std::string& RunName,
                          const std::string& FilterName, const std::string& BackupFiles,
                          const std::string& BackupDir, const std::string& BackupReg,
                          const std::string& LogFile);

// Copies the file(s) that FullPath (= BaseFolder + Entry) matches into the backup
// sub-folder that the special-folder table gives for Entry and Kind ("1": [FILES], "2":
// [SYSTEMFILES]), after appending the .dfb line. Returns true when every file the
// pattern matches now has its copy there.
bool BackupFile(const std::string& ProgramFolder, const std::string& Entry,
                const std::string& FilterName, const std::string& RunName,
                const std::string& FullPath, const std::string& BaseFolder,
                const std::string& Kind);

// Copies the folder DirPath (every match of its last component) whole into the
// directory-backup run folder, after appending the .ddb line. Returns true when every
// match now has its copy there.
bool BackupDirectory(const std::string& ProgramFolder, const std::string& DirPath,
                     const std::string& FilterName, const std::string& RunName);

} // namespace tw
