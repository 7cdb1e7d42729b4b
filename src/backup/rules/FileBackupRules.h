#pragma once
// Where a backed-up file goes in its file-backup run folder, and the index lines of the
// file (.dfb) and directory (.ddb) backups.
#include <string>
#include <string_view>
#include <vector>

namespace tw {

// One row of the special-folder table.
struct BackupSubFolder {
    std::string_view SubFolder;              // below the run folder, begins with "\"
    std::vector<std::string_view> MakeFirst; // folders made below the run folder, in order
    bool MakeFirstOnlyWhenMissing = false;   // the first of them only when not found
};

// The row for a filter entry (relative to the Windows or system folder, beginning with
// "\"): the first prefix the entry begins with, compared case-sensitively; otherwise
// "\Windows" for kind "1" ([FILES]) and "\System" for any other kind.
BackupSubFolder BackupSubFolderFor(std::string_view entry, std::string_view kind);

// The text before and after the last "\" (the whole text and "" without one).
std::string_view PathBeforeLastSlash(std::string_view path);
std::string_view PathAfterLastSlash(std::string_view path);

// .dfb line: sub-folder, "\", file name of `fullPath`, ", ", its folder.
std::string FileIndexLine(std::string_view subFolder, std::string_view fullPath);
// .ddb line: the directory's own name, ", ", its parent folder.
std::string DirIndexLine(std::string_view dirPath);

} // namespace tw
