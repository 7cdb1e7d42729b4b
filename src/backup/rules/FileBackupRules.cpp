#include "backup/rules/FileBackupRules.h"

#include "backup/BackupStore.h"

namespace tw {

BackupSubFolder BackupSubFolderFor(std::string_view entry, std::string_view kind) {
    auto begins = [&](std::string_view prefix) { return entry.substr(0, prefix.size()) == prefix; };
    if (begins("\\Inf\\Other"))
        return {"\\Inf\\Other", {"\\Inf", "\\Inf\\Other"}, true};
    // No other prefix begins "\LastGood", so testing it before the single folders keeps
    // the order of the table.
    if (begins("\\LastGood\\System32"))
        return {"\\LastGood\\System32", {"\\LastGood", "\\LastGood\\System32"}};
    static constexpr std::string_view kSingle[] = {
        "\\Inf",     "\\Help",  "\\Prefetch", "\\ServicePackFiles", "\\ReinstallBackups",
        "\\Drivers", "\\nview", "\\Catroot"};
    for (std::string_view prefix : kSingle) {
        if (begins(prefix))
            return {prefix, {prefix}};
    }
    if (kind == "1")
        return {"\\Windows", {"\\Windows"}};
    return {"\\System", {"\\System"}};
}

std::string_view PathBeforeLastSlash(std::string_view path) {
    size_t slash = path.rfind('\\');
    return slash == std::string_view::npos ? path : path.substr(0, slash);
}

std::string_view PathAfterLastSlash(std::string_view path) {
    size_t slash = path.rfind('\\');
    return slash == std::string_view::npos ? std::string_view() : path.substr(slash + 1);
}

std::string FileIndexLine(std::string_view subFolder, std::string_view fullPath) {
    return IndexLine(std::string(subFolder) + "\\" + std::string(PathAfterLastSlash(fullPath)),
                     PathBeforeLastSlash(fullPath));
}

std::string DirIndexLine(std::string_view dirPath) {
    return IndexLine(PathAfterLastSlash(dirPath), PathBeforeLastSlash(dirPath));
}

} // namespace tw
