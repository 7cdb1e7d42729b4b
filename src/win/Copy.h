#pragma once
// Copies through the platform's shell copy operation (SHFileOperationA, FO_COPY).
// <windows.h> comes first so that CopyFile means the same name wherever this is used.
#include <windows.h>

#include <string>

namespace tw {

// Copies the file `Source` (its last component may hold wildcards; one trailing "\" is
// dropped) into the existing folder `DestFolder`, overwriting without asking. Returns
// false without copying when DestFolder is not found, else whether the shell reported
// success.
bool CopyFile(const std::string& Source, const std::string& DestFolder);

// Copies the folder `Source` with everything in it into `DestFolder` (made when
// missing), silently. Returns true unless the shell reports an aborted operation.
bool CopyFolder(const std::string& Source, const std::string& DestFolder);

} // namespace tw
