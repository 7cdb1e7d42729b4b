#include "win/Copy.h"

#include "win/Files.h"

#include <shellapi.h>

namespace tw {

namespace {

// The shell takes lists of paths ended by an extra zero.
std::string DoubleTerminated(const std::string& path) {
    std::string list = path;
    list.push_back('\0');
    list.push_back('\0');
    return list;
}

// One shell copy of `source` into `destFolder`: true when the shell reports success;
// `aborted` tells whether some part of it did not happen.
bool ShellCopy(const std::string& source, const std::string& destFolder, FILEOP_FLAGS flags,
               bool& aborted) {
    std::string from = DoubleTerminated(source);
    std::string to = DoubleTerminated(destFolder);
    SHFILEOPSTRUCTA op{};
    op.hwnd = nullptr;
    op.wFunc = FO_COPY;
    op.pFrom = from.c_str();
    op.pTo = to.c_str();
    op.fFlags = flags;
    bool ok = SHFileOperationA(&op) == 0;
    aborted = op.fAnyOperationsAborted != FALSE;
    return ok;
}

} // namespace

bool CopyFile(const std::string& Source, const std::string& DestFolder) {
    std::string source = Source;
    if (!source.empty() && source.back() == '\\')
        source.pop_back();
    if (!DirFound(DestFolder))
        return false;
    bool aborted = false;
    return ShellCopy(source, DestFolder, FOF_NOCONFIRMATION | FOF_NOCONFIRMMKDIR, aborted);
}

bool CopyFolder(const std::string& Source, const std::string& DestFolder) {
    bool aborted = false;
    ShellCopy(Source, DestFolder, FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOCONFIRMMKDIR, aborted);
    return !aborted;
}

} // namespace tw
