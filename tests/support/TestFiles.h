#pragma once
// What the Windows tests share: files, folders and registry keys made, read and removed
// straight through the platform, never through the code under test; throwaway folders.
#include "win/Handle.h"

#include <windows.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace twtest {

inline bool Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

inline bool IsDir(const std::string& path) {
    DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

inline void MakeDir(const std::string& path) {
    CreateDirectoryA(path.c_str(), nullptr);
}

inline void AddAttributes(const std::string& path, DWORD attributes) {
    SetFileAttributesA(path.c_str(), GetFileAttributesA(path.c_str()) | attributes);
}

inline void WriteAll(const std::string& path, const std::string& content) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << content;
}

// The whole file; "" when it cannot be read.
inline std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A registry export is UTF-16: its ASCII characters, the rest dropped.
inline std::string ReadExportText(const std::string& path) {
    const std::string raw = ReadAll(path);
    std::string out;
    for (size_t i = 0; i + 1 < raw.size(); i += 2)
        if (raw[i + 1] == 0 && raw[i] != 0)
            out += raw[i];
    return out;
}

// The short (8.3) name of a path; the path itself when it has none.
inline std::string ShortName(const std::string& path) {
    char buffer[MAX_PATH];
    const DWORD n = GetShortPathNameA(path.c_str(), buffer, MAX_PATH);
    return n > 0 && n < MAX_PATH ? std::string(buffer, n) : path;
}

// Names in a folder, "." and ".." left out, sorted.
inline std::vector<std::string> FolderNames(const std::string& dir) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA f;
    tw::win::UniqueFind h(FindFirstFileA((dir + "\\*").c_str(), &f));
    for (bool more = bool(h); more; more = FindNextFileA(h.get(), &f))
        if (const std::string name = f.cFileName; name != "." && name != "..")
            names.push_back(name);
    std::sort(names.begin(), names.end());
    return names;
}

// Removes a file or a tree whatever its attributes; a link is removed, never followed.
inline void RemoveTree(const std::string& path) {
    DWORD a = GetFileAttributesA(path.c_str());
    if (a == INVALID_FILE_ATTRIBUTES)
        return;
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL | (a & FILE_ATTRIBUTE_DIRECTORY));
    if (!(a & FILE_ATTRIBUTE_DIRECTORY)) {
        DeleteFileA(path.c_str());
        return;
    }
    if (!(a & FILE_ATTRIBUTE_REPARSE_POINT))
        for (const std::string& name : FolderNames(path))
            RemoveTree(path + "\\" + name);
    RemoveDirectoryA(path.c_str());
}

// Below `root`, with the folders above them: files "path=content", files "path" holding
// their own name, and folders "path\".
inline void MakeFiles(const std::string& root, const std::vector<std::string>& entries) {
    for (const std::string& entry : entries) {
        const size_t equals = entry.find('=');
        const std::string path = root + "\\" + entry.substr(0, equals);
        for (size_t at = root.size() + 1; (at = path.find('\\', at)) != std::string::npos;)
            MakeDir(path.substr(0, at++));
        if (!path.ends_with('\\'))
            WriteAll(path, equals == std::string::npos ? path.substr(path.rfind('\\') + 1)
                                                       : entry.substr(equals + 1));
    }
}

// A fresh folder below the temporary folder, removed again with everything in it.
class Scratch {
  public:
    explicit Scratch(const std::string& name) {
        char temp[MAX_PATH + 1];
        const DWORD n = GetTempPathA(MAX_PATH, temp); // ends with "\"
        path_ = std::string(temp, n) + "tw " + name + "_" + std::to_string(GetCurrentProcessId());
        RemoveTree(path_);
        MakeDir(path_);
    }
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;
    ~Scratch() { RemoveTree(path_); }
    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& rest) const { return path_ + "\\" + rest; }

  private:
    std::string path_;
};

// ---- registry --------------------------------------------------------------------------

inline bool SetString(HKEY root, const std::string& path, const std::string& name,
                      const std::string& value, DWORD type = REG_SZ) {
    return RegSetKeyValueA(root, path.c_str(), name.c_str(), type, value.c_str(),
                           static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
}

inline bool CreateKey(HKEY root, const std::string& path) {
    tw::win::UniqueKey k;
    return RegCreateKeyA(root, path.c_str(), k.put()) == ERROR_SUCCESS;
}

inline bool KeyExists(HKEY root, const std::string& path) {
    tw::win::UniqueKey k;
    return RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, k.put()) == ERROR_SUCCESS;
}

inline bool ValueExists(HKEY root, const std::string& path, const std::string& name) {
    return RegGetValueA(root, path.c_str(), name.c_str(), RRF_RT_ANY, nullptr, nullptr, nullptr) ==
           ERROR_SUCCESS;
}

inline void DeleteKeyTree(HKEY root, const std::string& path) {
    RegDeleteTreeA(root, path.c_str());
    RegDeleteKeyA(root, path.c_str());
}

} // namespace twtest
