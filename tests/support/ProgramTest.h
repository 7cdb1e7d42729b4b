#pragma once
// What the end-to-end tests share: the real Tracewipe.exe, started from a fresh program folder
// below the build folder (named after the running test) and driven with the GUI driver.
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
constexpr DWORD kRunWait = 120000; // a run with whole-root registry searches

// The window made from the form table of that name.
inline WindowPredicate IsFrm(const char* name) {
    return [name](HWND h) { return tw::ControlName(h) == name; };
}

// The value of `key` in `section` of an ini file, "?" when there is none.
inline std::string IniText(const std::string& file, const char* section, const char* key) {
    char buf[512] = {};
    GetPrivateProfileStringA(section, key, "?", buf, sizeof buf, file.c_str());
    return buf;
}
// The text of `id` in the source of a shipped language file.
inline std::string Lang(const char* id, const std::string& language = "English") {
    return IniText(WinePath(TW_LANG_DIR) + "\\" + language + ".txt", "Language", id);
}
inline std::string LanguageText(const char* id, const char* language = "English") {
    return Lang(id, language);
}
// A line of the lists and the log: the text of `id`, then the item in brackets.
inline std::string Entry(const char* id, const std::string& item) {
    return Lang(id) + " (" + item + ")";
}

// The lines, each ended by CR LF.
inline std::string Lines(const std::vector<std::string>& lines) {
    std::string s;
    for (const std::string& line : lines)
        s += line + "\r\n";
    return s;
}

// The text of a control of another process as the system keeps it: read without a message,
// so it can be watched while the program is busy.
inline std::string StoredText(HWND h) {
    char buf[512] = {};
    return std::string(buf, static_cast<size_t>(std::max(0, GetWindowTextA(h, buf, sizeof buf))));
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
        language_ = language;
        WriteAll(Ini(), "[PROGRAM]\r\n" + program +
                            "\r\n[WARNING]\r\nReadmeStart=No\r\n[LANGUAGE]\r\nCurrentLanguage=" +
                            language + "\r\n");
    }
    void Start() { app_ = Process::Launch("\"" + folder_ + "\\Tracewipe.exe\"", folder_); }
    HWND WaitForFrm(const char* name, DWORD timeout = kWait) {
        return WaitForWindow(app_.id(), IsFrm(name), timeout);
    }
    std::string Ini() const { return folder_ + "\\Tracewipe.ini"; }
    // The text of `id` in the language of the settings.
    std::string Lang(const char* id) const { return twtest::Lang(id, language_); }

    // Starts the program and waits for its first window, `frm`.
    void Launch(const char* frm) {
        Start();
        window_ = WaitForFrm(frm, kFirstWait);
        ASSERT_NE(window_, nullptr) << frm << " did not open; the program is " << app_.State();
    }
    HWND Control(std::string_view name) const { return FindControl(window_, name); }
    // The window `frm`, opened with Ctrl+`key` from the first window.
    HWND Open(const char* frm, WORD key) {
        EXPECT_TRUE(Activate(window_) && SendKey(key, true));
        HWND dialog = WaitForFrm(frm);
        EXPECT_NE(dialog, nullptr) << frm;
        return dialog;
    }
    // The font dialog (Ctrl+F): `face` chosen and saved.
    void ChooseFont(const char* face) {
        HWND dialog = Open("frmFont", 'F');
        ASSERT_TRUE(dialog && SelectCombo(FindControl(dialog, "cboFont"), face));
        ASSERT_TRUE(Click(FindControl(dialog, "cmdSave")));
    }
    // A window (the first one when none is named) painted afresh, shot.
    void Shoot(const std::string& name, HWND window = nullptr) {
        window = window ? window : window_;
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        SaveScreenshot(ScreenshotPath(name), window);
    }

    // The next message box: text, title and buttons checked, the screen shot when `shot`
    // names it, answered `answer`. False when no box came or it stayed.
    bool AnswerBox(const std::string& text, const std::string& title,
                   const std::vector<int>& buttons, int answer, DWORD timeout = kWait,
                   const char* shot = nullptr) {
        auto box = WaitForMessageBox(app_.id(), timeout);
        if (!box)
            return false;
        EXPECT_EQ(box->text, text);
        EXPECT_EQ(box->title, title);
        EXPECT_EQ(box->buttons, buttons);
        if (shot)
            SaveScreenshot(ScreenshotPath(shot));
        return AnswerMessageBox(box->hwnd, answer) && WaitForWindowGone(box->hwnd, kWait);
    }
    // Clean pressed and confirmed; with Yes, waits until the window answers again (only while
    // the run waits or once it has ended) with Clean usable and `status` reading `end`.
    // shown_ gets the texts that lblStatusFile showed meanwhile, in order.
    void Clean(bool yes = true, const char* shot = nullptr, DWORD timeout = kRunWait,
               const char* status = "lblStatus", const char* end = "0014") {
        shown_.clear();
        ASSERT_TRUE(Click(Control("cmdClean")));
        ASSERT_TRUE(
            AnswerBox(Lang("0009"), Lang("0010"), {IDYES, IDNO}, yes ? IDYES : IDNO, kWait, shot))
            << "no confirmation";
        if (!yes)
            return;
        HWND file = Control("lblStatusFile");
        const std::string want = Lang(end);
        ASSERT_TRUE(WaitUntil(
            [&] {
                const std::string now = file ? StoredText(file) : "";
                if (!now.empty() && (shown_.empty() || shown_.back() != now))
                    shown_.push_back(now);
                DWORD_PTR r = 0;
                return SendMessageTimeoutW(window_, WM_NULL, 0, 0, SMTO_NORMAL, 50, &r) &&
                       IsEnabled(Control("cmdClean")) && StoredText(Control(status)) == want;
            },
            timeout, 5))
            << "the run did not end; status: " << StoredText(Control(status));
    }
    std::string Status() const { return WindowText(Control("lblStatus")); }

    std::string folder_, language_ = "English";
    Process app_;
    HWND window_ = nullptr;
    std::vector<std::string> shown_;
};

} // namespace twtest
