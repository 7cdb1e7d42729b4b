#include "cab/CabCleaner.h"

#include "core/Paths.h"
#include "core/Text.h"
#include "win/FileFind.h"
#include "win/Files.h"
#include "win/ProgramFolder.h"
#include "win/SystemFolders.h"

#include <windows.h>

namespace tw {

namespace {

const char* const kCabinetFolders[] = {"\\ServicePackFiles\\i386\\", "\\Driver Cache\\i386\\"};

bool StartsWithNoCase(const std::string& name, const char* prefix) {
    const size_t n = lstrlenA(prefix);
    return name.size() >= n &&
           CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, name.c_str(), static_cast<int>(n),
                          prefix, static_cast<int>(n)) == CSTR_EQUAL;
}

std::string Quoted(const std::string& s) {
    return "\"" + s + "\"";
}

} // namespace

std::vector<std::string> CabFilterNames(const std::string& programFolder) {
    std::vector<std::string> names;
    for (const auto& found : win::ListDirectory(programFolder + "\\*.ccf", win::kListNormal)) {
        const auto dot = found.Name.rfind('.');
        names.push_back(dot == std::string::npos ? found.Name : found.Name.substr(0, dot));
    }
    return names;
}

bool CabinetInstalled(const std::string& entry) {
    const std::string windows = GetWindowsDir();
    for (const char* folder : kCabinetFolders)
        if (FileFound(windows + folder + entry))
            return true;
    return false;
}

std::string CabBaseName(const std::string& entry) {
    return entry.substr(0, entry.find('.'));
}

std::string ExtractionFolder(const std::string& entry) {
    return GetTempDir() + "tmp" + CabBaseName(entry);
}

std::string MakeExtractionFolder(const std::string& entry) {
    const std::string base = ExtractionFolder(entry);
    for (int attempt = 0; attempt < 10; ++attempt) {
        const std::string folder = attempt == 0 ? base : base + std::to_string(attempt);
        DeleteFolder(folder);
        if (CreateDirectoryA(folder.c_str(), nullptr))
            return folder;
    }
    return {};
}

bool IsCabinetLine(const std::string& line) {
    return line.size() > 1 && line[0] == '\\' &&
           line.find_first_of(":*?\"<>|") == std::string::npos && !LeavesBase(line);
}

std::string ExtractionCommand(const std::string& cabinet, const std::string& folder) {
    std::string tool = GetWindowsDir() + "\\extract.exe";
    if (!FileFound(tool))
        tool = ProgramFolder() + "\\extract.exe";
    return Quoted(tool) + " " + Quoted(cabinet) + " /y /e /l " + Quoted(folder);
}

std::vector<std::string> FilesIn(const std::string& folder) {
    std::vector<std::string> names;
    std::vector<std::string> subfolders;
    for (const auto& found : win::ListDirectory(folder + "\\*.*", win::kListAll)) {
        if (!(found.Attributes & FILE_ATTRIBUTE_DIRECTORY))
            names.push_back(found.Name);
        else if (found.Name != "." && found.Name != ".." &&
                 !(found.Attributes & FILE_ATTRIBUTE_REPARSE_POINT))
            subfolders.push_back(found.Name);
    }
    for (const std::string& sub : subfolders)
        for (const std::string& name : FilesIn(folder + "\\" + sub))
            names.push_back(sub + "\\" + name);
    return names;
}

void DeleteDriverFiles(const std::string& folder) {
    for (const std::string& name : FilesIn(folder)) {
        const std::string file = name.substr(name.rfind('\\') + 1);
        if (!StartsWithNoCase(file, "ati") && !StartsWithNoCase(file, "nv"))
            continue;
        const std::string path = folder + "\\" + name;
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path.c_str());
    }
}

bool RebuildCabinet(const CabLibrary& library, const std::string& cabinet,
                    const std::string& folder, const std::vector<std::string>& names,
                    const RebuildHooks& hooks) {
    if (cabinet.find_first_not_of(' ') == std::string::npos)
        return false;
    if (library.CABCOMPRESSINITIALIZE() == 0) {
        hooks.ReportError(LookupText("0027"));
        return false;
    }
    const LONG handle = library.CABCREATE(cabinet);
    if (handle == 0) {
        hooks.ReportError(LookupText("0028"));
        return false;
    }
    bool whole = true;
    for (const std::string& name : names) {
        if (library.CABADDFILE(handle, folder + "\\" + name, name) == 0) {
            hooks.ReportError(name + " " + LookupText("0029"));
            whole = false;
        }
        hooks.AfterFile();
    }
    // A cabinet short of a file is never closed: the library drops it when it ends, and
    // the old cabinet stays.
    whole = whole && library.CABCLOSE(handle) != 0;
    library.CABCOMPRESSTERMINATE();
    return whole;
}

} // namespace tw
