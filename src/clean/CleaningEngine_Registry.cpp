// The registry half of the cleaning engine: key entries, value entries, search entries
// and the handler that records search hits in the found-keys file.
#include "clean/CleaningEngine.h"
#include "core/AppError.h"
#include "registry/Registry.h"
#include "registry/cRegSearch.h"
#include "registry/rules/RegistryRules.h"

namespace tw {

namespace {

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
        Items().Refused(entry);
        return;
    }
    Items().Key(root, *key, entry);
}

void CleaningEngine::DeleteRegistryValue(const std::string& entry) {
    const std::optional<ValueEntry> value = SplitValueEntry(entry);
    if (!value || HasNul(entry))
        return;
    Items().Value(RootKeyFromName(value->Root), *value);
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
    Items().SearchHit(sRootKey + "\\" + CutHitEnding(sKey));
}

} // namespace tw
