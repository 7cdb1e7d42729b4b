#pragma once
// Finding the runs of the backup store again and putting their items back: files and
// directory trees are copied back to their origin, registry exports imported with the
// registry tool. A backup copy is deleted only once its item has been proven back; an
// item that did not come back, or whose index line names a place outside its run folder,
// keeps its copy and its index line.
#include "backup/BackupStore.h"

#include <initializer_list>
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

// Restores the lines of `lines` (the run's index as loaded) whose `selected` flag is set,
// in order, and returns the lines that stay: the unselected ones and those that did not
// come back, in their order. A line comes back when its copy lies inside the run folder,
// its origin outside the backup store, and the item is proven back (the copy reported
// success and every file holds the bytes of its copy; a key holds what its export
// holds). A backup copy that several lines name (letter case ignored, patterns and
// exports included) is deleted with the last of them to come back, never while a line
// that stays names it. The index is rewritten with the lines that stay; when every line
// came back it is deleted and the run folder removed (a file or registry run folder only
// when it is empty, a directory run folder with everything still in it). No lines (a
// blank or unreadable index): nothing is touched. Time and memory grow linearly with the
// number of lines.
std::vector<std::string> RestoreRun(const std::string& programFolder, const std::string& run,
                                    BackupKind kind, const std::vector<std::string>& lines,
                                    const std::vector<bool>& selected);

} // namespace tw
