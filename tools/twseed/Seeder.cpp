#include "Seeder.h"

#include "decode/clsProtection.h"
#include "win/Handle.h"

#include <windows.h>

#include <fstream>
#include <iterator>
#include <vector>

namespace tw::seed {

namespace {

using tw::win::UniqueKey;

std::string Folder(UINT(WINAPI* query)(LPSTR, UINT)) {
    char buf[MAX_PATH] = {};
    UINT n = query(buf, MAX_PATH);
    return std::string(buf, n < MAX_PATH ? n : 0);
}

std::string ProgramFilesDir() {
    char buf[MAX_PATH] = {};
    DWORD size = sizeof buf - 1;
    if (RegGetValueA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion",
                     "ProgramFilesDir", RRF_RT_REG_SZ, nullptr, buf, &size) != ERROR_SUCCESS)
        return {};
    return buf;
}

std::string BasePath(Base base) {
    switch (base) {
    case Base::WindowsFolder:
        return Folder(GetWindowsDirectoryA);
    case Base::SystemFolder:
        return Folder(GetSystemDirectoryA);
    case Base::ProgramFiles:
        return ProgramFilesDir();
    case Base::WindowsDrive:
        return Folder(GetWindowsDirectoryA).substr(0, 2);
    case Base::Registry:
        break;
    }
    return {};
}

struct RegPath {
    HKEY root = nullptr;
    std::string key;
    std::string value;
};

RegPath SplitRegistry(const std::string& path, bool withValue) {
    static const std::pair<const char*, HKEY> roots[] = {
        {"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},
        {"HKEY_CURRENT_USER", HKEY_CURRENT_USER},
        {"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
        {"HKEY_USERS", HKEY_USERS},
        {"HKEY_CURRENT_CONFIG", HKEY_CURRENT_CONFIG}};
    RegPath r;
    size_t first = path.find('\\');
    if (first == std::string::npos)
        return r;
    for (const auto& [name, h] : roots) {
        if (path.compare(0, first, name) == 0 && std::string(name).size() == first)
            r.root = h;
    }
    r.key = path.substr(first + 1);
    if (withValue) {
        size_t last = r.key.rfind('\\');
        if (last == std::string::npos)
            return {};
        r.value = r.key.substr(last + 1);
        r.key.resize(last);
    }
    return r;
}

bool MakeFolders(const std::string& path) {
    // every missing folder on the way, from the first below the drive
    for (size_t i = 3; i <= path.size(); ++i) {
        if (i == path.size() || path[i] == '\\') {
            std::string part = path.substr(0, i);
            if (!CreateDirectoryA(part.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
                return false;
        }
    }
    return true;
}

bool WriteFile(const std::string& path, DWORD attributes = FILE_ATTRIBUTE_NORMAL,
               const std::string& content = {}) {
    size_t cut = path.find_last_of('\\');
    if (cut != std::string::npos && !MakeFolders(path.substr(0, cut)))
        return false;
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    {
        std::ofstream f(path, std::ios::binary | std::ios::trunc);
        if (!f)
            return false;
        f << (content.empty() ? "sample left behind by a display driver (twseed)\r\n" : content);
        if (!f)
            return false;
    }
    return SetFileAttributesA(path.c_str(), attributes) != FALSE;
}

bool FillFolder(const std::string& dir, bool rich) {
    if (!MakeFolders(dir) || !WriteFile(dir + "\\readme.txt"))
        return false;
    if (!rich)
        return true;
    return WriteFile(dir + "\\settings.ini", FILE_ATTRIBUTE_READONLY) &&
           WriteFile(dir + "\\desktop.ini", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM) &&
           WriteFile(dir + "\\Bin\\x64\\driver.dll", FILE_ATTRIBUTE_READONLY) &&
           WriteFile(dir + "\\Logs\\install.log") &&
           SetFileAttributesA((dir + "\\Logs").c_str(), FILE_ATTRIBUTE_HIDDEN);
}

bool DeleteTree(const std::string& dir) {
    WIN32_FIND_DATAA fd;
    tw::win::UniqueFind find(FindFirstFileA((dir + "\\*").c_str(), &fd));
    bool ok = true;
    if (find) {
        do {
            std::string name = fd.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string full = dir + "\\" + name;
            SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                ok = DeleteTree(full) && ok;
            else
                ok = DeleteFileA(full.c_str()) && ok;
        } while (FindNextFileA(find.get(), &fd));
    }
    SetFileAttributesA(dir.c_str(), FILE_ATTRIBUTE_NORMAL);
    return RemoveDirectoryA(dir.c_str()) && ok;
}

bool SetString(HKEY key, const char* name, const std::string& data) {
    return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                          static_cast<DWORD>(data.size() + 1)) == ERROR_SUCCESS;
}

bool SetDword(HKEY key, const char* name, DWORD data) {
    return RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                          sizeof data) == ERROR_SUCCESS;
}

bool CreateKey(const Item& item) {
    RegPath r = SplitRegistry(item.create, false);
    if (!r.root)
        return false;
    UniqueKey key;
    if (RegCreateKeyExA(r.root, r.key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.put(),
                        nullptr) != ERROR_SUCCESS)
        return false;
    bool ok = SetString(key.get(), "DisplayName", "twseed sample") &&
              SetString(key.get(), nullptr, "sample") &&
              // a service key that Windows must never start
              SetDword(key.get(), "Start", 4);
    if (item.role == Role::Leftover && item.create == item.path) {
        UniqueKey sub;
        const BYTE blob[3] = {0x0A, 0x1B, 0xFF};
        ok = ok &&
             RegCreateKeyExA(key.get(), "Settings\\Profiles", 0, nullptr, 0, KEY_ALL_ACCESS,
                             nullptr, sub.put(), nullptr) == ERROR_SUCCESS &&
             RegSetValueExA(sub.get(), "Data", 0, REG_BINARY, blob, sizeof blob) == ERROR_SUCCESS &&
             SetDword(sub.get(), "Version", 1);
    }
    return ok;
}

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return in ? std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>())
              : std::string();
}

// One line per entry below `dir`, depth first in listing order.
std::string TreePicture(const std::string& dir, const std::string& below = "") {
    std::string picture;
    WIN32_FIND_DATAA fd;
    tw::win::UniqueFind find(FindFirstFileA((dir + below + "\\*").c_str(), &fd));
    if (!find)
        return picture;
    do {
        const std::string name = fd.cFileName;
        if (name == "." || name == "..")
            continue;
        const std::string rel = below + "\\" + name;
        const DWORD kept = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                           FILE_ATTRIBUTE_DIRECTORY;
        picture += rel + " " + std::to_string(fd.dwFileAttributes & kept) + "\n";
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            picture += TreePicture(dir, rel);
        else
            picture += ReadBytes(dir + rel) + "\n";
    } while (FindNextFileA(find.get(), &fd));
    return picture;
}

// The registry tool's export of `key` (full root name first).
std::string KeyExport(const std::string& key) {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string file = std::string(temp) + "twseed-export.reg";
    DeleteFileA(file.c_str());
    std::string command = "regedit.exe /e \"" + file + "\" \"" + key + "\"";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                        nullptr, &si, &pi))
        return {};
    WaitForSingleObject(pi.hProcess, 60000);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    std::string bytes = ReadBytes(file);
    DeleteFileA(file.c_str());
    return bytes;
}

} // namespace

std::string Picture(const Item& item) {
    if (!Exists(item))
        return {};
    if (item.existing)
        return "present"; // what Windows keeps in its own items changes by itself
    switch (item.kind) {
    case Kind::File:
        return ReadBytes(FullPath(item));
    case Kind::Folder:
        return TreePicture(FullPath(item));
    case Kind::Key:
        return KeyExport(item.path);
    case Kind::Value: {
        RegPath r = SplitRegistry(item.path, true);
        char data[1024] = {};
        DWORD size = sizeof data;
        RegGetValueA(r.root, r.key.c_str(), r.value.c_str(), RRF_RT_ANY, nullptr, data, &size);
        return std::string(data, size < sizeof data ? size : 0);
    }
    }
    return {};
}

std::string FullPath(const Item& item) {
    if (item.base == Base::Registry)
        return item.path;
    return BasePath(item.base) + item.path;
}

bool Create(const Item& item) {
    if (item.existing)
        return true;
    switch (item.kind) {
    case Kind::File:
        return WriteFile(FullPath(item), FILE_ATTRIBUTE_NORMAL, item.content);
    case Kind::Folder:
        return FillFolder(FullPath(item), item.role == Role::Leftover);
    case Kind::Key:
        return CreateKey(item);
    case Kind::Value: {
        RegPath r = SplitRegistry(item.path, true);
        UniqueKey key;
        return r.root &&
               RegCreateKeyExA(r.root, r.key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                               key.put(), nullptr) == ERROR_SUCCESS &&
               SetString(key.get(), r.value.c_str(), "\"C:\\Program Files\\Sample\\tray.exe\"");
    }
    }
    return false;
}

bool Exists(const Item& item) {
    switch (item.kind) {
    case Kind::File: {
        DWORD a = GetFileAttributesA(FullPath(item).c_str());
        return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
    }
    case Kind::Folder: {
        DWORD a = GetFileAttributesA(FullPath(item).c_str());
        return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
    }
    case Kind::Key: {
        RegPath r = SplitRegistry(item.path, false);
        UniqueKey key;
        return r.root &&
               RegOpenKeyExA(r.root, r.key.c_str(), 0, KEY_READ, key.put()) == ERROR_SUCCESS;
    }
    case Kind::Value: {
        RegPath r = SplitRegistry(item.path, true);
        UniqueKey key;
        return r.root &&
               RegOpenKeyExA(r.root, r.key.c_str(), 0, KEY_READ, key.put()) == ERROR_SUCCESS &&
               RegQueryValueExA(key.get(), r.value.c_str(), nullptr, nullptr, nullptr, nullptr) ==
                   ERROR_SUCCESS;
    }
    }
    return false;
}

bool Remove(const Item& item) {
    if (item.existing)
        return false;
    switch (item.kind) {
    case Kind::File: {
        std::string p = FullPath(item);
        SetFileAttributesA(p.c_str(), FILE_ATTRIBUTE_NORMAL);
        return DeleteFileA(p.c_str()) != FALSE;
    }
    case Kind::Folder:
        return DeleteTree(FullPath(item));
    case Kind::Key: {
        RegPath r = SplitRegistry(item.path, false);
        // the key goes with everything below it
        return r.root && RegDeleteTreeA(r.root, r.key.c_str()) == ERROR_SUCCESS;
    }
    case Kind::Value: {
        RegPath r = SplitRegistry(item.path, true);
        UniqueKey key;
        return r.root &&
               RegOpenKeyExA(r.root, r.key.c_str(), 0, KEY_SET_VALUE, key.put()) == ERROR_SUCCESS &&
               RegDeleteValueA(key.get(), r.value.c_str()) == ERROR_SUCCESS;
    }
    }
    return false;
}

const char* StateWord(const Item& item, bool exists) {
    if (item.role == Role::Leftover)
        return exists ? "LEFT" : "GONE";
    return exists ? "KEPT" : "LOST";
}

std::string ReadFilterFile(const std::string& path, bool& ok) {
    ok = false;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return {};
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                    std::istreambuf_iterator<char>());
    bool packed = path.size() > 4 && _stricmp(path.c_str() + path.size() - 4, ".twf") == 0;
    if (packed) {
        try {
            auto len = static_cast<std::int32_t>(bytes.size());
            tw::clsProtection().DecodeByte(bytes, len);
        } catch (...) {
            return {};
        }
    }
    ok = true;
    return std::string(bytes.begin(), bytes.end());
}

} // namespace tw::seed
