#include "clean/DriverPackages.h"

#include "win/FileFind.h"
#include "win/Files.h"
#include "win/Handle.h"
#include "win/SystemFolders.h"

#include <windows.h>

namespace tw {

namespace {

// Where Windows 2000, XP and 2003 keep the catalogs of installed packages, below the
// system folder.
constexpr const char* kCatalogFolder = "\\Catroot\\{F750E6C3-38EE-11D1-85E5-00C04FC295EE}\\";

bool NineXFamily() {
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
    return GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;
}

InfArch ThisArch() {
#ifdef _WIN64
    return InfArch::Amd64;
#else
    return InfArch::X86;
#endif
}

std::string BaseName(const std::string& fileName) {
    return fileName.substr(0, fileName.rfind('.'));
}

bool SameName(const std::string& a, const std::string& b) {
    return lstrcmpiA(a.c_str(), b.c_str()) == 0;
}

void AddIfPresent(DriverPackage& package, PackageFile file) {
    for (const PackageFile& listed : package.Files)
        if (SameName(listed.FullPath(), file.FullPath()))
            return;
    if (FileFound(file.FullPath()))
        package.Files.push_back(std::move(file));
}

using UninstallOemInf = BOOL(WINAPI*)(PCSTR, DWORD, PVOID);
constexpr DWORD kForceDelete = 0x00000001; // SUOI_FORCEDELETE

// SetupUninstallOEMInfA of setupapi.dll (XP SP2 and later), loaded at the first use and
// kept for the life of the process; nullptr where the system does not have it.
UninstallOemInf UninstallCall() {
    static win::UniqueModule setupapi(LoadLibraryA("setupapi.dll"));
    static const UninstallOemInf call =
        setupapi ? reinterpret_cast<UninstallOemInf>(reinterpret_cast<void*>(
                       GetProcAddress(setupapi.get(), "SetupUninstallOEMInfA")))
                 : nullptr;
    return call;
}

} // namespace

std::vector<DriverPackage> FindDriverPackages(const PackageRule& rule) {
    std::vector<DriverPackage> packages;
    const std::string windows = GetWindowsDir();
    const std::string system = GetSystemDir();
    const bool nineX = NineXFamily();
    const std::string folder = nineX ? "\\Inf\\Other\\" : "\\Inf\\";
    for (const auto& found : win::ListDirectory(windows + folder + "*.inf", win::kListNormal)) {
        if (!nineX && !IsOemInfName(found.Name))
            continue; // the packages of Windows itself
        const std::string entry = folder + found.Name;
        const InfVersion inf = ReadInfVersion(ReadTextFile(windows + entry));
        if (!PackageMatches(rule, inf))
            continue;
        DriverPackage package{found.Name, inf.Class, inf.Provider, !nineX, {}};
        package.Files.push_back({entry, windows, "1"});
        if (!nineX) {
            AddIfPresent(package, {folder + BaseName(found.Name) + ".pnf", windows, "1"});
            // the catalog under the name the package gives it, and under the name of the
            // installed .inf, which is what Windows renames it to when it installs one
            const std::string catalog = CatalogFor(inf, ThisArch());
            if (!catalog.empty())
                AddIfPresent(package, {kCatalogFolder + catalog, system, "2"});
            AddIfPresent(package, {kCatalogFolder + BaseName(found.Name) + ".cat", system, "2"});
        }
        packages.push_back(std::move(package));
    }
    return packages;
}

void RemoveDriverPackage(const DriverPackage& package) {
    if (package.Installed) {
        if (const UninstallOemInf call = UninstallCall())
            call(package.Name.c_str(), kForceDelete, nullptr);
    }
    // what the system's call left (or all of it where there is no such call)
    for (const PackageFile& file : package.Files)
        DeleteFileA(file.FullPath().c_str());
}

} // namespace tw
