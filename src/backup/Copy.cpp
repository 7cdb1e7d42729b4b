#include "backup/Copy.h"

#include "clean/modGeneral.h"

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

} // namespace

bool CopyFile(const std::string& Source, const std::string& DestFolder) {
    std::string source = Source;
    if (!source.empty() && source.back() == '\\')
        source.pop_back();
    if (!DirFound(DestFolder))
        return false;
    std::string from = DoubleTerminated(source);
    std::string to = DoubleTerminated(DestFolder);
    SHFILEOPSTRUCTA op{};
    op.hwnd = nullptr;
    op.wFunc = FO_COPY;
    op.pFrom = from.c_str();
    op.pTo = to.c_str();
    op.fFlags = FOF_NOCONFIRMATION | FOF_NOCONFIRMMKDIR;
    return SHFileOperationA(&op) == 0;
}

bool CopyFolder(const std::string& Source, const std::string& DestFolder) {
    std::string from = DoubleTerminated(Source);
    std::string to = DoubleTerminated(DestFolder);
    SHFILEOPSTRUCTA op{};
    op.hwnd = nullptr;
    op.wFunc = FO_COPY;
    op.pFrom = from.c_str();
    op.pTo = to.c_str();
    op.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOCONFIRMMKDIR;
    SHFileOperationA(&op);
    return !op.fAnyOperationsAborted;
}

} // namespace tw
