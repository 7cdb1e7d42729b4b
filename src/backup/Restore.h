#pragma once
// Finding the runs of the backup store again and putting their items back: files and
// directory trees are copied back to their origin, registry exports imported with the
// registry tool. A backup copy is deleted only once its item has been checked to be
// back; an item that did not come back keeps its copy and its index line.
#include "backup/BackupStore.h"

#include <string>
#include <vector>

namespace tw {

// Names below <programFolder>\Backup that are runs of one of `kinds` (folders, and plain
// files named so), in the order the file system lists them; none without a Backup
// folder.
std::vector<std::string> ListRuns(const std::string& programFolder,
                                  std::initializer_list<BackupKind> kinds);
// The log files of <programFolder>\Log, each named without its extension.
std::vector<std::string> ListLogs(const std::string& programFolder);

// <programFolder>\Backup\<run>\<run><extension of kind>
std::string RunIndexPath(const std::string& programFolder, const std::string& run, BackupKind kind);
// The lines of a run's index; none when it is missing or unreadable.
std::vector<std::string> LoadIndex(const std::string& programFolder, const std::string& run,
                                   BackupKind kind);

// Puts back the item of one index line of `run`; true when it is back. Its backup copy
// (or export) is then deleted, unless `keepCopy` asks to keep it for another line that
// names the same copy.
bool RestoreLine(const std::string& programFolder, const std::string& run, BackupKind kind,
                 const std::string& line, bool keepCopy = false);

// Restores the lines of `lines` whose `selected` flag is set, in order (a copy that two
// lines name, such as two same-named folders from different parents, is deleted only
// after the last of them and only when no line that stays names it), then rewrites
// the index with the lines that stay (the unselected ones and those that did not come
// back) or, when none stays, deletes the index and removes the run folder: a file or
// registry run folder only when it is empty, a directory run folder with everything
// still in it. Returns the lines that stay.
std::vector<std::string> RestoreRun(const std::string& programFolder, const std::string& run,
                                    BackupKind kind, const std::vector<std::string>& lines,
                                    const std::vector<bool>& selected);

} // namespace tw
