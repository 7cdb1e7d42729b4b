#pragma once
// The calls that not every Windows the program runs on has (95 and NT 4.0 for the 32-bit
// build, XP x64 for the 64-bit one), loaded at run time, each with a fallback that does the
// same job where the call is missing. Api.cpp holds the loader and the KERNEL32 calls,
// ApiUser.cpp the USER32 ones and ApiProfiles.cpp the profile folder, so the console tools
// link no window or registry code.
//
// A comma-separated list of call or DLL names in the environment variable
// TW_PRETEND_MISSING (read once, at the first look-up) makes the loader treat them as
// missing, so the fallbacks run where every call exists.
#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace tw::win {

// Sets the names treated as missing, as TW_PRETEND_MISSING does.
void PretendMissing(std::string_view names);
bool PretendedMissing(std::string_view name);

// The address of `name` in the system library `dll` (loaded on first use and kept), or null
// when the library or the call is missing; pretended names are not looked at here.
FARPROC FindCall(const char* dll, const char* name) noexcept;

// One call of a system library, looked up once; get() is null while the call, or its
// library, is missing or pretended missing.
template <typename F> class LateCall {
  public:
    LateCall(const char* dll, const char* name) noexcept
        : dll_(dll), name_(name),
          fn_(reinterpret_cast<F>(reinterpret_cast<void (*)()>(FindCall(dll, name)))) {}
    F get() const {
        return fn_ && !PretendedMissing(name_) && !PretendedMissing(dll_) ? fn_ : nullptr;
    }

  private:
    const char* dll_;
    const char* name_;
    F fn_;
};

// ---- KERNEL32 (Api.cpp)

// GetFileAttributesExA (98, NT 4.0); without it the one entry FindFirstFileA gives for the
// exact name, or the attributes alone for a drive or share root.
bool FileAttributes(const std::string& path, WIN32_FILE_ATTRIBUTE_DATA& data);

// `path` with every existing component in its long form and the rest kept as written:
// GetLongPathNameA (98, NT 5.0) on the longest existing head, or a walk with FindFirstFileA.
std::string LongPathName(const std::string& path);

// AttachConsole(ATTACH_PARENT_PROCESS) (XP); false where it is missing.
bool AttachParentConsole();

// VerifyVersionInfoA with every field of `type` compared by `condition` (2000 and later);
// nothing where the call is missing.
std::optional<bool> VerifyVersion(OSVERSIONINFOEXA& want, DWORD type, BYTE condition);

// MoveFileExA, and on the 9x line, where it is a stub, the target deleted and the file moved.
bool MoveReplacing(const char* from, const char* to, DWORD flags);

// ---- USER32 (ApiUser.cpp)

// GetAncestor(window, GA_ROOT) (98, NT 4.0 SP4); without it the parents climbed while the
// window is a child.
HWND RootWindow(HWND window);

// The description of the primary display adapter: EnumDisplayDevicesA (98, 2000), or the
// display class key in the registry.
std::string DisplayAdapterName();

// Waits for `object` or for input in the queue: WAIT_OBJECT_0 when the object is signalled,
// WAIT_OBJECT_0 + 1 for input. MsgWaitForMultipleObjectsEx (98, NT 4.0) or
// MsgWaitForMultipleObjects; raw input joins the mask from XP on (older systems refuse it).
DWORD WaitForObjectOrInput(HANDLE object);

// SetProcessDPIAware (Vista): the windows are laid out for the system's DPI, not scaled as
// bitmaps. Older systems do no such scaling; nothing is done there.
void DeclareDpiAware();

// ---- USERENV (ApiProfiles.cpp)

// The folder of the user profiles: GetProfilesDirectoryA of userenv.dll (2000); without it
// the profile list in the registry (NT) or %windir%\Profiles (9x).
std::string ProfilesDirectory();

} // namespace tw::win
