#pragma once
// Reading cleaning-filter text (authored sources with "#" lines, or unpacked filters)
// and judging whether an entry is safe to ship. Platform-free.
#include "clean/rules/FilterText.h"

#include <string>
#include <string_view>
#include <vector>

namespace tw::seed {

using Section = FilterSection;

struct FilterEntry {
    Section section;
    std::string text;
};

// The entries in file order. Lines end with LF or CR LF; empty lines and lines beginning
// with "#" are skipped; the six headers switch the section (the first is [FILES]).
std::vector<FilterEntry> ReadFilterEntries(std::string_view text);

bool HasWildcard(std::string_view name);
// A name that the pattern matches: "*" becomes "TW01" and "?" becomes "x".
std::string ConcreteName(std::string_view pattern);

// The seven full root names that registry entries may start with.
bool IsRootName(std::string_view name);

// Why an entry must not be shipped (it could hit something of Windows or of another
// vendor, or the program would refuse it anyway); empty when the entry is fine.
std::vector<std::string> SafetyProblems(const FilterEntry& entry);

} // namespace tw::seed
