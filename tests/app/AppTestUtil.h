#pragma once
// Helpers for the tests that create real windows in the test process.
#include "app/forms/Forms.h"
#include "win/ProgramFolder.h"

#include <windows.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>

namespace twtest {

// Handles every message waiting for this thread as the program's loop would. A WM_QUIT
// found on the way is reported, not re-posted.
inline bool Pump() {
    bool quit = false;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            quit = true;
            continue;
        }
        if (!tw::Form::PreTranslate(msg)) {
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
          "frmAdvanced", "frmWiz1", "frmTest", "frmTest2"})
        while (tw::Form* f = tw::Forms::Find(name))
            f->Unload();
    Pump();
}

inline std::string ProgramFile(const std::string& name) {
    return tw::ProgramFolder() + "\\" + name;
}

inline std::string ReadFileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

inline void WriteFileText(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

inline void Remove(const std::string& path) {
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(path.c_str());
}

// A text lookup from a fixed table, for tests of the captions.
inline std::map<std::string, std::string, std::less<>>& FakeTexts() {
    static std::map<std::string, std::string, std::less<>> texts;
    return texts;
}
inline std::string FakeLookup(std::string_view id) {
    auto it = FakeTexts().find(id);
    return it == FakeTexts().end() ? std::string("?") : it->second;
}

} // namespace twtest
