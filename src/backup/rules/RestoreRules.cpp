#include "backup/rules/RestoreRules.h"
#include "core/TextFile.h"

namespace tw {

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

std::vector<std::string> IndexLines(std::string_view text) {
    std::vector<std::string> lines;
    for (std::string_view line : SplitCrLf(text))
        if (!line.empty())
            lines.emplace_back(line);
    return lines;
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
