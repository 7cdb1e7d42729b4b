#include "win/Api.h"

#include <cctype>

namespace tw::win {

namespace {

std::string Lower(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

// ",name,name," in lower case.
std::string& Pretended() {
    static std::string names = [] {
        char buffer[1024];
        const DWORD n = GetEnvironmentVariableA("TW_PRETEND_MISSING", buffer, sizeof buffer);
        return "," + Lower(n > 0 && n < sizeof buffer ? std::string_view(buffer, n) : "") + ",";
    }();
    return names;
}

bool HasWildcard(const std::string& path) {
    return path.find_first_of("*?") != std::string::npos;
}

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

// Length of the part of `path` that names a root and is kept as written: "C:\", "\\server\share\",
// "\"; 0 for a relative path.
size_t RootLength(const std::string& path) {
    if (path.size() >= 2 && path[1] == ':')
        return path.size() >= 3 && IsSeparator(path[2]) ? 3 : 2;
    if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
        size_t end = path.find_first_of("\\/", 2);
        end = end == std::string::npos ? end : path.find_first_of("\\/", end + 1);
        return end == std::string::npos ? path.size() : end + 1;
    }
    return !path.empty() && IsSeparator(path[0]) ? 1 : 0;
}

// The one entry FindFirstFileA gives for `path` (no wildcards), or nothing.
bool FindExact(const std::string& path, WIN32_FIND_DATAA& found) {
    if (HasWildcard(path))
        return false;
    const HANDLE find = FindFirstFileA(path.c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return false;
    FindClose(find);
    return true;
}

} // namespace

void PretendMissing(std::string_view names) {
    Pretended() = "," + Lower(names) + ",";
}

bool PretendedMissing(std::string_view name) {
    return Pretended().find("," + Lower(name) + ",") != std::string::npos;
}

FARPROC FindCall(const char* dll, const char* name) noexcept {
    HMODULE module = GetModuleHandleA(dll);
    if (!module)
        module = LoadLibraryA(dll); // kept loaded: its calls are used until the end
    return module ? GetProcAddress(module, name) : nullptr;
}

bool FileAttributes(const std::string& path, WIN32_FILE_ATTRIBUTE_DATA& data) {
    static const LateCall<decltype(&GetFileAttributesExA)> call("kernel32.dll",
                                                                "GetFileAttributesExA");
    if (auto fn = call.get())
        return fn(path.c_str(), GetFileExInfoStandard, &data) != FALSE;
    std::string name = path;
    while (name.size() > RootLength(name) && IsSeparator(name.back()))
        name.pop_back();
    if (!name.empty() && name.size() == RootLength(name)) {
        // a root has no entry of its own to find
        const DWORD attributes = GetFileAttributesA(path.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES)
            return false;
        data = WIN32_FILE_ATTRIBUTE_DATA{};
        data.dwFileAttributes = attributes;
        return true;
    }
    WIN32_FIND_DATAA found;
    if (!FindExact(name, found))
        return false;
    if (name.size() != path.size() && !(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return false; // "file\" names no file
    data.dwFileAttributes = found.dwFileAttributes;
    data.ftCreationTime = found.ftCreationTime;
    data.ftLastAccessTime = found.ftLastAccessTime;
    data.ftLastWriteTime = found.ftLastWriteTime;
    data.nFileSizeHigh = found.nFileSizeHigh;
    data.nFileSizeLow = found.nFileSizeLow;
    return true;
}

std::string LongPathName(const std::string& path) {
    static const LateCall<decltype(&GetLongPathNameA)> call("kernel32.dll", "GetLongPathNameA");
    if (auto fn = call.get()) {
        // the longest head that exists, in its long form, and the rest as it was
        char buffer[4 * MAX_PATH];
        std::string head = path;
        std::string tail;
        for (;;) {
            const DWORD n = fn(head.c_str(), buffer, sizeof buffer);
            if (n > 0 && n < sizeof buffer)
                return std::string(buffer, n) + tail;
            const size_t slash = head.find_last_of('\\');
            if (slash == std::string::npos || slash < 3)
                return path;
            tail = head.substr(slash) + tail;
            head.resize(slash);
        }
    }
    // one component at a time, as long as each is found
    const size_t root = RootLength(path);
    std::string out = path.substr(0, root);
    bool found = true;
    for (size_t pos = root; pos < path.size();) {
        size_t end = path.find('\\', pos);
        if (end == std::string::npos)
            end = path.size();
        std::string part = path.substr(pos, end - pos);
        WIN32_FIND_DATAA entry;
        if (found && part != "." && part != ".." && !part.empty()) {
            found = FindExact(out + part, entry);
            if (found)
                part = entry.cFileName;
        }
        out += part;
        if (end < path.size())
            out += '\\';
        pos = end + 1;
    }
    return out;
}

bool AttachParentConsole() {
    static const LateCall<decltype(&AttachConsole)> call("kernel32.dll", "AttachConsole");
    auto fn = call.get();
    return fn && fn(ATTACH_PARENT_PROCESS);
}

std::optional<bool> VerifyVersion(OSVERSIONINFOEXA& want, DWORD type, BYTE condition) {
    static const LateCall<decltype(&VerifyVersionInfoA)> verify("kernel32.dll",
                                                                "VerifyVersionInfoA");
    static const LateCall<decltype(&VerSetConditionMask)> setMask("kernel32.dll",
                                                                  "VerSetConditionMask");
    auto verifyFn = verify.get();
    auto setMaskFn = setMask.get();
    if (!verifyFn || !setMaskFn)
        return std::nullopt;
    DWORDLONG mask = 0;
    for (DWORD bit = 1; bit != 0 && bit <= type; bit <<= 1)
        if (type & bit)
            mask = setMaskFn(mask, bit, condition);
    return verifyFn(&want, type, mask) != FALSE;
}

bool MoveReplacing(const char* from, const char* to, DWORD flags) {
    if (!PretendedMissing("MoveFileExA")) {
        if (MoveFileExA(from, to, flags))
            return true;
        if (GetLastError() != ERROR_CALL_NOT_IMPLEMENTED)
            return false;
    }
    // the 9x line: MoveFileA moves across volumes too, but never over a file
    if (flags & MOVEFILE_REPLACE_EXISTING) {
        const DWORD attributes = GetFileAttributesA(from);
        if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
            return false;
        DeleteFileA(to);
    }
    return MoveFileA(from, to) != FALSE;
}

} // namespace tw::win
