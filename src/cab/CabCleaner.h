#pragma once
// The steps of cleaning one driver cabinet that need no window: where a cabinet is
// unpacked, which files go, and the rebuild through cab.dll.
#include "cab/CabLibrary.h"

#include <functional>
#include <string>
#include <vector>

namespace tw {

// The entry names of the cab filters in `programFolder` (file names without their last
// extension), in the order the file system gives them.
std::vector<std::string> CabFilterNames(const std::string& programFolder);
// True when the cabinet `entry` lies in "\ServicePackFiles\i386\" or "\Driver Cache\i386\"
// below the Windows folder.
bool CabinetInstalled(const std::string& entry);

// The entry name up to its first "." (driver.cab gives driver).
std::string CabBaseName(const std::string& entry);
// Temporary folder + "tmp" + base name, without a trailing backslash.
std::string ExtractionFolder(const std::string& entry);
// A folder made empty for unpacking `entry`: whatever lies at ExtractionFolder (a folder
// with its content, a link) is removed first and the folder is made anew; when that path
// cannot be made, the same name with a number. "" when no folder could be made.
std::string MakeExtractionFolder(const std::string& entry);
// True when the cab filter line names a cabinet below the Windows folder: it begins with
// a backslash, names no drive, no wildcard, and never climbs above it through "..".
bool IsCabinetLine(const std::string& line);
// The command line that unpacks `cabinet` into `folder`: extract.exe of the Windows
// folder when there is one, else the program's own; both paths quoted.
std::string ExtractionCommand(const std::string& cabinet, const std::string& folder);

// The files below `folder` (hidden and system ones included, no folders), as paths
// relative to it ("sub\\file.sys"), in listing order, each folder's files before its
// subfolders'.
std::vector<std::string> FilesIn(const std::string& folder);
// Deletes every file below `folder` whose name begins with "ati" or "nv", in any letter
// case, read-only ones included.
void DeleteDriverFiles(const std::string& folder);

struct RebuildHooks {
    std::function<void(const std::string&)> ReportError; // a message for the user
    std::function<void()> AfterFile;                     // after each file added
};

// Writes the cabinet `cabinet` from `names` (relative paths below `folder`, each stored
// under that path): an initialisation failure reports text 0027, a failed create 0028
// (nothing more is called then), a file not added its name and 0029, and the rebuild
// goes on with the next file. The new cabinet replaces the old one only when every file
// was added and it was closed; true then. A blank cabinet path does nothing (false).
bool RebuildCabinet(const CabLibrary& library, const std::string& cabinet,
                    const std::string& folder, const std::vector<std::string>& names,
                    const RebuildHooks& hooks);

} // namespace tw
