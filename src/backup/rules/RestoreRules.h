#pragma once
// Reading the index files of the backup store back, and the names by which the restore
// and clean-up dialogs find runs and logs.
#include "backup/BackupStore.h"

#include <optional>
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

// One index line read for a restore, without touching the file system: where its backup
// copy lies in the run folder and where it goes back. A line is restored only when both
// are good; a line whose copy is good names that copy, restored or not.
struct RestoreItem {
    // Below the run folder, beginning with "\": the copy of a .dfb line (a backup
    // sub-folder, then the name, which alone may hold "*" and "?"), the folder of a .ddb
    // line (one name, "*" and "?" allowed), the export of a .drb line (one plain name
    // ending in ".dat"). Nothing of it climbs out: no "." or ".." names, no drive, no
    // stream, no empty name.
    std::string copy;
    bool copyOk = false;
    bool pattern = false; // the copy's name holds "*" or "?"
    // .dfb and .ddb: the folder the copy goes back into, a full path on a drive ("C:" is
    // read as "C:\"), with no wildcards, not inside the backup store; .drb: the key path
    // with the root's full name.
    std::string origin;
    bool originOk = false;
};
// `store` is the backup store folder (<program folder>\Backup).
RestoreItem ReadRestoreLine(std::string_view line, BackupKind kind, std::string_view store);

// True when `path` is `folder` or lies below it, compared as NormalizePath reads them.
bool PathInside(std::string_view path, std::string_view folder);
// True when one of two paths is the other or lies below it.
bool PathsOverlap(std::string_view a, std::string_view b);

// The keys and values of a registry export (UTF-16 with its byte-order mark, or ANSI),
// one entry each: "[key]" for a key, "[key]" + LF + "name=data" for a value ("@" names
// the default value); key and value names in lower case, continued lines joined, the
// blanks of number and byte data dropped, so that two exports of the same content give
// the same entries. Nothing when the text is not an export or when it would delete a key
// or a value on import, which no export does.
std::optional<std::vector<std::string>> ReadRegExport(std::string_view raw);
// True when `entries` hold the key `key` itself and every key of them is `key` or lies
// below it (letter case ignored): an export of that key and nothing else.
bool ExportIsOfKey(const std::vector<std::string>& entries, std::string_view key);

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
