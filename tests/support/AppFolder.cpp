#include "AppFolder.h"

#include <windows.h>

#include <algorithm>
#include <fstream>
#include <sstream>

namespace tw::gui {

std::string WinPath(const char* unixPath) {
    std::string p = std::string("Z:") + unixPath;
    std::replace(p.begin(), p.end(), '/', '\\');
    return p;
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteAll(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

bool PathExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<std::string> FolderNames(const std::string& dir) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA f;
    HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &f);
    if (h == INVALID_HANDLE_VALUE)
        return names;
    do {
        std::string name = f.cFileName;
        if (name != "." && name != "..")
            names.push_back(name);
    } while (FindNextFileA(h, &f));
    FindClose(h);
    std::sort(names.begin(), names.end());
    return names;
}

void RemoveTree(const std::string& dir) {
    for (const std::string& name : FolderNames(dir)) {
        std::string p = dir + "\\" + name;
        DWORD a = GetFileAttributesA(p.c_str());
        SetFileAttributesA(p.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY))
            RemoveTree(p);
        else
            DeleteFileA(p.c_str());
    }
    RemoveDirectoryA(dir.c_str());
}

bool MakeProgramFolder(const std::string& folder, const std::string& programDir,
                       const std::vector<std::string>& files) {
    RemoveTree(folder);
    std::string parent = folder.substr(0, folder.find_last_of('\\'));
    CreateDirectoryA(parent.c_str(), nullptr);
    if (!CreateDirectoryA(folder.c_str(), nullptr))
        return false;
    for (const std::string& file : files)
        if (!CopyFileA((programDir + "\\" + file).c_str(), (folder + "\\" + file).c_str(), FALSE))
            return false;
    return true;
}

} // namespace tw::gui
