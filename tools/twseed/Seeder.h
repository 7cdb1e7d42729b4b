#pragma once
// Creating, checking and removing the items of a seed plan in the Windows of this
// prefix: the real Windows, system and Program Files folders and registry.
#include "SeedPlan.h"

#include <string>

namespace tw::seed {

// The full path shown for an item ("C:\windows\system32\nvcpl.dll", "HKEY_...\key").
std::string FullPath(const Item& item);

// Creates the item (with content: files and subfolders in a folder, some hidden or
// read-only; subkeys and values in a key). An existing look-alike is not touched.
bool Create(const Item& item);
bool Exists(const Item& item);
// Deletes what seeding made (a folder or key with everything below it). Never touches an
// existing look-alike.
bool Remove(const Item& item);

// What an item holds as it stands, to compare before a cleaning run and after its
// restore: a file's bytes; a folder's tree (names, read-only and hidden attributes, file
// bytes); a key's export by the registry tool; a value's data. Empty when it is missing;
// only "present" for the items that Windows has of its own.
std::string Picture(const Item& item);

// The state word of an item: leftovers "GONE" or "LEFT", look-alikes "KEPT" or "LOST".
const char* StateWord(const Item& item, bool exists);

// Reads a filter: a packed .twf file is unpacked, anything else is read as text.
// Sets ok to false when the file cannot be read or unpacked.
std::string ReadFilterFile(const std::string& path, bool& ok);

} // namespace tw::seed
