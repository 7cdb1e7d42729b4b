// The language lookup and the shell's dialogs, in the test process; the dialogs that
// change the main window are driven through the real one by the end-to-end tests.
#include "AppTestUtil.h"
#include "GuiDriver.h"
#include "app/INI.h"
#include "app/ShellForms.h"
#include "app/modGeneral.h"
#include "app/modLanguage.h"
#include "core/Text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <vector>

namespace {

using twtest::ProgramFile;
using twtest::Pump;

void CopyLanguage(const char* name, const char* as = nullptr) {
    std::string from = std::string(TW_PROGRAM_DIR_WIN) + "\\" + name + ".lng";
    CopyFileA(from.c_str(), ProgramFile(std::string(as ? as : name) + ".lng").c_str(), FALSE);
}

// Answers the first message box of this process with OK, keeping its text and title.
struct MessageBoxAnswer {
    std::atomic<bool> stop{false};
    std::string text, title;
};

DWORD WINAPI AnswerMessageBox(void* arg) {
    auto* a = static_cast<MessageBoxAnswer*>(arg);
    while (!a->stop) {
        if (auto box = tw::gui::WaitForMessageBox(GetCurrentProcessId(), 200)) {
            a->text = box->text;
            a->title = box->title;
            tw::gui::AnswerMessageBox(box->hwnd, IDOK);
            break;
        }
    }
    return 0;
}

void RemoveLanguageFiles() {
    for (const std::string& name : twtest::FolderNames(tw::ProgramFolder()))
        if (name.ends_with(".lng") || name.ends_with(".dlf"))
            twtest::RemoveTree(ProgramFile(name));
}

class ShellTest : public ::testing::Test {
  protected:
    void SetUp() override {
        tw::DeleteLanguageCopy();
        RemoveLanguageFiles();
        twtest::RemoveTree(ProgramFile(tw::kIniFile));
        CopyLanguage("English");
        CopyLanguage("German");
        tw::WriteINI(tw::kIniFile, "LANGUAGE", "CurrentLanguage", "English");
        tw::SetTextLookup(&tw::GetLanguageText);
        tw::RegisterShellForms();
    }
    void TearDown() override {
        twtest::UnloadAll();
        tw::DeleteLanguageCopy();
        tw::SetTextLookup(nullptr);
        RemoveLanguageFiles();
        twtest::RemoveTree(ProgramFile(tw::kIniFile));
    }

    // Loads a dialog the way the menus open it: the caller mark first, then the form.
    tw::Form* OpenDialog(const char* name, const char* mark) {
        tw::Form* dialog = tw::Forms::Load(name);
        if (dialog && mark)
            dialog->SetCaption("lblfIdentify", mark);
        if (dialog)
            dialog->Show();
        Pump();
        return dialog;
    }
    static std::string Ini(const char* section, const char* key) {
        return tw::ReadINI(tw::kIniFile, section, key, "?");
    }
    static void Click(tw::Form* form, const char* control) {
        SendMessageA(form->Control(control), BM_CLICK, 0, 0);
        Pump();
    }
};

// ---- the language lookup --------------------------------------------------------------

TEST_F(ShellTest, FirstLookupDecodesTheLanguageIntoAHiddenWorkingCopy) {
    EXPECT_EQ(tw::LanguageName(), "");
    EXPECT_EQ(tw::GetLanguageText("1001"), "Close");
    EXPECT_EQ(tw::LanguageName(), "English");
    EXPECT_EQ(tw::GetLanguageText("9999"), "?") << "an id the language lacks";

    // later lookups read the working copy only
    twtest::RemoveTree(ProgramFile("English.lng"));
    EXPECT_EQ(tw::GetLanguageText("1002"), "Clean");
}

TEST_F(ShellTest, ADamagedLanguageFileDoesNotStopTheLookup) {
    // "H", "E", an unknown method, CR: the decoder refuses it, the lookup carries on
    twtest::WriteAll(ProgramFile("Broken.lng"), "HE7\r[Language]\r\n1001=x\r\n");
    tw::WriteINI(tw::kIniFile, "LANGUAGE", "CurrentLanguage", "Broken");
    EXPECT_EQ(tw::GetLanguageText("1001"), "?");
    EXPECT_EQ(tw::LanguageName(), "Broken");
}

// A language file holding only the ids every language file has: the texts the program
// added since come in English, the others it lacks stay "?".
TEST_F(ShellTest, AddedTextsFallBackToEnglish) {
    twtest::WriteAll(ProgramFile("Plain.lng"), "HE0\r[Language]\r\n1001=Zu\r\n");
    tw::WriteINI(tw::kIniFile, "LANGUAGE", "CurrentLanguage", "Plain");
    EXPECT_EQ(tw::GetLanguageText("1001"), "Zu");
    EXPECT_EQ(tw::GetLanguageText("1002"), "?");
    EXPECT_EQ(tw::GetLanguageText("0030"), "Not removed, protected");
    EXPECT_EQ(tw::GetLanguageText("2100"), "&Preview");
}

// A language name or a help file name never reaches outside the program folder, and the
// help is only ever a help file.
TEST_F(ShellTest, LanguageAndHelpNamesStayInTheProgramFolder) {
    const std::string outside = tw::ProgramFolder() + "\\..\\twlangout";
    twtest::RemoveTree(outside);
    twtest::MakeDir(outside);
    CopyFileA(ProgramFile("German.lng").c_str(), (outside + "\\English.lng").c_str(), FALSE);
    tw::WriteINI(tw::kIniFile, "LANGUAGE", "CurrentLanguage", "..\\twlangout\\English");
    EXPECT_EQ(tw::GetLanguageText("1001"), "Close");
    EXPECT_EQ(twtest::FolderNames(outside), std::vector<std::string>{"English.lng"});
    twtest::RemoveTree(outside);

    for (const char* file : {"Tracewipe.html", "run.bat", "Help.hlp"})
        twtest::WriteAll(ProgramFile(file), "x");
    const auto help = [](const std::string& text) {
        tw::DeleteLanguageCopy();
        twtest::WriteAll(ProgramFile("Help.lng"), "HE0\r[Language]\r\n0019=" + text);
        tw::WriteINI(tw::kIniFile, "LANGUAGE", "CurrentLanguage", "Help");
        return tw::HelpFilePath();
    };
    for (const char* text : {"Tracewipe.html", "TRACEWIPE.HTML", "Help.hlp"})
        EXPECT_EQ(help(text), ProgramFile(text));
    for (const char* text :
         {"run.bat", "..\\run.bat", "C:\\windows\\notepad.exe", "missing.chm", "*.html"})
        EXPECT_EQ(help(text), "") << text;
    for (const char* file : {"Tracewipe.html", "run.bat", "Help.hlp"})
        twtest::RemoveTree(ProgramFile(file));
}

// ---- frmLanguage ----------------------------------------------------------------------

TEST_F(ShellTest, LanguageDialogListsPlainLanguageFilesOnly) {
    CopyLanguage("German", "My.Lang");
    CopyLanguage("German", "Hidden");
    SetFileAttributesA(ProgramFile("Hidden.lng").c_str(), FILE_ATTRIBUTE_HIDDEN);
    // a folder is no language, whatever its name
    CreateDirectoryA(ProgramFile("Old.lng").c_str(), nullptr);
    tw::Form* dialog = OpenDialog("frmLanguage", "1");
    RemoveDirectoryA(ProgramFile("Old.lng").c_str());
    ASSERT_NE(dialog, nullptr);
    std::vector<std::string> names;
    for (int i = 0; i < dialog->ListCount("cboLanguage"); ++i)
        names.push_back(dialog->List("cboLanguage", i));
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"English", "German", "My.Lang"}));
    EXPECT_EQ(dialog->Text("cboLanguage"), "English");
}

TEST_F(ShellTest, LanguageDialogWithoutLanguageFilesSaysSoAndDisablesSave) {
    EXPECT_EQ(tw::GetLanguageText("0004").substr(0, 11), "No language"); // working copy made
    twtest::RemoveTree(ProgramFile("English.lng"));
    twtest::RemoveTree(ProgramFile("German.lng"));

    // the message box is answered from another thread, as a user would
    MessageBoxAnswer answer;
    HANDLE thread = CreateThread(nullptr, 0, AnswerMessageBox, &answer, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    tw::Form* dialog = OpenDialog("frmLanguage", "1");
    answer.stop = true;
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    const std::string& text = answer.text;
    const std::string& title = answer.title;
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(text, tw::GetLanguageText("0004"));
    EXPECT_EQ(title, tw::GetLanguageText("0008"));
    EXPECT_EQ(dialog->ListCount("cboLanguage"), 0);
    EXPECT_FALSE(IsWindowEnabled(dialog->Control("cmdSave")));
}

// ---- frmOptions -----------------------------------------------------------------------

// The dialog shows the settings (a hand-edited value selects neither button) and each
// button writes its setting at once.
TEST_F(ShellTest, OptionButtonsShowAndWriteTheirSettings) {
    tw::WriteINI(tw::kIniFile, "PROGRAM", "Interface", "Advanced");
    tw::WriteINI(tw::kIniFile, "PROGRAM", "Wizard", "No");
    tw::WriteINI(tw::kIniFile, "PROGRAM", "BackupReg", "Yes");
    tw::WriteINI(tw::kIniFile, "PROGRAM", "LogFile", "maybe");
    tw::WriteINI(tw::kIniFile, "PROGRAM", "BackupDir", "yes");
    tw::Form* dialog = OpenDialog("frmOptions", nullptr);
    ASSERT_NE(dialog, nullptr);
    struct Case {
        const char* button;
        int shown; // before any click
        const char* key;
        const char* value;
    };
    const Case cases[] = {
        {"optGUIAdv", 1, "Interface", "Advanced"}, {"optGUINorm", 0, "Interface", "Normal"},
        {"optWizSYes", 0, "Wizard", "Yes"},        {"optWizSNo", 1, "Wizard", "No"},
        {"optFileBYes", 0, "BackupFiles", "Yes"},  {"optFileBNo", 0, "BackupFiles", "No"},
        {"optDirBYes", 0, "BackupDir", "Yes"},     {"optDirBNo", 0, "BackupDir", "No"},
        {"optRegBYes", 1, "BackupReg", "Yes"},     {"optRegBNo", 0, "BackupReg", "No"},
        {"optLogYes", 0, "LogFile", "Yes"},        {"optLogNo", 0, "LogFile", "No"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(dialog->Value(c.button), c.shown) << c.button;
    EXPECT_EQ(Ini("PROGRAM", "LogFile"), "maybe") << "showing the dialog writes nothing new";
    EXPECT_EQ(Ini("PROGRAM", "BackupFiles"), "?");
    EXPECT_EQ(dialog->Caption("fraRegBackup"), "Back up registry keys");
    EXPECT_EQ(dialog->Caption("optRegBYes"), "Yes");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.button);
        Click(dialog, c.button);
        EXPECT_EQ(Ini("PROGRAM", c.key), c.value);
        EXPECT_EQ(dialog->Value(c.button), 1);
    }
    Click(dialog, "cmdClose");
    EXPECT_EQ(tw::Forms::Find("frmOptions"), nullptr);
}

} // namespace
