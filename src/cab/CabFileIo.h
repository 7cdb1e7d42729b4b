#pragma once
// File callbacks of the platform's cabinet compressor (FCI) and decompressor (FDI) on
// Win32 file handles. The libraries pass C run-time open flags and seek origins; errors
// come back as -1 with the Win32 error code.
#include <windows.h>

#include <cstdio>
#include <fcntl.h>

namespace tw::cab {

inline INT_PTR OpenFile(const char* path, int oflag, int* err) noexcept {
    DWORD access = GENERIC_READ;
    if ((oflag & (_O_WRONLY | _O_RDWR)) == _O_WRONLY)
        access = GENERIC_WRITE;
    else if (oflag & _O_RDWR)
        access = GENERIC_READ | GENERIC_WRITE;
    DWORD disposition = OPEN_EXISTING;
    if ((oflag & _O_CREAT) && (oflag & _O_EXCL))
        disposition = CREATE_NEW;
    else if ((oflag & _O_CREAT) && (oflag & _O_TRUNC))
        disposition = CREATE_ALWAYS;
    else if (oflag & _O_CREAT)
        disposition = OPEN_ALWAYS;
    else if (oflag & _O_TRUNC)
        disposition = TRUNCATE_EXISTING;
    const DWORD share = access == GENERIC_READ ? FILE_SHARE_READ : 0;
    HANDLE h = CreateFileA(path, access, share, nullptr, disposition,
                           FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        if (err)
            *err = static_cast<int>(GetLastError());
        return -1;
    }
    return reinterpret_cast<INT_PTR>(h);
}

inline UINT ReadFromFile(INT_PTR hf, void* buffer, UINT cb, int* err) noexcept {
    DWORD done = 0;
    if (!ReadFile(reinterpret_cast<HANDLE>(hf), buffer, cb, &done, nullptr)) {
        if (err)
            *err = static_cast<int>(GetLastError());
        return static_cast<UINT>(-1);
    }
    return done;
}

inline UINT WriteToFile(INT_PTR hf, const void* buffer, UINT cb, int* err) noexcept {
    DWORD done = 0;
    if (!WriteFile(reinterpret_cast<HANDLE>(hf), buffer, cb, &done, nullptr)) {
        if (err)
            *err = static_cast<int>(GetLastError());
        return static_cast<UINT>(-1);
    }
    return done;
}

inline int CloseFile(INT_PTR hf) noexcept {
    return CloseHandle(reinterpret_cast<HANDLE>(hf)) ? 0 : -1;
}

inline LONG SeekFile(INT_PTR hf, LONG distance, int origin, int* err) noexcept {
    const DWORD method = origin == SEEK_CUR   ? FILE_CURRENT
                         : origin == SEEK_END ? FILE_END
                                              : FILE_BEGIN;
    const DWORD pos = SetFilePointer(reinterpret_cast<HANDLE>(hf), distance, nullptr, method);
    if (pos == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR) {
        if (err)
            *err = static_cast<int>(GetLastError());
        return -1;
    }
    return static_cast<LONG>(pos);
}

} // namespace tw::cab
