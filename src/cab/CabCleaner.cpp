#include "cab/CabCleaner.h"

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

std::string ExtractionCommand(const std::string& cabinet, const std::string& folder) {
    std::string tool = GetWindowsDir() + "\\extract.exe";
    if (!FileFound(tool))
        tool = ProgramFolder() + "\\extract.exe";
    return Quoted(tool) + " " + Quoted(cabinet) + " /y /e /l " + Quoted(folder);
}

std::vector<std::string> FilesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& found :
         win::ListDirectory(folder + "\\*.*", win::kListHidden | win::kListSystem))
        names.push_back(found.Name);
    return names;
}

void DeleteDriverFiles(const std::string& folder) {
    for (const std::string& name : FilesIn(folder)) {
        if (!StartsWithNoCase(name, "ati") && !StartsWithNoCase(name, "nv"))
            continue;
        const std::string path = folder + "\\" + name;
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path.c_str());
    }
}

void RebuildCabinet(const CabLibrary& library, const std::string& cabinet,
                    const std::string& folder, const std::vector<std::string>& names,
                    const RebuildHooks& hooks) {
    if (cabinet.find_first_not_of(' ') == std::string::npos)
        return;
    if (library.CABCOMPRESSINITIALIZE() == 0) {
        hooks.ReportError(LookupText("0027"));
        return;
    }
    const LONG handle = library.CABCREATE(cabinet);
    if (handle == 0) {
        hooks.ReportError(LookupText("0028"));
        return;
    }
    for (const std::string& name : names) {
        if (library.CABADDFILE(handle, folder + "\\" + name, "") == 0)
            hooks.ReportError(name + " " + LookupText("0029"));
        hooks.AfterFile();
    }
    library.CABCLOSE(handle);
    library.CABCOMPRESSTERMINATE();
}

} // namespace tw
