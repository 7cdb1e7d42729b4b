#include "clean/rules/FileRules.h"

namespace tw {

std::string DirectoryFullPath(std::string_view entry, std::string_view windowsDir,
                              std::string_view programFilesDir) {
    if (entry.substr(0, kProgramFilesPrefix.size()) == kProgramFilesPrefix)
        return std::string(programFilesDir) + std::string(entry.substr(kProgramFilesPrefix.size()));
    return std::string(windowsDir.substr(0, 2)) + std::string(entry);
}

std::string DetailLine(std::string_view text, std::string_view fullPath) {
    std::string line(text);
    line += " (";
    line += fullPath;
    line += ')';
    return line;
}

namespace {

// True when `path` equals `folder` or lies below it (both normalized).
bool IsAtOrBelow(const std::string& path, const std::string& folder) {
    if (folder.empty() || path.size() < folder.size() || path.compare(0, folder.size(), folder))
        return false;
    return path.size() == folder.size() || path[folder.size()] == '\\';
}

} // namespace

bool IsWildcardOnlyName(std::string_view name) {
    if (name.find_first_of("*?") == std::string_view::npos)
        return false;
    size_t dot = name.rfind('.');
    std::string_view stem = dot == std::string_view::npos ? name : name.substr(0, dot);
    return stem.find_first_not_of("*?.") == std::string_view::npos;
}

bool IsProtectedDirectory(std::string_view fullPath, const ProtectedFolders& folders) {
    std::string path = NormalizePath(fullPath);
    if (IsRootPath(path))
        return true;
    for (const std::string* folder : {&folders.Windows, &folders.System, &folders.ProgramFiles,
                                      &folders.Temp, &folders.Profiles, &folders.Program}) {
        if (folder->empty())
            continue;
        // the folder itself or any folder above it
        if (IsAtOrBelow(NormalizePath(*folder), path))
            return true;
    }
    return !folders.Program.empty() && IsAtOrBelow(path, NormalizePath(folders.Program));
}

bool IsProtectedFilePattern(std::string_view fullPath, const ProtectedFolders& folders) {
    std::string path = NormalizePath(fullPath);
    if (IsProtectedDirectory(path, folders))
        return true;
    size_t slash = path.rfind('\\');
    std::string parent = slash == std::string::npos ? std::string() : path.substr(0, slash);
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (IsWildcardOnlyName(name)) {
        for (const std::string* folder : {&folders.Windows, &folders.System})
            if (!folder->empty() && parent == NormalizePath(*folder))
                return true;
    }
    return false;
}

} // namespace tw
