#pragma once
// File-system helpers for the Windows tests: a scratch folder below the temporary
// folder, and small direct file operations that do not go through the code under test.
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

namespace tw::test {

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

inline void WriteFile(const std::string& path, const std::string& content) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    ::WriteFile(h, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
    CloseHandle(h);
}

inline std::string ReadFile(const std::string& path) {
    std::string out;
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return out;
    char buffer[4096];
    DWORD got = 0;
    while (::ReadFile(h, buffer, sizeof buffer, &got, nullptr) && got > 0)
        out.append(buffer, got);
    CloseHandle(h);
    return out;
}

inline void AddAttributes(const std::string& path, DWORD attributes) {
    SetFileAttributesA(path.c_str(), GetFileAttributesA(path.c_str()) | attributes);
}

// Removes a tree whatever its attributes (test clean-up only).
inline void RemoveTree(const std::string& path) {
    DWORD a = GetFileAttributesA(path.c_str());
    if (a == INVALID_FILE_ATTRIBUTES)
        return;
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL | (a & FILE_ATTRIBUTE_DIRECTORY));
    if (!(a & FILE_ATTRIBUTE_DIRECTORY)) {
        DeleteFileA(path.c_str());
        return;
    }
    if (!(a & FILE_ATTRIBUTE_REPARSE_POINT)) {
        WIN32_FIND_DATAA d;
        HANDLE f = FindFirstFileA((path + "\\*").c_str(), &d);
        if (f != INVALID_HANDLE_VALUE) {
            std::vector<std::string> names;
            do {
                std::string n = d.cFileName;
                if (n != "." && n != "..")
                    names.push_back(n);
            } while (FindNextFileA(f, &d));
            FindClose(f);
            for (const auto& n : names)
                RemoveTree(path + "\\" + n);
        }
    }
    RemoveDirectoryA(path.c_str());
}

// Sorted names of a folder (without "." and ".."), each with its size; a picture of
// what a folder holds, to compare before and after.
inline std::vector<std::string> Snapshot(const std::string& folder) {
    std::vector<std::string> out;
    WIN32_FIND_DATAA d;
    HANDLE f = FindFirstFileA((folder + "\\*").c_str(), &d);
    if (f == INVALID_HANDLE_VALUE)
        return out;
    do {
        std::string n = d.cFileName;
        if (n != "." && n != "..")
            out.push_back(n + ":" + std::to_string(d.nFileSizeLow) + ":" +
                          std::to_string(d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY));
    } while (FindNextFileA(f, &d));
    FindClose(f);
    std::sort(out.begin(), out.end());
    return out;
}

inline std::string TempFolder() {
    char buffer[MAX_PATH + 1];
    DWORD n = GetTempPathA(MAX_PATH, buffer);
    std::string t(buffer, n);
    if (!t.empty() && t.back() == '\\')
        t.pop_back();
    return t;
}

// A fresh folder below the temporary folder, removed again with everything in it.
class Scratch {
  public:
    explicit Scratch(const std::string& name)
        : path_(TempFolder() + "\\twfs_" + name + "_" + std::to_string(GetCurrentProcessId())) {
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

} // namespace tw::test
