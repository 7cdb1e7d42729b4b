#pragma once
// A filter evaluated against this system with nothing written anywhere: the filter is
// decoded in memory, the engine finds what each entry matches, and every item is
// recorded with its size or counts instead of being removed. No working copy, no
// found-keys file, no folder, no registry write.
#include "clean/rules/FilterText.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace tw {

class cRegSearch;

struct PreviewItem {
    enum class Kind { File, Directory, Key, Value, Refused, Package };
    Kind What = Kind::File;
    std::string Path;
    std::uint64_t Files = 0;  // a directory or package: the files at every depth below it
    std::uint64_t Bytes = 0;  // a file: its size; a directory or package: its files' size
    std::uint64_t Keys = 0;   // a key: its subkeys at every depth
    std::uint64_t Values = 0; // a key: the values of it and of its subkeys
    std::uint64_t InUse = 0;  // a file: 1 when it is in use; a directory: its files in use
    bool Repeated = false;    // lies in (or is) an item listed before: it goes with that one
    std::string Detail;       // a driver package: its provider and class
};

// One entry of the filter (or the found-keys file an earlier run left) and what it matches.
struct PreviewEntry {
    std::string Heading; // "[FILES] \nv4_disp.dll"
    std::vector<PreviewItem> Items;
};

struct PreviewResult {
    bool Decoded = false; // false: the filter is missing or cannot be unpacked
    bool Cancelled = false;
    std::vector<PreviewEntry> Entries; // in filter order; found keys under their search
    // Over the items that are not repeated; refusals are counted apart.
    std::uint64_t Items = 0, Files = 0, Bytes = 0, Keys = 0, Refused = 0;
};

// Told the roots (joined by "; ") of the registry search entries whose walk is about to
// start, so that a window can show them.
using PreviewProgress = std::function<void(const std::string& roots)>;

// Evaluates <programFolder>\<filterName>.twf. The search hits are recorded through
// `search`, which the caller may stop; once `*stop` is true no further entry starts and
// the result is marked cancelled.
PreviewResult PreviewFilter(const std::string& programFolder, const std::string& filterName,
                            cRegSearch& search, const PreviewProgress& progress = {},
                            const bool* stop = nullptr);

// The result as plain-text lines: every entry that matches something, its items, and a
// last line with the totals.
std::vector<std::string> PreviewLines(const PreviewResult& result);

} // namespace tw
