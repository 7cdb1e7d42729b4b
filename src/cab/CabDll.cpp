// cab.dll: writes cabinets through the platform's compressor (FCI), MSZIP-compressed, all
// files in one folder, each stored under its own file name. A cabinet is written under a
// temporary name beside its final path and moved into place when it is closed, so
// whatever lies at a cabinet's path is a complete cabinet.
//
// The five calls take ANSI strings and 32-bit numbers (stdcall); a cabinet handle is a
// small number, not a pointer, so it fits 32 bits on every target.
#include "cab/CabFileIo.h"
#include "win/Api.h"

#include <windows.h>

#include <fci.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <vector>

namespace {

using tw::cab::CloseFile;
using tw::cab::OpenFile;
using tw::cab::ReadFromFile;
using tw::cab::SeekFile;
using tw::cab::WriteToFile;

FNFCIFILEPLACED(FilePlaced) {
    (void)pccab, (void)pszFile, (void)cbFile, (void)fContinuation, (void)pv;
    return 0;
}
FNFCIALLOC(Alloc) {
    return std::malloc(cb);
}
FNFCIFREE(Free) {
    std::free(memory);
}
FNFCIOPEN(Open) {
    (void)pmode, (void)pv;
    return OpenFile(pszFile, oflag, err);
}
FNFCIREAD(Read) {
    (void)pv;
    return ReadFromFile(hf, memory, cb, err);
}
FNFCIWRITE(Write) {
    (void)pv;
    return WriteToFile(hf, memory, cb, err);
}
FNFCICLOSE(Close) {
    (void)err, (void)pv;
    return CloseFile(hf);
}
FNFCISEEK(Seek) {
    (void)pv;
    return SeekFile(hf, dist, seektype, err);
}
FNFCIDELETE(Delete) {
    (void)pv;
    if (DeleteFileA(pszFile))
        return 0;
    *err = static_cast<int>(GetLastError());
    return -1;
}
// The compressor's scratch files: a fresh name in the temporary folder, not yet existing
// (the compressor creates it exclusively).
FNFCIGETTEMPFILE(GetTempFile) {
    (void)pv;
    char folder[MAX_PATH];
    char name[MAX_PATH];
    const DWORD n = GetTempPathA(MAX_PATH, folder);
    if (n == 0 || n >= MAX_PATH || !GetTempFileNameA(folder, "twc", 0, name))
        return FALSE;
    DeleteFileA(name);
    if (std::strlen(name) >= static_cast<size_t>(cbTempName))
        return FALSE;
    std::strcpy(pszTempName, name);
    return TRUE;
}
FNFCIGETNEXTCABINET(GetNextCabinet) {
    (void)pccab, (void)cbPrevCab, (void)pv;
    return FALSE; // one cabinet, never a set
}
FNFCISTATUS(Status) {
    (void)typeStatus, (void)cb1, (void)cb2, (void)pv;
    return 0;
}
// Opens a file to add and gives its date, time and attributes as the cabinet stores them.
FNFCIGETOPENINFO(GetOpenInfo) {
    (void)pv;
    const INT_PTR hf = OpenFile(pszName, _O_RDONLY | _O_BINARY, err);
    if (hf == -1)
        return -1;
    BY_HANDLE_FILE_INFORMATION info{};
    FILETIME local{};
    if (!GetFileInformationByHandle(reinterpret_cast<HANDLE>(hf), &info) ||
        !FileTimeToLocalFileTime(&info.ftLastWriteTime, &local) ||
        !FileTimeToDosDateTime(&local, pdate, ptime)) {
        *pdate = 0x21; // 1980-01-01
        *ptime = 0;
    }
    *pattribs = static_cast<USHORT>(info.dwFileAttributes &
                                    (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                     FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE));
    return hf;
}

// The compressor of cabinet.dll, loaded when the library is initialised: no system before
// 2000 is sure to have it, and a missing one must not keep cab.dll from loading.
struct Compressor {
    tw::win::LateCall<decltype(&FCICreate)> create{"cabinet.dll", "FCICreate"};
    tw::win::LateCall<decltype(&FCIAddFile)> addFile{"cabinet.dll", "FCIAddFile"};
    tw::win::LateCall<decltype(&FCIFlushCabinet)> flush{"cabinet.dll", "FCIFlushCabinet"};
    tw::win::LateCall<decltype(&FCIDestroy)> destroy{"cabinet.dll", "FCIDestroy"};

    bool Complete() const { return create.get() && addFile.get() && flush.get() && destroy.get(); }
};

const Compressor& Fci() {
    static const Compressor compressor;
    return compressor;
}

// One cabinet being written.
struct Cabinet {
    std::string target;    // where it goes when closed
    std::string temporary; // where it is written meanwhile
    ERF erf{};
    HFCI fci = nullptr;
    bool failed = false; // a failure of the compressor that spoils the whole cabinet

    ~Cabinet() {
        if (fci)
            Fci().destroy.get()(fci);
        if (!temporary.empty())
            DeleteFileA(temporary.c_str());
    }
};

// Open cabinets by handle - 1; a closed one leaves an empty slot.
std::vector<std::unique_ptr<Cabinet>> gCabinets;
LONG gInitialised = 0;

Cabinet* Find(LONG handle) {
    if (handle <= 0 || static_cast<size_t>(handle) > gCabinets.size())
        return nullptr;
    return gCabinets[static_cast<size_t>(handle) - 1].get();
}

std::string FolderOf(const std::string& path) {
    const auto slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string(".\\") : path.substr(0, slash + 1);
}

std::string NameOf(const std::string& path) {
    const auto slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

LONG Create(const char* path) {
    if (!gInitialised || !path || !*path)
        return 0;
    auto cab = std::make_unique<Cabinet>();
    cab->target = path;
    const std::string folder = FolderOf(cab->target);
    char temporary[MAX_PATH];
    if (!GetTempFileNameA(folder.c_str(), "twc", 0, temporary))
        return 0;
    cab->temporary = temporary;
    DeleteFileA(temporary); // the compressor makes the file itself
    const std::string tempName = NameOf(cab->temporary);

    CCAB ccab{};
    if (folder.size() >= sizeof ccab.szCabPath || tempName.size() >= sizeof ccab.szCab)
        return 0;
    ccab.cb = 0x7FFFFFFF;
    ccab.cbFolderThresh = 0x7FFFFFFF;
    ccab.iCab = 1;
    ccab.setID = 0x5457;
    std::strcpy(ccab.szCabPath, folder.c_str());
    std::strcpy(ccab.szCab, tempName.c_str());
    cab->fci = Fci().create.get()(&cab->erf, FilePlaced, Alloc, Free, Open, Read, Write, Close,
                                  Seek, Delete, GetTempFile, &ccab, nullptr);
    if (!cab->fci)
        return 0;
    for (size_t i = 0; i < gCabinets.size(); ++i)
        if (!gCabinets[i]) {
            gCabinets[i] = std::move(cab);
            return static_cast<LONG>(i + 1);
        }
    gCabinets.push_back(std::move(cab));
    return static_cast<LONG>(gCabinets.size());
}

LONG AddFile(LONG handle, const char* file, const char* storedName) {
    Cabinet* cab = Find(handle);
    if (!cab || cab->failed || !file || !*file)
        return 0;
    // A folder or a missing file is refused here: the compressor would fail on it and
    // leave the cabinet unusable.
    const DWORD attributes = GetFileAttributesA(file);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return 0;
    std::string source = file;
    std::string name = storedName && *storedName ? storedName : NameOf(source);
    if (!Fci().addFile.get()(cab->fci, source.data(), name.data(), FALSE, GetNextCabinet, Status,
                             GetOpenInfo, tcompTYPE_MSZIP)) {
        // An unreadable file is the caller's to report; anything else spoils the cabinet.
        cab->failed = cab->erf.erfOper != FCIERR_OPEN_SRC && cab->erf.erfOper != FCIERR_READ_SRC;
        return 0;
    }
    return 1;
}

LONG CloseCabinet(LONG handle) {
    Cabinet* cab = Find(handle);
    if (!cab)
        return 0;
    std::unique_ptr<Cabinet> owned = std::move(gCabinets[static_cast<size_t>(handle) - 1]);
    const bool written = !cab->failed && Fci().flush.get()(cab->fci, FALSE, GetNextCabinet, Status);
    const bool destroyed = Fci().destroy.get()(cab->fci);
    cab->fci = nullptr;
    if (!written || !destroyed)
        return 0;
    if (!tw::win::MoveReplacing(cab->temporary.c_str(), cab->target.c_str(),
                                MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED))
        return 0;
    cab->temporary.clear();
    return 1;
}

} // namespace

// Prepares the library; 0 when the system has no cabinet compressor.
extern "C" LONG WINAPI CABCOMPRESSINITIALIZE() {
    try {
        if (!Fci().Complete())
            return 0;
    } catch (...) {
        return 0;
    }
    ++gInitialised;
    return 1;
}

// Starts a cabinet at `path` (its folder must exist); the cabinet's handle, 0 on failure.
extern "C" LONG WINAPI CABCREATE(const char* path) {
    try {
        return Create(path);
    } catch (...) {
        return 0;
    }
}

// Adds `file`, stored under `storedName`, or under its own file name when that is empty or
// missing. 1 when added, 0 when not.
extern "C" LONG WINAPI CABADDFILE(LONG handle, const char* file, const char* storedName) {
    try {
        return AddFile(handle, file, storedName);
    } catch (...) {
        return 0;
    }
}

// Finishes the cabinet and moves it into place; 1 when it lies at its path, 0 when the
// path was left as it was. The handle is gone either way.
extern "C" LONG WINAPI CABCLOSE(LONG handle) {
    try {
        return CloseCabinet(handle);
    } catch (...) {
        return 0;
    }
}

// Ends the library's work: cabinets still open are dropped, their temporary files deleted.
extern "C" LONG WINAPI CABCOMPRESSTERMINATE() {
    if (gInitialised > 0 && --gInitialised == 0)
        gCabinets.clear();
    return 1;
}
