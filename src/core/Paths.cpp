#include "core/Paths.h"

#include <vector>

namespace tw {

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

} // namespace

bool IsRootPath(std::string_view path) {
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

bool IsPlainFileName(std::string_view name) {
    if (name.empty() || name == "." || name == "..")
        return false;
    for (char c : name)
        if (static_cast<unsigned char>(c) < 32 ||
            std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos)
            return false;
    return true;
}

} // namespace tw
