#pragma once
// File and folder helpers shared by cleaning, backup, restore and the cab cleaner. Every
// helper is silent: failures give an empty text, False, or simply leave things as they are.
#include <string>
#include <vector>

namespace tw {

// True when a plain listing of `path` yields a name: wildcards allowed in the last
// component; hidden, system files and folders do not count, and a path ending in "\"
// (a folder's name) finds nothing.
bool FileFound(const std::string& path);
// True when a listing with the directory attribute yields a name: a folder, or a plain
// file of that name.
bool DirFound(const std::string& path);

// Deletes the folder `path` (every folder that DirFound would see matching its last
// component, when it holds wildcards) with everything in it, read-only and hidden content included.
// Junctions and symbolic links are removed as links, never followed. Keeps going after a failure; a
// plain file of that name and a drive root are left alone. With `scheduled`, a file in use
// is left to the next restart (see PendingDelete.h) and so is every folder above it in
// the tree, after it; their paths are appended there in the order they were scheduled.
void DeleteFolder(const std::string& path, std::vector<std::string>* scheduled = nullptr);
// DeleteFolder(path) when DirFound(path).
void DeleteDirIfExists(const std::string& path);

// Prunes empty folders below and including `path` (ending with "\"), one level per
// call: a folder with only "." and ".." is removed; otherwise every subfolder whose
// attributes are exactly "directory" is handled the same way, and the folder itself is
// not looked at again. The first failure ends the whole call; returns false then.
bool RemoveEmptyDirs(const std::string& path);

// The whole content of a file; empty when it cannot be opened or read.
std::string ReadTextFile(const std::string& path);

// Replaces the file with `text`. False when it cannot be written whole.
bool WriteWholeFile(const std::string& path, const std::string& text);

} // namespace tw
