// extract.exe: unpacks a cabinet through the platform's decompressor (FDI).
//
//   extract.exe CABINET [/y] [/e] [/l FOLDER]
//
// /e unpacks every file (the only mode there is), /y overwrites files that exist already
// (without it they are kept), /l names the destination folder (default: the current
// one), which is made when missing. Names inside the cabinet that would leave the
// destination (a drive, a root, "..") are skipped. Exit code 0 when every file was
// unpacked, 1 when some or all were not, 2 for a bad command line.
#include "cab/CabFileIo.h"
#include "win/Api.h"

#include <windows.h>

#include <fdi.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace tw::cab;

FNALLOC(Alloc) {
    return std::malloc(cb);
}
FNFREE(Free) {
    std::free(pv);
}
FNOPEN(Open) {
    (void)pmode;
    return OpenFile(pszFile, oflag, nullptr);
}
FNREAD(Read) {
    return ReadFromFile(hf, pv, cb, nullptr);
}
FNWRITE(Write) {
    return WriteToFile(hf, pv, cb, nullptr);
}
FNCLOSE(Close) {
    return CloseFile(hf);
}
FNSEEK(Seek) {
    return SeekFile(hf, dist, seektype, nullptr);
}

struct Job {
    std::string folder; // ends in a backslash
    bool overwrite = false;
    int unpacked = 0;
    int failed = 0;
};

// The relative path a stored name gives below the destination; empty when the name
// would leave it.
std::string SafeRelativePath(std::string_view stored) {
    std::string out;
    std::string part;
    auto flush = [&]() -> bool {
        if (part == "..")
            return false;
        if (!part.empty() && part != ".")
            out += (out.empty() ? "" : "\\") + part;
        part.clear();
        return true;
    };
    if (stored.empty() || stored[0] == '\\' || stored[0] == '/')
        return {};
    for (char c : stored) {
        if (c == ':')
            return {};
        if (c == '\\' || c == '/') {
            if (!flush())
                return {};
        } else
            part += c;
    }
    if (!flush())
        return {};
    return out;
}

void MakeFolders(const std::string& path) {
    for (size_t i = path.find('\\', 3); i != std::string::npos; i = path.find('\\', i + 1))
        CreateDirectoryA(path.substr(0, i).c_str(), nullptr);
}

INT_PTR CopyFileOut(Job& job, const FDINOTIFICATION& n) {
    const std::string relative = SafeRelativePath(n.psz1 ? n.psz1 : "");
    if (relative.empty()) {
        std::fprintf(stderr, "extract: skipped unsafe name %s\n", n.psz1 ? n.psz1 : "");
        ++job.failed;
        return 0;
    }
    const std::string target = job.folder + relative;
    MakeFolders(target);
    const DWORD attributes = GetFileAttributesA(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        if (!job.overwrite || (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            std::fprintf(stderr, "extract: kept existing %s\n", target.c_str());
            return 0;
        }
        SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    const INT_PTR hf = OpenFile(target.c_str(), _O_WRONLY | _O_CREAT | _O_TRUNC, nullptr);
    if (hf == -1) {
        std::fprintf(stderr, "extract: cannot write %s\n", target.c_str());
        ++job.failed;
        return 0;
    }
    return hf;
}

INT_PTR CloseFileOut(Job& job, const FDINOTIFICATION& n) {
    const HANDLE h = reinterpret_cast<HANDLE>(n.hf);
    FILETIME local{}, utc{};
    if (DosDateTimeToFileTime(n.date, n.time, &local) && LocalFileTimeToFileTime(&local, &utc))
        SetFileTime(h, nullptr, nullptr, &utc);
    CloseHandle(h);
    const std::string target = job.folder + SafeRelativePath(n.psz1);
    const DWORD kept = n.attribs & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                    FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE);
    SetFileAttributesA(target.c_str(), kept ? kept : FILE_ATTRIBUTE_NORMAL);
    ++job.unpacked;
    return TRUE;
}

FNFDINOTIFY(Notify) {
    try {
        Job& job = *static_cast<Job*>(pfdin->pv);
        switch (fdint) {
        case fdintCOPY_FILE:
            return CopyFileOut(job, *pfdin);
        case fdintCLOSE_FILE_INFO:
            return CloseFileOut(job, *pfdin);
        case fdintNEXT_CABINET:
            return -1; // a cabinet set is not followed
        default:
            return 0;
        }
    } catch (...) {
        return -1;
    }
}

bool IsSwitch(std::string_view arg, char letter) {
    return arg.size() == 2 && (arg[0] == '/' || arg[0] == '-') && (arg[1] | 0x20) == letter;
}

int Usage() {
    std::fputs("usage: extract.exe CABINET [/y] [/e] [/l FOLDER]\n", stderr);
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    std::string cabinet;
    Job job;
    std::string folder = ".";
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (IsSwitch(arg, 'y'))
            job.overwrite = true;
        else if (IsSwitch(arg, 'e'))
            continue;
        else if (IsSwitch(arg, 'l') && i + 1 < argc)
            folder = argv[++i];
        else if (!arg.empty() && arg[0] != '/' && cabinet.empty())
            cabinet = arg;
        else
            return Usage();
    }
    if (cabinet.empty())
        return Usage();

    char full[MAX_PATH];
    const DWORD n = GetFullPathNameA(folder.c_str(), MAX_PATH, full, nullptr);
    if (n == 0 || n >= MAX_PATH)
        return Usage();
    job.folder = full;
    if (job.folder.back() != '\\')
        job.folder += '\\';
    MakeFolders(job.folder);

    // The decompressor takes the cabinet as a folder (ending in a separator) and a name.
    const auto slash = cabinet.find_last_of("\\/");
    std::string cabFolder = slash == std::string::npos ? "" : cabinet.substr(0, slash + 1);
    std::string cabName = slash == std::string::npos ? cabinet : cabinet.substr(slash + 1);

    // cabinet.dll is loaded here, not imported: without it extract.exe still starts and says so
    const tw::win::LateCall<decltype(&FDICreate)> create("cabinet.dll", "FDICreate");
    const tw::win::LateCall<decltype(&FDICopy)> copy("cabinet.dll", "FDICopy");
    const tw::win::LateCall<decltype(&FDIDestroy)> destroy("cabinet.dll", "FDIDestroy");
    ERF erf{};
    HFDI fdi = create.get() && copy.get() && destroy.get()
                   ? create.get()(Alloc, Free, Open, Read, Write, Close, Seek, cpuUNKNOWN, &erf)
                   : nullptr;
    if (!fdi) {
        std::fputs("extract: the decompressor cannot start\n", stderr);
        return 1;
    }
    const BOOL copied = copy.get()(fdi, cabName.data(), cabFolder.data(), 0, Notify, nullptr, &job);
    destroy.get()(fdi);
    if (!copied) {
        std::fprintf(stderr, "extract: cannot unpack %s (error %d)\n", cabinet.c_str(),
                     erf.erfOper);
        return 1;
    }
    return job.failed ? 1 : 0;
}
