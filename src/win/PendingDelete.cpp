#include "win/PendingDelete.h"

#include "win/Files.h"
#include "win/Handle.h"

#include <windows.h>

#include <string_view>

namespace tw {

namespace {

constexpr const char* kSessionManager = "SYSTEM\\CurrentControlSet\\Control\\Session Manager";
constexpr const wchar_t* kPendingValue = L"PendingFileRenameOperations";

template <typename C> C Fold(C c) {
    return c >= 'a' && c <= 'z' ? static_cast<C>(c - 'a' + 'A') : (c == '/' ? C('\\') : c);
}

// "*" and "?" in `pattern` against `name`, ASCII letters in any case.
template <typename C>
bool WildMatch(std::basic_string_view<C> pattern, std::basic_string_view<C> name) {
    size_t p = 0, n = 0, starP = std::basic_string_view<C>::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (p < pattern.size() && (pattern[p] == '?' || Fold(pattern[p]) == Fold(name[n]))) {
            ++p;
            ++n;
        } else if (starP != std::basic_string_view<C>::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

// True when `path` is what `pattern` names or lies below it.
template <typename C>
bool NamesOrHolds(std::basic_string_view<C> pattern, std::basic_string_view<C> path) {
    while (!pattern.empty() && (pattern.back() == '\\' || pattern.back() == '/'))
        pattern.remove_suffix(1);
    const size_t slash = pattern.find_last_of(C('\\'));
    if (slash == std::basic_string_view<C>::npos || path.size() <= slash)
        return false;
    for (size_t i = 0; i <= slash; ++i) {
        if (Fold(pattern[i]) != Fold(path[i]))
            return false;
    }
    const std::basic_string_view<C> rest = path.substr(slash + 1);
    const size_t end = rest.find(C('\\'));
    return WildMatch(pattern.substr(slash + 1), rest.substr(0, end));
}

bool IsNt() {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;
    return !GetVersionExA(&info) || info.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

template <typename F> F Proc(const char* dll, const char* name) {
    HMODULE module = GetModuleHandleA(dll);
    if (!module)
        module = LoadLibraryA(dll);
    return module ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)))
                  : nullptr;
}

std::wstring Wide(const std::string& text) {
    const int n = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    if (n <= 1)
        return {};
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), n);
    wide.resize(static_cast<size_t>(n - 1));
    return wide;
}

// The registry list: pairs of strings, source ("\??\C:\...") and destination (empty for a
// removal), the last pair followed by one more NUL. The value is read and written through
// the wide functions (loaded at run time: 9x never comes here), so no entry of another
// program passes through a code page.
void CancelInRegistry(const std::string& pattern) {
    using QueryW = LONG(WINAPI*)(HKEY, LPCWSTR, LPDWORD, LPDWORD, LPBYTE, LPDWORD);
    using SetW = LONG(WINAPI*)(HKEY, LPCWSTR, DWORD, DWORD, const BYTE*, DWORD);
    using DeleteW = LONG(WINAPI*)(HKEY, LPCWSTR);
    static const auto query = Proc<QueryW>("advapi32.dll", "RegQueryValueExW");
    static const auto set = Proc<SetW>("advapi32.dll", "RegSetValueExW");
    static const auto remove = Proc<DeleteW>("advapi32.dll", "RegDeleteValueW");
    if (!query || !set || !remove)
        return;
    win::UniqueKey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSessionManager, 0, KEY_QUERY_VALUE | KEY_SET_VALUE,
                      key.put()) != ERROR_SUCCESS)
        return;
    DWORD type = 0, size = 0;
    if (query(key.get(), kPendingValue, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        size < sizeof(wchar_t))
        return;
    std::wstring data(size / sizeof(wchar_t) + 1, L'\0');
    if (query(key.get(), kPendingValue, nullptr, &type, reinterpret_cast<BYTE*>(data.data()),
              &size) != ERROR_SUCCESS)
        return;
    data.resize(size / sizeof(wchar_t));
    const std::wstring target = Wide(pattern);
    if (target.empty())
        return;

    std::wstring kept;
    size_t pos = 0;
    bool removed = false, anyKept = false;
    while (pos < data.size() && data[pos] != L'\0') {
        size_t sourceEnd = data.find(L'\0', pos);
        if (sourceEnd == std::wstring::npos)
            sourceEnd = data.size();
        size_t destEnd = sourceEnd + 1 < data.size() ? data.find(L'\0', sourceEnd + 1) : sourceEnd;
        if (destEnd == std::wstring::npos)
            destEnd = data.size();
        std::wstring_view source(data.data() + pos, sourceEnd - pos);
        if (source.substr(0, 4) == L"\\??\\")
            source.remove_prefix(4);
        const bool removal = destEnd == sourceEnd + 1;
        const size_t next = std::min(destEnd + 1, data.size());
        if (removal && NamesOrHolds<wchar_t>(target, source)) {
            removed = true;
        } else {
            kept.append(data, pos, next - pos);
            anyKept = true;
        }
        pos = next;
    }
    if (!removed)
        return;
    if (!anyKept) {
        remove(key.get(), kPendingValue);
        return;
    }
    kept.append(data, pos, std::wstring::npos); // the closing NUL, as it was
    set(key.get(), kPendingValue, 0, type, reinterpret_cast<const BYTE*>(kept.data()),
        static_cast<DWORD>(kept.size() * sizeof(wchar_t)));
}

std::string WininitPath() {
    char folder[MAX_PATH] = "";
    const UINT n = GetWindowsDirectoryA(folder, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return {};
    std::string path = folder;
    if (path.back() != '\\')
        path += '\\';
    return path + "WININIT.INI";
}

std::string ShortPath(const std::string& path) {
    char buffer[MAX_PATH] = "";
    const DWORD n = GetShortPathNameA(path.c_str(), buffer, MAX_PATH);
    return n > 0 && n < MAX_PATH ? std::string(buffer) : path;
}

std::string ReadWhole(const std::string& path) {
    win::UniqueFileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    std::string text;
    if (!file)
        return text;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr) && got > 0)
        text.append(buffer, got);
    return text;
}

// The lines of WININIT.INI, each with its own line end, and where [rename] is.
struct Wininit {
    std::vector<std::string> Lines;
    size_t Section = std::string::npos; // the header line of [rename]
    size_t End = 0;                     // one past the section's last line

    explicit Wininit(const std::string& text) {
        for (size_t pos = 0; pos < text.size();) {
            size_t end = text.find('\n', pos);
            end = end == std::string::npos ? text.size() : end + 1;
            Lines.push_back(text.substr(pos, end - pos));
            pos = end;
        }
        for (size_t i = 0; i < Lines.size(); ++i) {
            const std::string_view line = Trimmed(Lines[i]);
            if (line.empty() || line.front() != '[')
                continue;
            if (Section != std::string::npos)
                break;
            if (Equal(line, "[rename]")) {
                Section = i;
                End = Lines.size();
                for (size_t j = i + 1; j < Lines.size(); ++j) {
                    if (Trimmed(Lines[j]).substr(0, 1) == "[") {
                        End = j;
                        break;
                    }
                }
            }
        }
    }
    static std::string_view Trimmed(std::string_view line) {
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r' || line.back() == ' ' ||
                                 line.back() == '\t'))
            line.remove_suffix(1);
        while (!line.empty() && (line.front() == ' ' || line.front() == '\t'))
            line.remove_prefix(1);
        return line;
    }
    static bool Equal(std::string_view a, std::string_view b) {
        if (a.size() != b.size())
            return false;
        for (size_t i = 0; i < a.size(); ++i) {
            if (Fold(a[i]) != Fold(b[i]))
                return false;
        }
        return true;
    }
    // The path of a "NUL=<path>" line; empty for any other line.
    static std::string_view Removal(std::string_view line) {
        line = Trimmed(line);
        const size_t eq = line.find('=');
        if (eq == std::string_view::npos || !Equal(Trimmed(line.substr(0, eq)), "NUL"))
            return {};
        return Trimmed(line.substr(eq + 1));
    }
    std::string Text() const {
        std::string text;
        for (const std::string& line : Lines)
            text += line;
        return text;
    }
};

bool ScheduleInWininit(const std::string& path) {
    const std::string file = WininitPath();
    if (file.empty())
        return false;
    const std::string old = ReadWhole(file);
    Wininit ini(old);
    const std::string line = "NUL=" + ShortPath(path);
    if (ini.Section != std::string::npos) {
        for (size_t i = ini.Section + 1; i < ini.End; ++i) {
            if (Wininit::Equal(Wininit::Trimmed(ini.Lines[i]), line))
                return true; // there already
        }
    }
    // The line goes after the section's last line that is not blank; the file keeps
    // whatever it holds.
    size_t at = ini.Lines.size();
    if (ini.Section == std::string::npos) {
        ini.Lines.push_back("[rename]\r\n");
    } else {
        at = ini.End;
        while (at > ini.Section + 1 && Wininit::Trimmed(ini.Lines[at - 1]).empty())
            --at;
    }
    if (at > 0 && ini.Lines[at - 1].back() != '\n')
        ini.Lines[at - 1] += "\r\n";
    if (ini.Section == std::string::npos)
        ++at;
    ini.Lines.insert(ini.Lines.begin() + static_cast<std::ptrdiff_t>(at), line + "\r\n");
    return WriteWholeFile(file, ini.Text());
}

void CancelInWininit(const std::string& pattern) {
    const std::string file = WininitPath();
    if (file.empty())
        return;
    Wininit ini(ReadWhole(file));
    if (ini.Section == std::string::npos)
        return;
    // The lines hold short paths: the pattern is compared in its own form and with its
    // folder shortened (the folder of a file gone already is usually still there).
    std::string folder = pattern;
    while (folder.size() > 3 && (folder.back() == '\\' || folder.back() == '/'))
        folder.pop_back();
    const size_t slash = folder.find_last_of("\\/");
    std::vector<std::string> forms{folder};
    if (slash != std::string::npos)
        forms.push_back(ShortPath(folder.substr(0, slash)) + folder.substr(slash));
    if (folder.find_first_of("*?") == std::string::npos)
        forms.push_back(ShortPath(folder));
    bool removed = false;
    for (size_t i = ini.End; i-- > ini.Section + 1;) {
        const std::string_view target = Wininit::Removal(ini.Lines[i]);
        if (target.empty())
            continue;
        for (const std::string& form : forms) {
            if (NamesOrHolds<char>(form, target)) {
                ini.Lines.erase(ini.Lines.begin() + static_cast<std::ptrdiff_t>(i));
                removed = true;
                break;
            }
        }
    }
    if (removed)
        WriteWholeFile(file, ini.Text());
}

} // namespace

bool PendingDeleteUsesRegistry() {
    static const bool nt = IsNt();
    return nt;
}

bool FileInUse(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES ||
        (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
        return false;
    // NT: an open for writing and deletion that shares everything fails where another open
    // does not share them, and on a mapped program image; nothing is written. 9x knows no
    // delete sharing, and any other open keeps a file.
    const bool nt = PendingDeleteUsesRegistry();
    win::UniqueFileHandle file(
        CreateFileA(path.c_str(), nt ? GENERIC_WRITE | DELETE : GENERIC_READ,
                    nt ? FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE : 0, nullptr,
                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file)
        return false;
    const DWORD error = GetLastError();
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
}

FileDeletion DeleteFileOrSchedule(const std::string& path) {
    if (DeleteFileA(path.c_str()))
        return FileDeletion::Deleted;
    const DWORD error = GetLastError();
    const DWORD attributes = GetFileAttributesA(path.c_str());
    const bool inUse = error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ||
                       error == ERROR_ACCESS_DENIED;
    if (!inUse || attributes == INVALID_FILE_ATTRIBUTES ||
        (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
        return FileDeletion::Failed;
    return ScheduleDeleteAtRestart(path) ? FileDeletion::Scheduled : FileDeletion::Failed;
}

bool ScheduleDeleteAtRestart(const std::string& path) {
    if (PendingDeleteUsesRegistry())
        return MoveFileExA(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) != 0;
    // WININIT.INI deletes files only.
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    return ScheduleInWininit(path);
}

void CancelDeleteAtRestart(const std::string& path) {
    if (path.empty())
        return;
    if (PendingDeleteUsesRegistry())
        CancelInRegistry(path);
    else
        CancelInWininit(path);
}

bool RestartWindows() {
    if (PendingDeleteUsesRegistry()) {
        using OpenToken = BOOL(WINAPI*)(HANDLE, DWORD, PHANDLE);
        using Lookup = BOOL(WINAPI*)(LPCSTR, LPCSTR, PLUID);
        using Adjust =
            BOOL(WINAPI*)(HANDLE, BOOL, PTOKEN_PRIVILEGES, DWORD, PTOKEN_PRIVILEGES, PDWORD);
        const auto open = Proc<OpenToken>("advapi32.dll", "OpenProcessToken");
        const auto lookup = Proc<Lookup>("advapi32.dll", "LookupPrivilegeValueA");
        const auto adjust = Proc<Adjust>("advapi32.dll", "AdjustTokenPrivileges");
        HANDLE raw = nullptr;
        if (open && lookup && adjust &&
            open(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &raw)) {
            win::UniqueHandle token(raw);
            TOKEN_PRIVILEGES privileges{};
            privileges.PrivilegeCount = 1;
            privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
            if (lookup(nullptr, "SeShutdownPrivilege", &privileges.Privileges[0].Luid))
                adjust(token.get(), FALSE, &privileges, 0, nullptr, nullptr);
        }
    }
    return ExitWindowsEx(EWX_REBOOT, 0) != 0;
}

} // namespace tw
