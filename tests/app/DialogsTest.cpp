// The language lookup, the shell's dialogs and every window's captions, in the test process;
// the dialogs that change the main window are driven through the real one end to end.
#include "AppTestUtil.h"
#include "GuiDriver.h"
#include "app/INI.h"
#include "app/ShellForms.h"
#include "app/modGeneral.h"
#include "app/modLanguage.h"
#include "backup/forms/BackupForms.h"
#include "clean/CleaningForms.h"
#include "core/Text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

namespace {

using tw::Kind;
using twtest::ProgramFile;
using twtest::Pump;

// A file of the built program folder into the test's, under the name `as`.
void CopyIn(const std::string& file, const std::string& as = "") {
    CopyFileA((std::string(TW_PROGRAM_DIR_WIN) + "\\" + file).c_str(),
              ProgramFile(as.empty() ? file : as).c_str(), FALSE);
}

// A timer that the message box's own loop runs: answers the first box with OK and keeps it.
std::optional<tw::gui::MessageBoxInfo> g_box;
void CALLBACK AnswerMessageBox(HWND, UINT, UINT_PTR id, DWORD) {
    if ((g_box = tw::gui::WaitForMessageBox(GetCurrentProcessId(), 0))) {
        KillTimer(nullptr, id);
        tw::gui::AnswerMessageBox(g_box->hwnd, IDOK);
    }
}

// The settings, the working copy and the language, filter and help files of the program folder.
void RemoveLanguageFiles() {
    tw::DeleteLanguageCopy();
    twtest::RemoveTree(ProgramFile(tw::kIniFile));
    for (const std::string& name : twtest::FolderNames(tw::ProgramFolder()))
        for (const char* type : {".lng", ".dlf", ".twf", ".html", ".hlp", ".bat"})
            if (name.ends_with(type))
                twtest::RemoveTree(ProgramFile(name));
}

class ShellTest : public ::testing::Test {
  protected:
    void SetUp() override {
        RemoveLanguageFiles();
        CopyIn("English.lng");
        CopyIn("German.lng");
        CopyIn("NVIDIA.twf"); // a filter for the main windows
        tw::WriteINI(tw::kIniFile, "LANGUAGE", "CurrentLanguage", "English");
        tw::SetTextLookup(&tw::GetLanguageText);
        tw::RegisterShellForms();
        tw::RegisterCleaningForms();
        tw::RegisterBackupForms();
    }
    void TearDown() override {
        twtest::UnloadAll();
        tw::SetTextLookup(nullptr);
        RemoveLanguageFiles();
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
};

// The first lookup decodes the language into a hidden working copy, read by later lookups. A
// damaged file ("H", "E", an unknown method, CR) gives "?" and the lookup carries on; one
// holding only the ids every language file has gives the texts added since in English.
TEST_F(ShellTest, LanguageLookupOfGoodDamagedAndOlderFiles) {
    EXPECT_EQ(tw::LanguageName(), "");
    EXPECT_EQ(tw::GetLanguageText("1001"), "Close");
    EXPECT_EQ(tw::LanguageName(), "English");
    EXPECT_EQ(tw::GetLanguageText("9999"), "?") << "an id the language lacks";
    twtest::RemoveTree(ProgramFile("English.lng"));
    EXPECT_EQ(tw::GetLanguageText("1002"), "Clean") << "later lookups read the working copy only";

    tw::DeleteLanguageCopy();
    twtest::WriteAll(ProgramFile("Broken.lng"), "HE7\r[Language]\r\n1001=x\r\n");
    tw::WriteINI(tw::kIniFile, "LANGUAGE", "CurrentLanguage", "Broken");
    EXPECT_EQ(tw::GetLanguageText("1001"), "?");
    EXPECT_EQ(tw::LanguageName(), "Broken");
    tw::DeleteLanguageCopy();
    twtest::WriteAll(ProgramFile("Plain.lng"), "HE0\r[Language]\r\n1001=Zu\r\n");
    tw::WriteINI(tw::kIniFile, "LANGUAGE", "CurrentLanguage", "Plain");
    EXPECT_EQ(tw::GetLanguageText("1001"), "Zu");
    EXPECT_EQ(tw::GetLanguageText("1002"), "?") << "an id of every language file";
    EXPECT_EQ(tw::GetLanguageText("0030"), "Not removed, protected");
    EXPECT_EQ(tw::GetLanguageText("2100"), "&Preview");
}

// A language name or a help file name never reaches outside the program folder, and the
// help is only ever a help file.
TEST_F(ShellTest, LanguageAndHelpNamesStayInTheProgramFolder) {
    const std::string outside = tw::ProgramFolder() + "\\..\\twlangout";
    twtest::RemoveTree(outside);
    twtest::MakeDir(outside);
    CopyIn("German.lng", "..\\twlangout\\English.lng");
    tw::WriteINI(tw::kIniFile, "LANGUAGE", "CurrentLanguage", "..\\twlangout\\English");
    EXPECT_EQ(tw::GetLanguageText("1001"), "Close");
    EXPECT_EQ(twtest::FolderNames(outside), std::vector<std::string>{"English.lng"});
    twtest::RemoveTree(outside);

    twtest::MakeFiles(tw::ProgramFolder(), {"Tracewipe.html", "run.bat", "Help.hlp"});
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
}

TEST_F(ShellTest, LanguageDialogListsPlainLanguageFilesOnly) {
    CopyIn("German.lng", "My.Lang.lng");
    CopyIn("German.lng", "Hidden.lng");
    SetFileAttributesA(ProgramFile("Hidden.lng").c_str(), FILE_ATTRIBUTE_HIDDEN);
    // a folder is no language, whatever its name
    CreateDirectoryA(ProgramFile("Old.lng").c_str(), nullptr);
    tw::Form* dialog = OpenDialog("frmLanguage", "1");
    ASSERT_NE(dialog, nullptr);
    std::vector<std::string> names = tw::gui::ComboItems(dialog->Control("cboLanguage"));
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"English", "German", "My.Lang"}));
    EXPECT_EQ(dialog->Text("cboLanguage"), "English");
}

TEST_F(ShellTest, LanguageDialogWithoutLanguageFilesSaysSoAndDisablesSave) {
    EXPECT_EQ(tw::GetLanguageText("0004").substr(0, 11), "No language"); // working copy made
    twtest::RemoveTree(ProgramFile("English.lng"));
    twtest::RemoveTree(ProgramFile("German.lng"));

    g_box.reset();
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, &AnswerMessageBox);
    tw::Form* dialog = OpenDialog("frmLanguage", "1");
    KillTimer(nullptr, timer);
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(g_box.has_value()) << "no message box";
    EXPECT_EQ(g_box->text, tw::GetLanguageText("0004"));
    EXPECT_EQ(g_box->title, tw::GetLanguageText("0008"));
    EXPECT_EQ(dialog->ListCount("cboLanguage"), 0);
    EXPECT_FALSE(IsWindowEnabled(dialog->Control("cmdSave")));
}

// The dialog shows the settings (a hand-edited value selects neither button) and each
// button writes its setting at once.
TEST_F(ShellTest, OptionButtonsShowAndWriteTheirSettings) {
    twtest::WriteAll(
        ProgramFile(tw::kIniFile),
        "[PROGRAM]\r\nInterface=Advanced\r\nWizard=No\r\nBackupReg=Yes\r\nLogFile=maybe\r\n"
        "BackupDir=yes\r\n[LANGUAGE]\r\nCurrentLanguage=English\r\n");
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
        SendMessageA(dialog->Control(c.button), BM_CLICK, 0, 0);
        Pump();
        EXPECT_EQ(Ini("PROGRAM", c.key), c.value);
        EXPECT_EQ(dialog->Value(c.button), 1);
    }
    SendMessageA(dialog->Control("cmdClose"), BM_CLICK, 0, 0);
    Pump();
    EXPECT_EQ(tw::Forms::Find("frmOptions"), nullptr);
}

// Width every caption must leave free, in pixels.
constexpr int kSpare = 4;

// Room a control needs around its caption (a push button's frame, a check box's box and the
// gap after it), -1 for a control without a caption.
int Padding(Kind kind) {
    const int edges = 2 * GetSystemMetrics(SM_CXEDGE);
    return kind == Kind::Label    ? 0
           : kind == Kind::Button ? edges + 4
           : kind == Kind::Frame  ? edges + 12
           : kind == Kind::CheckBox || kind == Kind::OptionButton
               ? GetSystemMetrics(SM_CXMENUCHECK) + 6
               : -1;
}

// The visible captions of `form` that do not fit their controls with kSpare pixels to spare,
// as "name: text", and those drawn in another face than `face`.
std::vector<std::string> ClippedCaptions(const tw::Form& form, const std::string& face) {
    std::vector<std::string> clipped;
    for (const tw::ControlSpec& row : form.Table().controls) {
        HWND control = form.Control(row.name);
        const int padding = Padding(row.kind);
        char text[1024] = {};
        GetWindowTextA(control, text, sizeof text);
        RECT room{};
        GetClientRect(control, &room);
        if (padding < 0 || !IsWindowVisible(control) || !*text || room.right == 0)
            continue;
        const LONG type = GetWindowLongA(control, GWL_STYLE) & SS_TYPEMASK;
        const bool wraps =
            row.kind == Kind::Label && type != SS_LEFTNOWORDWRAP && type != SS_SIMPLE;
        HDC dc = GetDC(control);
        HGDIOBJ old =
            SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)));
        RECT need{0, 0, room.right - padding - kSpare, 0};
        DrawTextA(dc, text, -1, &need, DT_CALCRECT | (wraps ? DT_WORDBREAK : DT_SINGLELINE));
        char drawn[LF_FACESIZE] = {};
        GetTextFaceA(dc, sizeof drawn, drawn);
        SelectObject(dc, old);
        ReleaseDC(control, dc);
        const int width = need.right + padding + kSpare;
        const std::string name = row.name;
        if (face != drawn)
            clipped.push_back(name + ": drawn in " + drawn + ", not " + face);
        if (width > room.right || need.bottom > room.bottom)
            clipped.push_back(name + ": " + text + " (" + std::to_string(width) + "x" +
                              std::to_string(need.bottom) + " in " + std::to_string(room.right) +
                              "x" + std::to_string(room.bottom) + ")");
    }
    return clipped;
}

// Every caption fits its control in every shipped language, in the design font and in Tahoma
// (the face asked for, not a stand-in), with room for fonts that render a little wider.
class CaptionFit : public ShellTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(CaptionFit, EveryWindowInEveryLanguageAndFont) {
    for (const char* language : {"English", "German"})
        for (const char* font : {"Default", "Tahoma"}) {
            tw::DeleteLanguageCopy();
            tw::WriteINI(tw::kIniFile, "LANGUAGE", "CurrentLanguage", language);
            tw::WriteINI(tw::kIniFile, "FONT", "Name", font);
            SCOPED_TRACE(std::string(language) + ", " + font);
            tw::Form* form = tw::Forms::Show(GetParam());
            ASSERT_NE(form, nullptr);
            Pump();
            const std::string face = std::string(font) == "Tahoma" ? font : "MS Sans Serif";
            EXPECT_EQ(ClippedCaptions(*form, face), std::vector<std::string>{});
            if (std::string(font) == "Default")
                tw::gui::SaveScreenshot(
                    tw::gui::ScreenshotPath(std::string(GetParam()) + "_" + language),
                    form->hwnd());
            twtest::UnloadAll();
        }
}

INSTANTIATE_TEST_SUITE_P(Windows, CaptionFit,
                         ::testing::Values("frmMain", "frmAdvanced", "frmWiz1", "frmWiz2",
                                           "frmWarning", "frmLanguage", "frmOptions", "frmFont",
                                           "frmAbout", "frmPreview", "frmRestore", "frmRegRest",
                                           "frmClearB", "frmClearR", "frmClearL"),
                         [](const auto& info) { return std::string(info.param); });

} // namespace
