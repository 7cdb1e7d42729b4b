#include "win/Copy.h"

#include "win/FileFind.h"
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

constexpr DWORD kCopiedAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                    FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;

// Gives `dest` the attributes of a source entry that has `attributes`, and does the same
// below it for a folder.
void CopyAttributes(const std::string& source, DWORD attributes, const std::string& dest) {
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        for (const auto& found : win::ListDirectory(source + "\\*", win::kListAll))
            if (found.Name != "." && found.Name != "..")
                CopyAttributes(source + "\\" + found.Name, found.Attributes,
                               dest + "\\" + found.Name);
    }
    const DWORD kept = attributes & kCopiedAttributes;
    SetFileAttributesA(dest.c_str(), kept ? kept : FILE_ATTRIBUTE_NORMAL);
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
    // The shell makes the folders afresh and clears the read-only attribute of a file that
    // it overwrites: everything copied gets the attributes of its source.
    const size_t slash = Source.rfind('\\');
    const std::string parent = slash == std::string::npos ? std::string() : Source.substr(0, slash);
    for (const auto& found : win::ListDirectory(Source, win::kListAll))
        if (found.Name != "." && found.Name != "..")
            CopyAttributes(parent + "\\" + found.Name, found.Attributes,
                           DestFolder + "\\" + found.Name);
    return !aborted;
}

} // namespace tw
