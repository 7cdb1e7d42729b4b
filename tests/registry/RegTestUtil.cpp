#include "RegTestUtil.h"

#include <fstream>
#include <iterator>
#include <sstream>

namespace regtest {

void CreateKey(HKEY root, const std::string& path) {
    HKEY k = nullptr;
    ASSERT_EQ(
        RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr),
        ERROR_SUCCESS)
        << path;
    RegCloseKey(k);
}

static void SetRaw(HKEY root, const std::string& path, const std::string& name, DWORD type,
                   const void* data, DWORD size) {
    HKEY k = nullptr;
    ASSERT_EQ(
        RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr),
        ERROR_SUCCESS)
        << path;
    EXPECT_EQ(RegSetValueExA(k, name.c_str(), 0, type, static_cast<const BYTE*>(data), size),
              ERROR_SUCCESS);
    RegCloseKey(k);
}

void SetString(HKEY root, const std::string& path, const std::string& name,
               const std::string& value, DWORD type) {
    SetRaw(root, path, name, type, value.c_str(), static_cast<DWORD>(value.size() + 1));
}

void SetDword(HKEY root, const std::string& path, const std::string& name, DWORD value) {
    SetRaw(root, path, name, REG_DWORD, &value, sizeof value);
}

void SetBinary(HKEY root, const std::string& path, const std::string& name,
               const std::vector<unsigned char>& data) {
    SetRaw(root, path, name, REG_BINARY, data.data(), static_cast<DWORD>(data.size()));
}

bool KeyExists(HKEY root, const std::string& path) {
    HKEY k = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS)
        return false;
    RegCloseKey(k);
    return true;
}

bool ValueExists(HKEY root, const std::string& path, const std::string& name) {
    HKEY k = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS)
        return false;
    const bool found =
        RegQueryValueExA(k, name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    RegCloseKey(k);
    return found;
}

DWORD SubKeyCount(HKEY root, const std::string& path) {
    HKEY k = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS)
        return 0;
    DWORD n = 0;
    RegQueryInfoKeyA(k, nullptr, nullptr, nullptr, &n, nullptr, nullptr, nullptr, nullptr, nullptr,
                     nullptr, nullptr);
    RegCloseKey(k);
    return n;
}

void DeleteTree(HKEY root, const std::string& path) {
    RegDeleteTreeA(root, path.c_str());
    RegDeleteKeyA(root, path.c_str());
}

static void SnapshotInto(HKEY root, const std::string& path, std::vector<std::string>& out) {
    HKEY k = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS)
        return;
    out.push_back("[" + path + "]");
    for (DWORD i = 0;; ++i) {
        char name[16384];
        DWORD len = sizeof name;
        if (RegEnumValueA(k, i, name, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        out.push_back(path + " value " + std::string(name, len));
    }
    std::vector<std::string> subkeys;
    for (DWORD i = 0;; ++i) {
        char name[260];
        DWORD len = sizeof name;
        if (RegEnumKeyExA(k, i, name, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        subkeys.emplace_back(name, len);
    }
    RegCloseKey(k);
    for (const std::string& sub : subkeys)
        SnapshotInto(root, path + "\\" + sub, out);
}

std::vector<std::string> Snapshot(HKEY root, const std::string& path) {
    std::vector<std::string> out;
    SnapshotInto(root, path, out);
    return out;
}

bool FileExists(const std::string& path) {
    const DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string ReadExportText(const std::string& path) {
    const std::string raw = ReadWholeFile(path);
    std::string out;
    for (size_t i = 0; i + 1 < raw.size(); i += 2)
        if (raw[i + 1] == 0 && raw[i] != 0)
            out += raw[i];
    return out;
}

void RemoveFolderTree(const std::string& path) {
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((path + "\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = fd.cFileName;
            if (name == "." || name == "..")
                continue;
            const std::string full = path + "\\" + name;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveFolderTree(full);
            else {
                SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(full.c_str());
            }
        } while (FindNextFileA(h, &fd));
        FindClose(h);
    }
    RemoveDirectoryA(path.c_str());
}

int FileCount(const std::string& folder) {
    int n = 0;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((folder + "\\*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE)
        return 0;
    do {
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            ++n;
    } while (FindNextFileA(h, &fd));
    FindClose(h);
    return n;
}

void RegistryFixture::SetUp() {
    DeleteTree(HKEY_CURRENT_USER, kTestKey);
    DeleteTree(HKEY_LOCAL_MACHINE, kTestKey);
    CreateKey(HKEY_CURRENT_USER, kTestKey);
    CreateKey(HKEY_LOCAL_MACHINE, kTestKey);
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    programFolder_ = std::string(temp) + "tw reg test";
    RemoveFolderTree(programFolder_);
    ASSERT_TRUE(CreateDirectoryA(programFolder_.c_str(), nullptr));
}

void RegistryFixture::TearDown() {
    DeleteTree(HKEY_CURRENT_USER, kTestKey);
    DeleteTree(HKEY_LOCAL_MACHINE, kTestKey);
    RemoveFolderTree(programFolder_);
}

} // namespace regtest
