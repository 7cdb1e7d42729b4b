#include "win/FileFind.h"

#include "win/Handle.h"

namespace tw::win {

namespace {

constexpr DWORD kFilteredBits =
    FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY;

std::string SearchPattern(const std::string& pattern) {
    if (!pattern.empty() && (pattern.back() == '\\' || pattern.back() == '/'))
        return pattern + "*";
    return pattern;
}

// Calls `seen` for each name the request sees until it returns false.
template <typename F> void Walk(const std::string& pattern, DWORD request, F seen) {
    if (pattern.empty())
        return;
    WIN32_FIND_DATAA data;
    UniqueFind find(FindFirstFileA(SearchPattern(pattern).c_str(), &data));
    if (!find)
        return;
    do {
        if (ListingSees(data.dwFileAttributes, request) && !seen(data))
            return;
    } while (FindNextFileA(find.get(), &data));
}

} // namespace

bool ListingSees(DWORD attributes, DWORD request) noexcept {
    return (attributes & kFilteredBits & ~request) == 0;
}

std::vector<FoundName> ListDirectory(const std::string& pattern, DWORD request) {
    std::vector<FoundName> names;
    Walk(pattern, request, [&](const WIN32_FIND_DATAA& d) {
        names.push_back({d.cFileName, d.dwFileAttributes});
        return true;
    });
    return names;
}

bool AnyListed(const std::string& pattern, DWORD request) {
    // Without wildcards the listing can only return the named entry itself; asking for
    // its attributes gives the same answer without reading the whole folder.
    if (!pattern.empty() && pattern.find_first_of("*?") == std::string::npos &&
        pattern.back() != '\\' && pattern.back() != '/' && pattern.back() != ':') {
        DWORD attributes = GetFileAttributesA(pattern.c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && ListingSees(attributes, request);
    }
    bool any = false;
    Walk(pattern, request, [&](const WIN32_FIND_DATAA&) {
        any = true;
        return false;
    });
    return any;
}

} // namespace tw::win
