// The registry half of the cleaning engine: key entries, value entries, search entries
// and the handler that records search hits in the found-keys file.
#include "clean/CleaningEngine.h"
#include "core/TextFile.h"
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
    StartRegistrySearches({entry});
}

void CleaningEngine::StartRegistrySearches(const std::vector<std::string>& entries) {
    std::vector<cRegSearch::Job> jobs;
    round_ = {};
    for (const std::string& entry : entries) {
        const std::optional<SearchEntry> search = SplitSearchEntry(entry);
        // a root name outside the table gives no number: the entry comes to nothing
        const bool job =
            search && !HasNul(entry) && ParseRootKeyText(RootHandleText(search->Root)).has_value();
        if (job)
            jobs.push_back({RootHandleText(search->Root), std::string(search->Text)});
        round_.Entries.push_back({entry, job});
    }
    Items().Searching(entries);
    if (!jobs.empty()) {
        // the object keeps the values of the last entry, as a search of each would leave it
        search_.SearchFlags(0);
        search_.RootKey(jobs.back().RootKey);
        search_.SearchString(jobs.back().SearchString);
        // the hits arrive through the search events the engine connected when it was made
        search_.DoSearches(jobs);
    }
    while (round_.Next < round_.Entries.size())
        SearchJobFinished();
}

void CleaningEngine::AnnounceSearchJob() {
    while (!round_.Announced && round_.Next < round_.Entries.size()) {
        const auto& [entry, job] = round_.Entries[round_.Next];
        Items().Entry(FilterSection::RegistrySearch, entry);
        if (job)
            round_.Announced = true;
        else
            ++round_.Next;
    }
}

void CleaningEngine::SearchJobFinished() {
    AnnounceSearchJob();
    ++round_.Next;
    round_.Announced = false;
}

void CleaningEngine::cReg_SearchFound(const std::string& sRootKey, const std::string& sKey,
                                      const std::string& /*sValue*/) {
    AnnounceSearchJob();
    if (!ctx_.RecordSearchHits)
        return;
    Items().SearchHit(sRootKey + "\\" + CutHitEnding(sKey));
}

} // namespace tw
