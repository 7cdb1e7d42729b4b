#include "clean/rules/FileRules.h"

#include <vector>

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

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Splits into components at "\" and "/", dropping empty ones.
std::vector<std::string_view> Components(std::string_view path) {
    std::vector<std::string_view> parts;
    size_t i = 0;
    while (i < path.size()) {
        while (i < path.size() && IsSeparator(path[i]))
            ++i;
        size_t start = i;
        while (i < path.size() && !IsSeparator(path[i]))
            ++i;
        if (i > start)
            parts.push_back(path.substr(start, i - start));
    }
    return parts;
}

// The file system ignores trailing dots and blanks of a name ("Windows. " is "Windows").
// A name of dots and blanks only is read as ".." when it begins with two dots (".. ",
// "..."), else as the folder itself, which never underestimates how far a path climbs.
std::string_view TrimComponent(std::string_view part) {
    if (part.find_first_not_of(". ") == std::string_view::npos)
        return part.substr(0, 2) == ".." ? std::string_view("..") : std::string_view(".");
    size_t end = part.size();
    while (end > 0 && (part[end - 1] == '.' || part[end - 1] == ' '))
        --end;
    return part.substr(0, end);
}

// True when `path` equals `folder` or lies below it (both normalized).
bool IsAtOrBelow(const std::string& path, const std::string& folder) {
    if (folder.empty() || path.size() < folder.size() || path.compare(0, folder.size(), folder))
        return false;
    return path.size() == folder.size() || path[folder.size()] == '\\';
}

// A normalized path that names a drive ("c:") or a share ("\\server\share") itself.
bool IsRoot(const std::string& path) {
    if (path.empty())
        return true;
    if (path.size() == 2 && path[1] == ':')
        return true;
    if (path.rfind("\\\\", 0) == 0) {
        size_t slashes = 0;
        for (size_t i = 2; i < path.size(); ++i)
            slashes += path[i] == '\\';
        return slashes <= 1;
    }
    return path == "\\";
}

} // namespace

std::string NormalizePath(std::string_view path) {
    // The root ("X:", "\\server\share" or a leading "\") is what ".." cannot take away.
    std::string out;
    std::vector<std::string_view> parts = Components(path);
    size_t first = 0; // the first component below the root
    if (path.size() >= 2 && path[1] == ':') {
        out.append(path.data(), 2);
        parts = Components(path.substr(2));
    } else if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
        out.append(2, '\\');
        first = parts.size() < 2 ? parts.size() : 2;
        for (size_t i = 0; i < first; ++i) {
            if (i > 0)
                out.push_back('\\');
            out.append(parts[i].data(), parts[i].size());
        }
    } else if (!path.empty() && IsSeparator(path[0])) {
        out.push_back('\\');
    }
    std::vector<std::string_view> kept;
    for (size_t i = first; i < parts.size(); ++i) {
        std::string_view part = TrimComponent(parts[i]);
        if (part.empty() || part == ".")
            continue;
        if (part == "..") {
            if (!kept.empty())
                kept.pop_back();
            continue;
        }
        kept.push_back(part);
    }
    for (std::string_view part : kept) {
        if (!out.empty() && out.back() != '\\')
            out.push_back('\\');
        out.append(part.data(), part.size());
    }
    for (char& c : out)
        c = Lower(c);
    return out;
}

bool LeavesBase(std::string_view rest) {
    long depth = 0;
    for (std::string_view raw : Components(rest)) {
        std::string_view part = TrimComponent(raw);
        if (part == "..") {
            if (--depth < 0)
                return true;
        } else if (!part.empty() && part != ".") {
            ++depth;
        }
    }
    return false;
}

bool IsWildcardOnlyName(std::string_view name) {
    if (name.find_first_of("*?") == std::string_view::npos)
        return false;
    size_t dot = name.rfind('.');
    std::string_view stem = dot == std::string_view::npos ? name : name.substr(0, dot);
    return stem.find_first_not_of("*?.") == std::string_view::npos;
}

bool IsProtectedDirectory(std::string_view fullPath, const ProtectedFolders& folders) {
    std::string path = NormalizePath(fullPath);
    if (IsRoot(path))
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
