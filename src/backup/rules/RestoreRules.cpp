#include "backup/rules/RestoreRules.h"
#include "core/Paths.h"
#include "core/RootNames.h"
#include "core/TextFile.h"

#include <algorithm>

namespace tw {

namespace {

char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string Lower(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), LowerAscii);
    return out;
}

bool IsWildcard(char c) {
    return c == '*' || c == '?';
}

// One name of a path: not empty, not read by the file system as "." or ".." (trailing
// dots and blanks are ignored), no separator, drive or stream colon, no control
// character and none of the characters that listings read as wildcards of their own;
// "*" and "?" only when `wildcards` allows them.
bool PlainName(std::string_view name, bool wildcards) {
    const size_t end = name.find_last_not_of(". ");
    if (end == std::string_view::npos || (end == 0 && name[0] == '.'))
        return false; // "", ".", "..", ". ", "..." ...
    for (char c : name) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 32 || c == '\\' || c == '/' || c == ':' || c == '"' || c == '<' || c == '>' ||
            c == '|' || (IsWildcard(c) && !wildcards))
            return false;
    }
    return true;
}

// "\a\b\name": at least `least` names, each plain, wildcards in the last one only.
bool PlainRelative(std::string_view path, size_t least, bool lastWildcards) {
    if (path.empty() || path[0] != '\\')
        return false;
    size_t count = 0;
    for (size_t at = 1;;) {
        const size_t slash = path.find('\\', at);
        const bool last = slash == std::string_view::npos;
        if (!PlainName(path.substr(at, last ? std::string_view::npos : slash - at),
                       last && lastWildcards))
            return false;
        ++count;
        if (last)
            break;
        at = slash + 1;
    }
    return count >= least;
}

bool HasWildcard(std::string_view text) {
    return std::any_of(text.begin(), text.end(), IsWildcard);
}

// A full path on a drive: "X:", "X:\" or "X:\a\b" with plain names.
bool FullDrivePath(std::string_view path) {
    if (path.size() < 2 || path[1] != ':' ||
        !((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z')))
        return false;
    const std::string_view rest = path.substr(2);
    return rest.empty() || rest == "\\" || PlainRelative(rest, 1, false);
}

// "ROOT\path" with a root's full name in any letter case and no empty key name: the key
// path with the root's full name, or nothing.
std::optional<std::string> KeyWithFullRoot(std::string_view key) {
    const size_t slash = key.find('\\');
    if (slash == std::string_view::npos || slash + 1 >= key.size() || key.back() == '\\' ||
        key.find("\\\\") != std::string_view::npos)
        return std::nullopt;
    const std::string root = RootNameFromHandle(RootHandleFromName(key.substr(0, slash)));
    if (root.empty())
        return std::nullopt;
    return root + std::string(key.substr(slash));
}

// A registry export's text as bytes: UTF-16 (after its byte-order mark) with every code
// unit above 127 written as UTF-8, so that it compares like for like; anything else as it is.
std::string ExportBytes(std::string_view raw) {
    if (raw.size() < 2 || static_cast<unsigned char>(raw[0]) != 0xFF ||
        static_cast<unsigned char>(raw[1]) != 0xFE)
        return std::string(raw);
    std::string out;
    out.reserve(raw.size() / 2);
    for (size_t i = 2; i + 1 < raw.size(); i += 2) {
        const unsigned u = static_cast<unsigned char>(raw[i]) |
                           (static_cast<unsigned>(static_cast<unsigned char>(raw[i + 1])) << 8);
        if (u < 0x80) {
            out.push_back(static_cast<char>(u));
        } else if (u < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (u >> 6)));
            out.push_back(static_cast<char>(0x80 | (u & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xE0 | (u >> 12)));
            out.push_back(static_cast<char>(0x80 | ((u >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (u & 0x3F)));
        }
    }
    return out;
}

std::string_view TrimBlanks(std::string_view text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

} // namespace

IndexFields SplitIndexLine(std::string_view line) {
    IndexFields fields;
    const size_t comma = line.rfind(',');
    if (comma == std::string_view::npos)
        return fields;
    fields.first = line.substr(0, comma);
    if (comma + 2 < line.size())
        fields.second = line.substr(comma + 2);
    fields.ok = true;
    return fields;
}

RestoreItem ReadRestoreLine(std::string_view line, BackupKind kind, std::string_view store) {
    RestoreItem item;
    const IndexFields fields = SplitIndexLine(line);
    if (!fields.ok)
        return item;
    switch (kind) {
    case BackupKind::File:
        item.copy = fields.first;
        item.copyOk = PlainRelative(item.copy, 2, true);
        break;
    case BackupKind::Dir:
        item.copy = "\\" + fields.first;
        item.copyOk = PlainName(fields.first, true);
        break;
    case BackupKind::Reg:
        item.copy = "\\" + fields.second;
        item.copyOk = PlainName(fields.second, false) && Lower(fields.second).ends_with(".dat");
        if (auto key = KeyWithFullRoot(fields.first)) {
            item.origin = *key;
            item.originOk = true;
        }
        return item;
    }
    item.pattern = item.copyOk && HasWildcard(item.copy);
    item.origin = fields.second;
    if (item.origin.size() == 2)
        item.origin += '\\'; // "C:" is the parent of a folder or file in the drive's root
    item.originOk = FullDrivePath(item.origin) && !PathInside(item.origin, store);
    return item;
}

bool PathInside(std::string_view path, std::string_view folder) {
    const std::string p = NormalizePath(path), f = NormalizePath(folder);
    return p.starts_with(f) &&
           (p.size() == f.size() || p[f.size()] == '\\' || (!f.empty() && f.back() == '\\'));
}

bool PathsOverlap(std::string_view a, std::string_view b) {
    return PathInside(a, b) || PathInside(b, a);
}

std::optional<std::vector<std::string>> ReadRegExport(std::string_view raw) {
    const std::string text = ExportBytes(raw);
    std::vector<std::string> entries;
    std::string key;
    bool header = false;
    std::string logical;
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos)
            end = text.size();
        std::string_view piece(text.data() + at, end - at);
        at = end + 1;
        if (!piece.empty() && piece.back() == '\r')
            piece.remove_suffix(1);
        // a line ending in "\" goes on in the next one, whose leading blanks are dropped
        logical += logical.empty() ? piece : TrimBlanks(piece);
        if (!logical.empty() && logical.back() == '\\' && at < text.size()) {
            logical.pop_back();
            continue;
        }
        const std::string_view whole = TrimBlanks(logical);
        if (whole.empty() || whole[0] == ';') {
            logical.clear();
            continue;
        }
        if (!header) {
            if (whole != "REGEDIT4" && whole != "Windows Registry Editor Version 5.00")
                return std::nullopt;
            header = true;
        } else if (whole.front() == '[' && whole.back() == ']') {
            if (whole.size() < 3 || whole[1] == '-')
                return std::nullopt; // "[-key]" deletes a key
            key = Lower(whole.substr(1, whole.size() - 2));
            entries.push_back("[" + key + "]");
        } else if (!key.empty() && (whole[0] == '"' || whole[0] == '@')) {
            std::string name = "@";
            size_t i = 1;
            if (whole[0] == '"') {
                name.clear();
                for (; i < whole.size() && whole[i] != '"'; ++i) {
                    if (whole[i] == '\\' && i + 1 < whole.size())
                        ++i;
                    name += LowerAscii(whole[i]);
                }
                if (i >= whole.size())
                    return std::nullopt;
                ++i;
            }
            const std::string_view rest = TrimBlanks(whole.substr(i));
            if (rest.empty() || rest[0] != '=')
                return std::nullopt;
            std::string data(TrimBlanks(rest.substr(1)));
            if (data == "-")
                return std::nullopt; // "name"=- deletes a value
            if (data.empty() || data[0] != '"')
                std::erase_if(data, [](char c) { return c == ' ' || c == '\t'; });
            entries.push_back("[" + key + "]\n" + name + "=" + data);
        } else {
            return std::nullopt;
        }
        logical.clear();
    }
    if (!header)
        return std::nullopt;
    return entries;
}

bool ExportIsOfKey(const std::vector<std::string>& entries, std::string_view key) {
    const std::string top = "[" + Lower(key);
    if (std::find(entries.begin(), entries.end(), top + "]") == entries.end())
        return false;
    for (const std::string& entry : entries) {
        const std::string_view section = std::string_view(entry).substr(0, entry.find('\n'));
        if (!section.starts_with(top) ||
            (section.size() != top.size() + 1 && section[top.size()] != '\\'))
            return false;
    }
    return true;
}

std::vector<std::string> IndexLines(std::string_view text) {
    return NonEmptyLines(text);
}

std::string IndexText(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
}

std::vector<std::string> KeptLines(const std::vector<std::string>& lines,
                                   const std::vector<bool>& restored) {
    std::vector<std::string> kept;
    for (size_t i = 0; i < lines.size(); ++i)
        if (i >= restored.size() || !restored[i])
            kept.push_back(lines[i]);
    return kept;
}

bool IsRunOf(std::string_view name, BackupKind kind) {
    // the suffix without its leading "_": "FileBackup", "DirBackup", "RegBackup"
    return name.ends_with(KindSuffix(kind).substr(1));
}

std::string LogEntryName(std::string_view fileName) {
    const size_t dot = fileName.rfind('.');
    return std::string(dot == std::string_view::npos ? fileName : fileName.substr(0, dot));
}

} // namespace tw
