#pragma once
// Removal at the next restart of what cannot be deleted now because it is in use. The NT
// family keeps the list in the registry value PendingFileRenameOperations (written by
// MoveFileExA); Windows 95, 98 and ME read the [rename] section of WININIT.INI in the
// Windows folder, one "NUL=<short path>" line per file to delete. Only delete entries
// (an empty destination, a NUL line) that name the given path are ever taken out; every
// other entry stays byte for byte.
#include <string>
#include <vector>

namespace tw {

// True on the NT family (the registry list and folder entries); false on 95, 98 and ME.
bool PendingDeleteUsesRegistry();

// True when the file exists, is not read-only, and another open of it keeps it from
// being deleted now.
bool FileInUse(const std::string& path);

enum class FileDeletion { Deleted, Scheduled, Failed };

// Deletes the file. When the deletion is refused because the file is in use (a sharing
// or lock violation, or access denied on a file that is not read-only, as Windows answers
// for a loaded program image), its removal at the next restart is scheduled instead. A
// read-only file is never scheduled.
FileDeletion DeleteFileOrSchedule(const std::string& path);

// Schedules the removal of a file (or, on the NT family, of a folder, which goes once it
// is empty) at the next restart. False when nothing could be scheduled.
bool ScheduleDeleteAtRestart(const std::string& path);

// Takes out the scheduled removals of `path` and of everything below it; the last
// component of `path` may hold the wildcards "*" and "?".
void CancelDeleteAtRestart(const std::string& path);

// Restarts Windows (with the shutdown privilege on the NT family). False when it cannot.
bool RestartWindows();

} // namespace tw
