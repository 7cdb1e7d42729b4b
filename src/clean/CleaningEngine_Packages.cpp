// The driver-package half of the cleaning engine: [DRIVERPACKAGES] entries.
#include "backup/FileBackup.h"
#include "clean/CleaningEngine.h"

namespace tw {

void CleaningEngine::CleanDriverPackages(const std::string& entry) {
    const std::optional<PackageRule> rule = SplitPackageEntry(entry);
    const std::vector<DriverPackage> packages =
        rule ? FindDriverPackages(*rule) : std::vector<DriverPackage>();
    if (packages.empty())
        Items().NoPackage(entry);
    for (const DriverPackage& package : packages)
        Items().Package(package);
}

void CleaningEngine::CleanPackage(const DriverPackage& package) {
    if (ctx_.MakeBackups && RunSettings::On(ctx_.Settings.BackupFiles)) {
        bool saved = true;
        for (const PackageFile& file : package.Files)
            saved = BackupFile(ctx_.ProgramFolder, file.Entry, ctx_.FilterName, ctx_.RunName,
                               file.FullPath(), file.Base, file.Kind) &&
                    saved;
        if (!saved) { // the whole package stays
            for (const PackageFile& file : package.Files)
                Report(true, "0031", file.FullPath());
            return;
        }
    }
    for (const PackageFile& file : package.Files)
        Report(true, "0015", file.FullPath());
    RemoveDriverPackage(package);
}

} // namespace tw
