#include "win/CommonControls.h"

#include <windows.h>

namespace tw::win {

void InitCommonControls() noexcept {
    static const auto init = [] {
        HMODULE library = LoadLibraryA("comctl32.dll");
        return library ? reinterpret_cast<void(WINAPI*)()>(
                             reinterpret_cast<void*>(GetProcAddress(library, "InitCommonControls")))
                       : nullptr;
    }();
    if (init)
        init();
}

} // namespace tw::win
