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
// The command line that unpacks `cabinet` into `folder`: extract.exe of the Windows
// folder when there is one, else the program's own; both paths quoted.
std::string ExtractionCommand(const std::string& cabinet, const std::string& folder);

// The files of `folder` (hidden and system ones included, no folders), in listing order.
std::vector<std::string> FilesIn(const std::string& folder);
// Deletes every file of `folder` whose name begins with "ati" or "nv", in any letter
// case, read-only ones included.
void DeleteDriverFiles(const std::string& folder);

struct RebuildHooks {
    std::function<void(const std::string&)> ReportError; // a message for the user
    std::function<void()> AfterFile;                     // after each file added
};

// Writes the cabinet `cabinet` from `names` in `folder` (the new cabinet replaces the old
// one when it is closed): an initialisation failure reports text 0027, a failed create
// 0028 (nothing more is called then), a file not added its name and 0029, and the
// rebuild goes on with the next file. A blank cabinet path does nothing.
void RebuildCabinet(const CabLibrary& library, const std::string& cabinet,
                    const std::string& folder, const std::vector<std::string>& names,
                    const RebuildHooks& hooks);

} // namespace tw
