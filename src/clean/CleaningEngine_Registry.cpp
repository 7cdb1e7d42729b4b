// The registry half of the cleaning engine: key entries, value entries, search entries
// and the handler that records search hits in the found-keys file.
#include "backup/RegistryBackup.h"
#include "clean/CleaningEngine.h"
#include "core/AppError.h"
#include "core/TextFile.h"
#include "registry/Registry.h"
#include "registry/cRegSearch.h"
#include "registry/rules/RegistryRules.h"

namespace tw {

namespace {

constexpr std::string_view kProtectedText = "0030";    // not removed: protected
constexpr std::string_view kBackupFailedText = "0031"; // not removed: its backup failed

// The registry would see an entry only up to a NUL character, which is not the key the
// entry names: such an entry names nothing.
bool HasNul(const std::string& entry) {
    return entry.find('\0') != std::string::npos;
}

} // namespace

void CleaningEngine::DeleteRegistryKey(const std::string& entry) {
    const std::optional<KeyEntry> key = SplitKeyEntry(entry);
    if (!key || HasNul(entry))
        return;
    const HKEY root = RootKeyFromName(key->Root);

    if (root && IsProtectedKey(key->Root, key->Path)) {
        Report(true, kProtectedText, entry);
        return;
    }

    if (ctx_.MakeBackups && RunSettings::On(ctx_.Settings.BackupReg)) {
        // The counter grows for every key handled with backup on, found or not.
        ++ctx_.ExportCounter;
        const RegistryBackupResult backup =
            BackupRegistryKey(std::to_string(ctx_.ExportCounter), ctx_.FilterName, ctx_.RunName,
                              key->Path, key->Root, root, ctx_.ProgramFolder);
        if (backup == RegistryBackupResult::ExportFailed) {
            Report(true, kBackupFailedText, entry);
            return;
        }
    }

    Registry::DeleteSubKeys(root, key->Path);
    Registry::DeleteKey(root, key->Path);
}

void CleaningEngine::DeleteRegistryValue(const std::string& entry) {
    const std::optional<ValueEntry> value = SplitValueEntry(entry);
    if (!value || HasNul(entry))
        return;
    Registry::DeleteValue(RootKeyFromName(value->Root), value->Path, value->Value);
}

void CleaningEngine::StartRegistrySearch(const std::string& entry) {
    const std::optional<SearchEntry> search = SplitSearchEntry(entry);
    if (!search || HasNul(entry))
        return;
    search_.SearchFlags(0);
    search_.RootKey(RootHandleText(search->Root));
    search_.SearchString(search->Text);
    // the hits arrive through the search events the engine connected when it was made
    try {
        search_.DoSearch();
    } catch (const AppError&) {
        // a root name outside the table is no number: the entry comes to nothing
    }
}

void CleaningEngine::cReg_SearchFound(const std::string& sRootKey, const std::string& sKey,
                                      const std::string& /*sValue*/) {
    if (!ctx_.RecordSearchHits)
        return;
    const std::string file = ctx_.ProgramFolder + "\\" + ctx_.FilterName + ".twr";
    AppendTextLine(file.c_str(), sRootKey + "\\" + CutHitEnding(sKey));
}

} // namespace tw
