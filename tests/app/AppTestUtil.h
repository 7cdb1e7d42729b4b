#pragma once
// Helpers for the tests that create real windows in the test process.
#include "app/forms/Forms.h"
#include "support/TestFiles.h"
#include "win/ProgramFolder.h"

#include <windows.h>

#include <string>

namespace twtest {

// Handles every message waiting for this thread as the program's loop would. A WM_QUIT
// found on the way is reported, not re-posted.
inline bool Pump() {
    bool quit = false;
    for (MSG msg; PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);) {
        if (msg.message == WM_QUIT) {
            quit = true;
        } else if (!tw::Form::PreTranslate(msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    tw::Forms::Collect();
    return quit;
}

// Unloads every loaded form and drops the WM_QUIT the last one posts.
inline void UnloadAll() {
    for (const char* name :
         {"frmLanguage", "frmOptions", "frmFont", "frmAbout", "frmWarning", "frmStart", "frmMain",
          "frmAdvanced", "frmWiz1", "frmWiz2", "frmPreview", "frmTest", "frmTest2", "frmRestore",
          "frmRegRest", "frmClearB", "frmClearR", "frmClearL"})
        while (tw::Form* f = tw::Forms::Find(name))
            f->Unload();
    Pump();
}

inline std::string ProgramFile(const std::string& name) {
    return tw::ProgramFolder() + "\\" + name;
}

} // namespace twtest
