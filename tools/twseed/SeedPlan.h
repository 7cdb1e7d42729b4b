#pragma once
// What twseed creates and checks: the leftovers that the shipped filters must remove
// (one for every entry, concrete names for wildcard entries, sample keys for every
// search) and look-alikes that they must leave alone. Platform-free: paths are relative
// to a base folder or start with a full registry root name.
#include "FilterSource.h"

#include <string>
#include <vector>

namespace tw::seed {

enum class Base { WindowsFolder, SystemFolder, ProgramFiles, WindowsDrive, Registry };
enum class Kind { File, Folder, Key, Value };
enum class Role { Leftover, LookAlike };

struct Item {
    Role role;
    Kind kind;
    Base base;
    // Files and folders: "\..." below the base. Keys: "ROOT\key". Values: "ROOT\key\value".
    std::string path;
    // Created by seeding; for a key found by a search this is the deeper key that the
    // search hits, while `path` is the key that has to go.
    std::string create;
    // Already there on every Windows: checked, never created.
    bool existing = false;
    // A file's bytes; empty: a line of sample text.
    std::string content;
};

struct Plan {
    std::vector<Item> items;
    std::vector<std::string> errors; // entries the plan has no sample for
};

// The leftovers of the entries (in their order) followed by the look-alikes, as they lie on
// the NT family or (`windows9x`) on Windows 95, 98 and ME.
Plan MakePlan(const std::vector<FilterEntry>& entries, bool windows9x = false);

// Base and relative path of a [DIRECTORY] entry: "\Program Files..." (exactly, case
// included) lies below the Program Files folder, anything else below the drive root.
std::pair<Base, std::string> DirectoryTarget(const std::string& entry);

} // namespace tw::seed
