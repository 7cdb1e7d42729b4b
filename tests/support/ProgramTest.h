#pragma once
// What the end-to-end tests share: the real Tracewipe.exe, started from a fresh program
// folder of its own below the build folder (named after the running test) and driven from
// outside with the GUI driver.
#include "DriverText.h"
#include "GuiDriver.h"
#include "support/TestFiles.h"
#include "win/ControlName.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace twtest {

using namespace tw::gui;

constexpr DWORD kFirstWait = 30000; // the first window of a run also waits for the desktop
constexpr DWORD kWait = 10000;

// The window made from the form table of that name.
inline WindowPredicate IsFrm(const char* name) {
    return [name](HWND h) { return tw::ControlName(h) == name; };
}

// The text of `id` in the source of a shipped language file.
inline std::string LanguageText(const char* id, const char* language = "English") {
    char buf[512] = {};
    const std::string file = WinePath(TW_LANG_DIR) + "\\" + language + ".txt";
    GetPrivateProfileStringA("Language", id, "?", buf, sizeof buf, file.c_str());
    return buf;
}

// The lines, each ended by CR LF.
inline std::string Lines(const std::vector<std::string>& lines) {
    std::string s;
    for (const std::string& line : lines)
        s += line + "\r\n";
    return s;
}

inline std::string WindowsDir() {
    char buf[MAX_PATH] = {};
    return std::string(buf, GetWindowsDirectoryA(buf, MAX_PATH));
}

class ProgramTest : public ::testing::Test {
  protected:
    void TearDown() override { app_.Kill(); }

    // The folder afresh, with these files of the built program folder.
    void MakeFolder(const std::vector<std::string>& files) {
        std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        std::replace(name.begin(), name.end(), '/', '_'); // a parameterised test's
        folder_ = WinePath(TW_GUI_WORK_DIR) + "\\" + name;
        RemoveTree(folder_);
        MakeDir(WinePath(TW_GUI_WORK_DIR));
        MakeDir(folder_);
        for (const std::string& file : files)
            CopyIn(TW_PROGRAM_DIR, file);
    }
    // `file` of the build folder `dir` into the program folder.
    void CopyIn(const char* dir, const std::string& file) {
        ASSERT_TRUE(CopyFileA((WinePath(dir) + "\\" + file).c_str(),
                              (folder_ + "\\" + file).c_str(), FALSE))
            << file;
    }
    // The settings file: the [PROGRAM] lines given, no warning, the language.
    void WriteSettings(const std::string& program, const std::string& language = "English") {
        WriteAll(Ini(), "[PROGRAM]\r\n" + program +
                            "\r\n[WARNING]\r\nReadmeStart=No\r\n[LANGUAGE]\r\nCurrentLanguage=" +
                            language + "\r\n");
    }
    void Start() { app_ = Process::Launch("\"" + folder_ + "\\Tracewipe.exe\"", folder_); }
    HWND WaitForFrm(const char* name, DWORD timeout = kWait) {
        return WaitForWindow(app_.id(), IsFrm(name), timeout);
    }
    std::string Ini() const { return folder_ + "\\Tracewipe.ini"; }

    std::string folder_;
    Process app_;
};

} // namespace twtest
