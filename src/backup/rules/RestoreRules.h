#pragma once
// Reading the index files of the backup store back, and the names by which the restore
// and clean-up dialogs find runs and logs.
#include "backup/BackupStore.h"

#include <string>
#include <string_view>
#include <vector>

namespace tw {

// The two fields of an index line, split at its last comma: `first` is the text before
// it, `second` the text from the second character after it (the comma is followed by a
// blank). `ok` is false for a line without a comma.
struct IndexFields {
    std::string first;
    std::string second;
    bool ok = false;
};
IndexFields SplitIndexLine(std::string_view line);

// The lines of an index file's text: split at every CR LF, empty pieces dropped.
std::vector<std::string> IndexLines(std::string_view text);
// The text of an index file holding `lines`, each ended by CR LF.
std::string IndexText(const std::vector<std::string>& lines);

// The lines that stay in an index after a restore: every line whose `restored` flag is
// not set, in their order.
std::vector<std::string> KeptLines(const std::vector<std::string>& lines,
                                   const std::vector<bool>& restored);

// True when a name below the Backup folder is a run of `kind`: its last characters are
// "FileBackup", "DirBackup" or "RegBackup", compared case-sensitively.
bool IsRunOf(std::string_view name, BackupKind kind);

// A log file's entry in the log cleaner: its name before the last ".".
std::string LogEntryName(std::string_view fileName);

} // namespace tw
