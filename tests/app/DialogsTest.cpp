// The language lookup and the shell's dialogs, in the test process: a small stand-in
// for the Normal interface opens them, as its menus will.
#include "AppTestUtil.h"
#include "GuiDriver.h"
#include "app/Captions.h"
#include "app/INI.h"
#include "app/ShellForms.h"
#include "app/Version.h"
#include "app/modFont.h"
#include "app/modLanguage.h"
#include "core/AppError.h"
#include "core/Text.h"
#include "decode/clsProtection.h"
#include "win/Handle.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <thread>
#include <vector>

namespace {

using twtest::ProgramFile;
using twtest::Pump;

const tw::ControlSpec kOpenerControls[] = {
    {"cmdClose", tw::Kind::Button, 3360, 2520, 1215, 375, "1001", "Close"},
    {"cmdClean", tw::Kind::Button, 4680, 2520, 1215, 375, "1002", "Clean"},
    {"lblDetinfo", tw::Kind::Label, 135, 2580, 3135, 225, "1003", "Info"},
};
const tw::FormSpec kOpenerSpec{"frmMain", "Opener",          6015,   2970, kOpenerControls,
                               {},        tw::Border::Fixed, "1000", true};

void CopyLanguage(const char* name, const char* as = nullptr) {
    std::string from = std::string(TW_PROGRAM_DIR_WIN) + "\\" + name + ".lng";
    CopyFileA(from.c_str(), ProgramFile(std::string(as ? as : name) + ".lng").c_str(), FALSE);
}

void RemoveLanguageFiles() {
    for (const char* ext : {"*.lng", "*.dlf"}) {
        WIN32_FIND_DATAA f;
        HANDLE h = FindFirstFileA(ProgramFile(ext).c_str(), &f);
        if (h == INVALID_HANDLE_VALUE)
            continue;
        do
            twtest::Remove(ProgramFile(f.cFileName));
        while (FindNextFileA(h, &f));
        FindClose(h);
    }
}

class ShellTest : public ::testing::Test {
  protected:
    void SetUp() override {
        tw::DeleteLanguageCopy();
        RemoveLanguageFiles();
        twtest::Remove(ProgramFile(tw::kIniFile));
        CopyLanguage("English");
        CopyLanguage("German");
        tw::WriteINI(tw::kIniFile, "LANGUAGE", "CurrentLanguage", "English");
        tw::SetTextLookup(&tw::GetLanguageText);
        tw::RegisterShellForms();
        tw::Forms::Register("frmMain", [] { return std::make_unique<tw::Form>(kOpenerSpec); });
    }
    void TearDown() override {
        twtest::UnloadAll();
        tw::DeleteLanguageCopy();
        tw::SetTextLookup(nullptr);
        RemoveLanguageFiles();
        twtest::Remove(ProgramFile(tw::kIniFile));
    }

    // The stand-in interface, loaded with its captions and font as an interface loads.
    tw::Form* ShowOpener() {
        tw::Form* opener = tw::Forms::Show("frmMain");
        tw::SetCaptions(*opener);
        tw::ApplyFont(*opener);
        Pump();
        return opener;
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
    DWORD attributes = GetFileAttributesA(ProgramFile("English.dlf").c_str());
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(attributes & FILE_ATTRIBUTE_HIDDEN, 0u);
    EXPECT_EQ(tw::GetLanguageText("9999"), "?") << "an id the language lacks";

    // later lookups read the working copy only
    twtest::Remove(ProgramFile("English.lng"));
    EXPECT_EQ(tw::GetLanguageText("1002"), "Clean");
}

TEST_F(ShellTest, DeleteLanguageCopyMakesTheNextLookupDecodeAgain) {
    EXPECT_EQ(tw::GetLanguageText("1001"), "Close");
    tw::WriteINI(tw::kIniFile, "LANGUAGE", "CurrentLanguage", "German");
    EXPECT_EQ(tw::GetLanguageText("1001"), "Close") << "the language of the run stays";
    tw::DeleteLanguageCopy();
    EXPECT_EQ(GetFileAttributesA(ProgramFile("English.dlf").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(tw::LanguageName(), "");
    EXPECT_EQ(tw::GetLanguageText("1001"), "Schlie\xdf"
                                           "en");
}

TEST_F(ShellTest, AMissingLanguageFileReadsAnOldWorkingCopyOrGivesQuestionMarks) {
    tw::WriteINI(tw::kIniFile, "LANGUAGE", "CurrentLanguage", "Klingon");
    EXPECT_EQ(tw::GetLanguageText("1001"), "?");
    tw::DeleteLanguageCopy();
    twtest::WriteFileText(ProgramFile("Klingon.dlf"), "[Language]\r\n1001=naDev\r\n");
    EXPECT_EQ(tw::GetLanguageText("1001"), "naDev");
}

TEST_F(ShellTest, DecoderErrorsTakeTheirTextFromTheLanguage) {
    ASSERT_EQ(tw::GetLanguageText("0320"), "The file to unpack was not found.");
    tw::clsProtection decoder;
    try {
        decoder.DecodeFile(ProgramFile("nothing.twf"), ProgramFile("nothing.out"));
        FAIL() << "no error for a missing file";
    } catch (const tw::AppError& e) {
        EXPECT_EQ(e.number(), tw::kAppErrorNumber);
        EXPECT_EQ(e.description(), "The file to unpack was not found.");
    }
}

TEST_F(ShellTest, ADamagedLanguageFileDoesNotStopTheLookup) {
    // "H", "E", an unknown method, CR: the decoder refuses it, the lookup carries on
    twtest::WriteFileText(ProgramFile("Broken.lng"), "HE7\r[Language]\r\n1001=x\r\n");
    tw::WriteINI(tw::kIniFile, "LANGUAGE", "CurrentLanguage", "Broken");
    EXPECT_EQ(tw::GetLanguageText("1001"), "?");
    EXPECT_EQ(tw::LanguageName(), "Broken");
}

// ---- frmLanguage ----------------------------------------------------------------------

TEST_F(ShellTest, LanguageDialogListsTheLanguageFilesAndSelectsTheCurrentOne) {
    CopyLanguage("German", "My.Lang");
    CopyLanguage("German", "Hidden");
    SetFileAttributesA(ProgramFile("Hidden.lng").c_str(), FILE_ATTRIBUTE_HIDDEN);
    // a folder is no language, whatever its name
    CreateDirectoryA(ProgramFile("Old.lng").c_str(), nullptr);
    tw::Form* opener = ShowOpener();
    tw::Form* dialog = OpenDialog("frmLanguage", "1");
    ASSERT_NE(dialog, nullptr);
    std::vector<std::string> names;
    for (int i = 0; i < dialog->ListCount("cboLanguage"); ++i)
        names.push_back(dialog->List("cboLanguage", i));
    std::sort(names.begin(), names.end());
    RemoveDirectoryA(ProgramFile("Old.lng").c_str());
    EXPECT_EQ(names, (std::vector<std::string>{"English", "German", "My.Lang"}));
    EXPECT_EQ(dialog->Text("cboLanguage"), "English");
    EXPECT_EQ(dialog->FormCaption(), "Language");
    EXPECT_EQ(dialog->Caption("cmdSave"), "Save");
    EXPECT_TRUE(IsWindowEnabled(dialog->Control("cmdSave")));
    EXPECT_FALSE(IsWindowVisible(dialog->Control("lblfIdentify")));
    tw::gui::SaveScreenshot(tw::gui::ScreenshotPath("frmLanguage"), dialog->hwnd());
    EXPECT_EQ(opener->Caption("cmdClose"), "Close");
}

TEST_F(ShellTest, SavingALanguageRecaptionsTheOpenerAtOnce) {
    tw::Form* opener = ShowOpener();
    EXPECT_EQ(opener->FormCaption(), "Tracewipe " + tw::VersionText());
    tw::Form* dialog = OpenDialog("frmLanguage", "1");
    ASSERT_NE(dialog, nullptr);
    for (int i = 0; i < dialog->ListCount("cboLanguage"); ++i)
        if (dialog->List("cboLanguage", i) == "German")
            dialog->SetListIndex("cboLanguage", i);
    Click(dialog, "cmdSave");

    EXPECT_EQ(tw::Forms::Find("frmLanguage"), nullptr);
    EXPECT_EQ(Ini("LANGUAGE", "CurrentLanguage"), "German");
    EXPECT_EQ(opener->Caption("cmdClose"), "Schlie\xdf"
                                           "en");
    EXPECT_EQ(opener->Caption("cmdClean"), "Reinigen");
    EXPECT_EQ(GetFileAttributesA(ProgramFile("English.dlf").c_str()), INVALID_FILE_ATTRIBUTES)
        << "the old working copy is gone";
    EXPECT_NE(GetFileAttributesA(ProgramFile("German.dlf").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(ShellTest, LanguageDialogWithAnotherMarkOrCloseLeavesTheOpenerAlone) {
    tw::Form* opener = ShowOpener();
    tw::Form* dialog = OpenDialog("frmLanguage", "9");
    dialog->SetListIndex("cboLanguage", dialog->ListIndex("cboLanguage") == 0 ? 1 : 0);
    std::string chosen = dialog->Text("cboLanguage");
    Click(dialog, "cmdSave");
    EXPECT_EQ(Ini("LANGUAGE", "CurrentLanguage"), chosen);
    EXPECT_EQ(opener->Caption("cmdClose"), "Close") << "no window is marked 9";

    tw::WriteINI(tw::kIniFile, "LANGUAGE", "CurrentLanguage", "English");
    dialog = OpenDialog("frmLanguage", "1");
    dialog->SetListIndex("cboLanguage", dialog->ListIndex("cboLanguage") == 0 ? 1 : 0);
    Click(dialog, "cmdClose");
    EXPECT_EQ(tw::Forms::Find("frmLanguage"), nullptr);
    EXPECT_EQ(Ini("LANGUAGE", "CurrentLanguage"), "English") << "Close saves nothing";
}

TEST_F(ShellTest, LanguageDialogWithoutLanguageFilesSaysSoAndDisablesSave) {
    EXPECT_EQ(tw::GetLanguageText("0004").substr(0, 11), "No language"); // working copy made
    twtest::Remove(ProgramFile("English.lng"));
    twtest::Remove(ProgramFile("German.lng"));
    ShowOpener();

    // the message box is answered from another thread, as a user would
    std::atomic<bool> stop{false};
    std::string text, title;
    DWORD pid = GetCurrentProcessId();
    std::thread answer([&] {
        while (!stop) {
            if (auto box = tw::gui::WaitForMessageBox(pid, 200)) {
                text = box->text;
                title = box->title;
                tw::gui::AnswerMessageBox(box->hwnd, IDOK);
                return;
            }
        }
    });
    tw::Form* dialog = OpenDialog("frmLanguage", "1");
    stop = true;
    answer.join();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(text, tw::GetLanguageText("0004"));
    EXPECT_EQ(title, tw::GetLanguageText("0008"));
    EXPECT_EQ(dialog->ListCount("cboLanguage"), 0);
    EXPECT_FALSE(IsWindowEnabled(dialog->Control("cmdSave")));
}

// ---- frmOptions -----------------------------------------------------------------------

TEST_F(ShellTest, OptionsShowTheSettingsAndAHandEditedValueSelectsNeitherButton) {
    tw::WriteINI(tw::kIniFile, "PROGRAM", "Interface", "Advanced");
    tw::WriteINI(tw::kIniFile, "PROGRAM", "Wizard", "No");
    tw::WriteINI(tw::kIniFile, "PROGRAM", "BackupReg", "Yes");
    tw::WriteINI(tw::kIniFile, "PROGRAM", "LogFile", "maybe");
    tw::WriteINI(tw::kIniFile, "PROGRAM", "BackupDir", "yes");
    ShowOpener();
    tw::Form* dialog = OpenDialog("frmOptions", nullptr);
    ASSERT_NE(dialog, nullptr);
    struct Expect {
        const char* button;
        int value;
    };
    for (const Expect& e : {Expect{"optGUINorm", 0},
                            {"optGUIAdv", 1},
                            {"optWizSYes", 0},
                            {"optWizSNo", 1},
                            {"optRegBYes", 1},
                            {"optRegBNo", 0},
                            {"optLogYes", 0},
                            {"optLogNo", 0},
                            {"optDirBYes", 0},
                            {"optDirBNo", 0},
                            {"optFileBYes", 0},
                            {"optFileBNo", 0}}) {
        SCOPED_TRACE(e.button);
        EXPECT_EQ(dialog->Value(e.button), e.value);
    }
    EXPECT_EQ(Ini("PROGRAM", "LogFile"), "maybe") << "showing the dialog writes nothing new";
    EXPECT_EQ(Ini("PROGRAM", "BackupFiles"), "?");
    EXPECT_EQ(dialog->Caption("fraRegBackup"), "Back up registry keys");
    EXPECT_EQ(dialog->Caption("optRegBYes"), "Yes");
    tw::gui::SaveScreenshot(tw::gui::ScreenshotPath("frmOptions"), dialog->hwnd());
}

TEST_F(ShellTest, EveryOptionButtonWritesItsSettingAtOnce) {
    ShowOpener();
    tw::Form* dialog = OpenDialog("frmOptions", nullptr);
    ASSERT_NE(dialog, nullptr);
    struct Case {
        const char* button;
        const char* key;
        const char* value;
    };
    const Case cases[] = {
        {"optGUIAdv", "Interface", "Advanced"}, {"optGUINorm", "Interface", "Normal"},
        {"optWizSYes", "Wizard", "Yes"},        {"optWizSNo", "Wizard", "No"},
        {"optFileBYes", "BackupFiles", "Yes"},  {"optFileBNo", "BackupFiles", "No"},
        {"optDirBYes", "BackupDir", "Yes"},     {"optDirBNo", "BackupDir", "No"},
        {"optRegBYes", "BackupReg", "Yes"},     {"optRegBNo", "BackupReg", "No"},
        {"optLogYes", "LogFile", "Yes"},        {"optLogNo", "LogFile", "No"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.button);
        Click(dialog, c.button);
        EXPECT_EQ(Ini("PROGRAM", c.key), c.value);
        EXPECT_EQ(dialog->Value(c.button), 1);
    }
    Click(dialog, "cmdClose");
    EXPECT_EQ(tw::Forms::Find("frmOptions"), nullptr);
}

// ---- frmFont and ApplyFont ------------------------------------------------------------

TEST_F(ShellTest, FontDialogListsTwoFacesAndSelectsTheSetting) {
    struct Case {
        const char* setting; // nullptr: no [FONT] Name
        int selected;
    };
    for (const Case& c : {Case{nullptr, -1}, {"Default", 0}, {"Tahoma", 1}, {"Arial", -1}}) {
        SCOPED_TRACE(c.setting ? c.setting : "(missing)");
        if (c.setting)
            tw::WriteINI(tw::kIniFile, "FONT", "Name", c.setting);
        tw::Form* dialog = OpenDialog("frmFont", "1");
        ASSERT_NE(dialog, nullptr);
        ASSERT_EQ(dialog->ListCount("cboFont"), 2);
        EXPECT_EQ(dialog->List("cboFont", 0), "Default");
        EXPECT_EQ(dialog->List("cboFont", 1), "Tahoma");
        EXPECT_EQ(dialog->ListIndex("cboFont"), c.selected);
        if (c.setting && std::string(c.setting) == "Tahoma")
            tw::gui::SaveScreenshot(tw::gui::ScreenshotPath("frmFont"), dialog->hwnd());
        Click(dialog, "cmdClose");
        EXPECT_EQ(tw::Forms::Find("frmFont"), nullptr);
    }
}

TEST_F(ShellTest, SavingTahomaRefontsTheOpenerAtOnce) {
    tw::Form* opener = ShowOpener();
    std::string design = opener->FontFace("cmdClose");
    ASSERT_NE(design, "Tahoma");
    tw::Form* dialog = OpenDialog("frmFont", "1");
    dialog->SetListIndex("cboFont", 1);
    Click(dialog, "cmdSave");
    EXPECT_EQ(tw::Forms::Find("frmFont"), nullptr);
    EXPECT_EQ(Ini("FONT", "Name"), "Tahoma");
    EXPECT_EQ(tw::AppFont(), "Tahoma");
    for (const char* name : {"cmdClose", "cmdClean", "lblDetinfo"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(opener->FontFace(name), "Tahoma");
    }
    EXPECT_EQ(opener->FontFace(), "Tahoma");
    tw::gui::SaveScreenshot(tw::gui::ScreenshotPath("frmFont_opener_Tahoma"), opener->hwnd());
}

TEST_F(ShellTest, FontWithoutAMarkOrWithDefaultKeepsTheDesignFonts) {
    tw::Form* opener = ShowOpener();
    std::string design = opener->FontFace("cmdClose");
    tw::Form* dialog = OpenDialog("frmFont", "");
    dialog->SetListIndex("cboFont", 1);
    Click(dialog, "cmdSave");
    EXPECT_EQ(Ini("FONT", "Name"), "Tahoma");
    EXPECT_EQ(opener->FontFace("cmdClose"), design) << "no window was marked";

    // a window loaded with Default, or with no name at all, keeps its design font
    for (const char* setting : {"Default", ""}) {
        SCOPED_TRACE(setting);
        if (*setting)
            tw::WriteINI(tw::kIniFile, "FONT", "Name", setting);
        else
            WritePrivateProfileStringA("FONT", nullptr, nullptr, ProgramFile(tw::kIniFile).c_str());
        tw::Form* about = OpenDialog("frmAbout", nullptr);
        EXPECT_EQ(about->FontFace("cmdOK"), design);
        about->Unload();
        Pump();
    }
}

// ---- frmAbout -------------------------------------------------------------------------

TEST_F(ShellTest, AboutShowsTheVersionAndClearsTheFrame) {
    ShowOpener();
    tw::Form* dialog = OpenDialog("frmAbout", nullptr);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->Caption("lblVersion"), "Version " + tw::VersionText());
    EXPECT_EQ(dialog->Caption("fraAbout"), "");
    EXPECT_EQ(dialog->Caption("cmdOK"), "OK");
    EXPECT_NE(dialog->Caption("lblSupport1").find('@'), std::string::npos);
    EXPECT_NE(dialog->Caption("lblSupport2").find('@'), std::string::npos);
    tw::gui::SaveScreenshot(tw::gui::ScreenshotPath("frmAbout"), dialog->hwnd());
    Click(dialog, "cmdOK");
    EXPECT_EQ(tw::Forms::Find("frmAbout"), nullptr);
}

TEST_F(ShellTest, ASupportLabelOpensAMailLinkThroughTheShell) {
    // the mailto: handler of this prefix becomes the probe, which records its argument
    constexpr const char* kHandler = "Software\\Classes\\mailto\\shell\\open\\command";
    std::string recorded = ProgramFile("mailto.txt");
    twtest::Remove(recorded);
    std::string command =
        "\"" + ProgramFile("osinfo_probe.exe") + "\" record \"" + recorded + "\" \"%1\"";
    tw::win::UniqueKey key;
    ASSERT_EQ(RegCreateKeyA(HKEY_LOCAL_MACHINE, kHandler, key.put()), ERROR_SUCCESS);
    char saved[1024] = {};
    DWORD savedSize = sizeof saved - 1;
    bool hadHandler = RegQueryValueExA(key.get(), nullptr, nullptr, nullptr,
                                       reinterpret_cast<BYTE*>(saved), &savedSize) == ERROR_SUCCESS;
    RegSetValueExA(key.get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                   static_cast<DWORD>(command.size() + 1));

    tw::Form* dialog = OpenDialog("frmAbout", nullptr);
    HWND label = dialog->Control("lblSupport2");
    PostMessageA(label, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    PostMessageA(label, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    std::string link;
    for (int i = 0; i < 200 && link.empty(); ++i) {
        Pump();
        Sleep(50);
        link = twtest::ReadFileText(recorded);
    }
    if (hadHandler)
        RegSetValueExA(key.get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(saved),
                       static_cast<DWORD>(std::strlen(saved) + 1));
    EXPECT_EQ(link, "mailto:" + dialog->Caption("lblSupport2") + "?subject=Tracewipe");
}

} // namespace
