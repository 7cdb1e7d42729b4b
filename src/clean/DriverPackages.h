#pragma once
// The driver packages Windows keeps after a driver is gone, from which it would install
// that driver again: on the NT family Inf\oemNN.inf with its compiled .pnf and its
// catalog in the system folder's CatRoot; on Windows 95, 98 and Me the .inf files of
// Inf\Other.
#include "clean/rules/InfFile.h"

#include <string>
#include <vector>

namespace tw {

// One file of a package, in the form of a file entry: the backup and the restore treat
// it as the [FILES] (kind "1") or [SYSTEMFILES] (kind "2") entry it would be.
struct PackageFile {
    std::string Entry; // below Base, beginning with "\"
    std::string Base;  // the Windows folder or the system folder
    const char* Kind = "1";
    std::string FullPath() const { return Base + Entry; }
};

struct DriverPackage {
    std::string Name; // the .inf file name
    std::string Class;
    std::string Provider;
    bool Installed = false;         // an oemNN.inf that Windows installed (NT family)
    std::vector<PackageFile> Files; // the .inf, then its .pnf and catalog(s) when present
};

// The packages of this system that `rule` matches, in listing order. Only files that a
// plain listing sees are part of a package (hidden and system files are left alone).
std::vector<DriverPackage> FindDriverPackages(const PackageRule& rule);

// Removes the package: through SetupUninstallOEMInfA when the system has it and the
// package is installed, then by deleting whichever of its files are still there.
void RemoveDriverPackage(const DriverPackage& package);

} // namespace tw
