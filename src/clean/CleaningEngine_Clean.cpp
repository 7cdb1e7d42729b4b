// The clean's side of the engine: what an entry matches is backed up when the settings
// ask for it, listed, and deleted. An item whose backup was asked for and did not produce
// its copy is kept and listed as such.
#include "backup/FileBackup.h"
#include "backup/RegistryBackup.h"
#include "clean/CleaningEngine.h"
#include "core/TextFile.h"
#include "registry/Registry.h"
#include "win/FileFind.h"
#include "win/Files.h"
#include "win/PendingDelete.h"
#include "win/SystemFolders.h"

#include <algorithm>

namespace tw {

namespace {

constexpr std::string_view kProtectedText = "0030";    // not removed: protected
constexpr std::string_view kBackupFailedText = "0031"; // not removed: its backup failed
constexpr std::string_view kInUseText = "0033";        // removed at the next restart

std::string WithoutTrailingSeparators(std::string path) {
    while (path.size() > 3 && (path.back() == '\\' || path.back() == '/'))
        path.pop_back();
    return path;
}

// Deletes every plain file the pattern matches; read-only files stay, files in use are
// left to the next restart and appended to `scheduled`. Returns how many files matched.
size_t DeleteMatchingFiles(const std::string& pattern, std::vector<std::string>& scheduled) {
    const size_t slash = pattern.find_last_of("\\/");
    const std::string parent =
        slash == std::string::npos ? std::string() : pattern.substr(0, slash + 1);
    const auto found = win::ListDirectory(pattern, win::kListNormal);
    for (const auto& file : found) {
        if (DeleteFileOrSchedule(parent + file.Name) == FileDeletion::Scheduled)
            scheduled.push_back(parent + file.Name);
    }
    return found.size();
}

} // namespace

class CleaningEngine::CleanItems final : public ItemSink {
  public:
    explicit CleanItems(CleaningEngine& engine) noexcept : e_(engine), ctx_(engine.ctx_) {}

    void Files(const std::string& entry, const std::string& fullPath, const std::string& baseFolder,
               const char* kind) override {
        if (BackupOn(ctx_.Settings.BackupFiles) &&
            !BackupFile(ctx_.ProgramFolder, entry, ctx_.FilterName, ctx_.RunName, fullPath,
                        baseFolder, kind)) {
            e_.Report(true, kBackupFailedText, fullPath);
            return;
        }
        // What an earlier run left to the restart and is still matched is decided anew.
        CancelDeleteAtRestart(fullPath);
        std::vector<std::string> scheduled;
        if (DeleteMatchingFiles(fullPath, scheduled) > scheduled.size())
            e_.Report(true, "0015", fullPath);
        ReportScheduled(scheduled);
    }

    void Directory(const std::string& fullPath) override {
        if (BackupOn(ctx_.Settings.BackupDir) &&
            !BackupDirectory(ctx_.ProgramFolder, WithoutTrailingSeparators(fullPath),
                             ctx_.FilterName, ctx_.RunName)) {
            e_.Report(true, kBackupFailedText, fullPath);
            return;
        }
        const std::string folder = WithoutTrailingSeparators(fullPath);
        CancelDeleteAtRestart(folder);
        std::vector<std::string> scheduled;
        DeleteFolder(fullPath, &scheduled);
        // The entry's line stands unless the folder it names itself waits for the restart.
        if (std::find(scheduled.begin(), scheduled.end(), folder) == scheduled.end())
            e_.Report(true, "0017", fullPath);
        ReportScheduled(scheduled);
    }

    void Missing(bool directory, const std::string& fullPath) override {
        e_.Report(false, directory ? "0018" : "0016", fullPath);
        // Gone already: a removal left pending by an earlier run would take whatever is
        // put there before the restart.
        CancelDeleteAtRestart(directory ? WithoutTrailingSeparators(fullPath) : fullPath);
    }

    void Refused(const std::string& what) override { e_.Report(true, kProtectedText, what); }

    void Key(HKEY root, const KeyEntry& key, const std::string& entry) override {
        if (BackupOn(ctx_.Settings.BackupReg)) {
            // The counter grows for every key handled with backup on, found or not.
            ++ctx_.ExportCounter;
            const RegistryBackupResult backup =
                BackupRegistryKey(std::to_string(ctx_.ExportCounter), ctx_.FilterName, ctx_.RunName,
                                  key.Path, key.Root, root, ctx_.ProgramFolder);
            if (backup == RegistryBackupResult::ExportFailed) {
                e_.Report(true, kBackupFailedText, entry);
                return;
            }
        }
        Registry::DeleteSubKeys(root, key.Path);
        Registry::DeleteKey(root, key.Path);
    }

    void Value(HKEY root, const ValueEntry& value) override {
        Registry::DeleteValue(root, value.Path, value.Value);
    }

    void SearchHit(const std::string& line) override {
        const std::string file = ctx_.ProgramFolder + "\\" + ctx_.FilterName + ".twr";
        AppendTextLine(file.c_str(), line);
    }

    void Package(const DriverPackage& package) override { e_.CleanPackage(package); }
    void NoPackage(const std::string& entry) override { e_.Report(false, "2131", entry); }

  private:
    void ReportScheduled(const std::vector<std::string>& scheduled) {
        for (const std::string& path : scheduled)
            e_.Report(true, kInUseText, path);
        ctx_.Scheduled.insert(ctx_.Scheduled.end(), scheduled.begin(), scheduled.end());
    }

    bool BackupOn(const std::string& setting) const {
        return ctx_.MakeBackups && RunSettings::On(setting);
    }

    CleaningEngine& e_;
    RunContext& ctx_;
};

std::unique_ptr<ItemSink> CleaningEngine::MakeCleanItems(CleaningEngine& engine) {
    return std::make_unique<CleanItems>(engine);
}

} // namespace tw
