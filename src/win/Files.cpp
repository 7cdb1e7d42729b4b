#include "win/Files.h"

#include "core/Paths.h"
#include "win/FileFind.h"
#include "win/Handle.h"
#include "win/PendingDelete.h"

#include <windows.h>

namespace tw {

namespace {

bool HasWildcard(const std::string& s) {
    return s.find_first_of("*?") != std::string::npos;
}

// Returns true when something in the tree was left to the next restart; the folder is
// then scheduled after it.
bool DeleteTree(const std::string& path, std::vector<std::string>* scheduled) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    bool pending = false;
    if (attributes & FILE_ATTRIBUTE_READONLY)
        SetFileAttributesA(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    // A junction or symbolic link goes as a link; what it points at stays.
    if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        for (const auto& found : win::ListDirectory(path + "\\*", win::kListAll)) {
            if (found.Name == "." || found.Name == "..")
                continue;
            std::string child = path + "\\" + found.Name;
            if (found.Attributes & FILE_ATTRIBUTE_DIRECTORY) {
                pending = DeleteTree(child, scheduled) || pending;
                continue;
            }
            if (found.Attributes & FILE_ATTRIBUTE_READONLY)
                SetFileAttributesA(child.c_str(), found.Attributes & ~FILE_ATTRIBUTE_READONLY);
            if (!scheduled) {
                DeleteFileA(child.c_str());
            } else if (DeleteFileOrSchedule(child) == FileDeletion::Scheduled) {
                scheduled->push_back(child);
                pending = true;
            }
        }
    }
    if (RemoveDirectoryA(path.c_str()) || !pending)
        return false;
    // On 9x nothing schedules a folder: it stays, emptied by the restart.
    if (ScheduleDeleteAtRestart(path))
        scheduled->push_back(path);
    return true;
}

} // namespace

bool FileFound(const std::string& path) {
    // A path ending in a separator names a folder, not files: it matches none (a listing
    // would take it as the folder's contents).
    if (!path.empty() && (path.back() == '\\' || path.back() == '/'))
        return false;
    return win::AnyListed(path, win::kListNormal);
}

bool DirFound(const std::string& path) {
    return win::AnyListed(path, win::kListDirectory);
}

void DeleteFolder(const std::string& path, std::vector<std::string>* scheduled) {
    std::string target = path;
    while (target.size() > 1 && (target.back() == '\\' || target.back() == '/'))
        target.pop_back();
    if (IsRootPath(NormalizePath(target)))
        return; // a drive or share root, or nothing
    size_t slash = target.find_last_of("\\/");
    if (!HasWildcard(target.substr(slash + 1))) {
        DeleteTree(target, scheduled);
        return;
    }
    std::string parent = target.substr(0, slash + 1);
    // The folders a listing with the directory attribute sees, as DirFound and the
    // directory backup do: a hidden or system folder is not taken along unseen.
    for (const auto& found : win::ListDirectory(target, win::kListDirectory)) {
        if (found.Name != "." && found.Name != ".." &&
            (found.Attributes & FILE_ATTRIBUTE_DIRECTORY))
            DeleteTree(parent + found.Name, scheduled);
    }
}

void DeleteDirIfExists(const std::string& path) {
    if (DirFound(path))
        DeleteFolder(path);
}

bool RemoveEmptyDirs(const std::string& path) {
    // Every name is collected before anything below is touched.
    auto names = win::ListDirectory(path + "*", win::kListAll);
    if (names.size() <= 2)
        return RemoveDirectoryA(path.c_str()) != 0;
    for (const auto& found : names) {
        if (found.Name == "." || found.Name == "..")
            continue;
        if (found.Attributes == FILE_ATTRIBUTE_DIRECTORY &&
            !RemoveEmptyDirs(path + found.Name + "\\"))
            return false;
    }
    return true;
}

std::string ReadTextFile(const std::string& path) {
    win::UniqueFileHandle file(CreateFileA(path.c_str(), GENERIC_READ,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return {};
    DWORD high = 0;
    const DWORD low = GetFileSize(file.get(), &high);
    if ((low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) || high != 0 || low > 0x7fffffff)
        return {};
    std::string text(low, '\0');
    size_t done = 0;
    while (done < text.size()) {
        DWORD got = 0;
        if (!ReadFile(file.get(), text.data() + done, static_cast<DWORD>(text.size() - done), &got,
                      nullptr))
            return {};
        if (got == 0)
            break;
        done += got;
    }
    text.resize(done);
    return text;
}

bool WriteWholeFile(const std::string& path, const std::string& text) {
    win::UniqueFileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                           FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file &&
           WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
           written == text.size();
}

} // namespace tw
