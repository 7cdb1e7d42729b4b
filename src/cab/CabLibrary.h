#pragma once
// The cabinet library, loaded at run time: its five calls, or nothing when the library or
// one of its calls is missing (every call then answers 0).
#include "win/Handle.h"

#include <windows.h>

#include <string>

namespace tw {

// A process loads only DLLs of its own architecture: the 64-bit program has its own
// cabinet library beside the 32-bit one's cab.dll in the program folder.
#ifdef _WIN64
inline constexpr char kCabDllName[] = "cab64.dll";
#else
inline constexpr char kCabDllName[] = "cab.dll";
#endif

struct ModuleTraits {
    using type = HMODULE;
    static HMODULE invalid() noexcept { return nullptr; }
    static void close(HMODULE m) noexcept { FreeLibrary(m); }
};

class CabLibrary {
  public:
    explicit CabLibrary(const std::string& path);

    bool Loaded() const noexcept { return initialize_ != nullptr; }

    LONG CABCOMPRESSINITIALIZE() const;
    LONG CABCREATE(const std::string& cabinet) const;
    LONG CABADDFILE(LONG handle, const std::string& file, const std::string& storedName) const;
    LONG CABCLOSE(LONG handle) const;
    LONG CABCOMPRESSTERMINATE() const;

  private:
    using NoArgs = LONG(WINAPI*)();
    using Create = LONG(WINAPI*)(const char*);
    using AddFile = LONG(WINAPI*)(LONG, const char*, const char*);
    using Close = LONG(WINAPI*)(LONG);

    win::Handle<ModuleTraits> module_;
    NoArgs initialize_ = nullptr;
    Create create_ = nullptr;
    AddFile addFile_ = nullptr;
    Close close_ = nullptr;
    NoArgs terminate_ = nullptr;
};

} // namespace tw
