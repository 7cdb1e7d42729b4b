// The real Tracewipe.exe from a fresh program folder, driven from outside: defaults, splash,
// warning, a second instance, settings that open no window, a missing language file.
#include "support/ProgramTest.h"

namespace {

using namespace twtest;

class Startup : public ProgramTest {
  protected:
    void SetUp() override {
        MakeFolder({"Tracewipe.exe", "English.lng", "German.lng", "ATI.twf", "NVIDIA.twf"});
    }
    void TearDown() override {
        ProgramTest::TearDown();
        second_.Kill();
    }
    std::string Readme() const { return IniText(Ini(), "WARNING", "ReadmeStart"); }

    Process second_;
};

TEST_F(Startup, FirstStartWritesTheDefaultsAndShowsTheWarningAfterTwoTicks) {
    Start();
    HWND splash = WaitForFrm("frmStart", kFirstWait);
    ASSERT_NE(splash, nullptr) << "the program is " << app_.State();
    DWORD shown = GetTickCount();
    RECT r{};
    EXPECT_TRUE(GetClientRect(splash, &r) && r.right == 400 && r.bottom == 133)
        << "the splash's client area is 400 x 133, not " << r.right << " x " << r.bottom;
    // the picture is drawn by the splash's first paint, which may still be pending
    RedrawWindow(splash, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Sleep(200);
    SaveScreenshot(ScreenshotPath("frmStart"), splash);

    HWND warning = WaitForFrm("frmWarning", kFirstWait);
    ASSERT_NE(warning, nullptr) << "the program is " << app_.State();
    DWORD elapsed = GetTickCount() - shown;
    EXPECT_GE(elapsed, 1500u) << "two one-second ticks";
    EXPECT_LE(elapsed, 6000u);
    EXPECT_TRUE(WaitForWindowGone(splash, kWait)) << "the splash unloads";

    EXPECT_EQ(ReadAll(Ini()), Lines({"[PROGRAM]", "Interface=Normal", "Wizard=No", "LogFile=No",
                                     "BackupFiles=No", "BackupDir=No", "BackupReg=No", "[WARNING]",
                                     "ReadmeStart=Yes", "[LANGUAGE]", "CurrentLanguage=English"}));

    EXPECT_EQ(WindowText(warning), "Important");
    EXPECT_EQ(WindowText(FindControl(warning, "fraWarning")), "Important");
    EXPECT_EQ(WindowText(FindControl(warning, "cmdOK")), "OK");
    EXPECT_EQ(WindowText(FindControl(warning, "chkWarning")), "Show this warning at every start");
    EXPECT_EQ(WindowText(FindControl(warning, "lblWarning")).rfind("Tracewipe removes", 0), 0u);
    EXPECT_EQ(IsChecked(FindControl(warning, "chkWarning")), true);
    SaveScreenshot(ScreenshotPath("frmWarning"), warning);
    EXPECT_FALSE(ReadAll(folder_ + "\\English.dlf").empty()) << "the working copy was made";
    EXPECT_NE(GetFileAttributesA((folder_ + "\\English.dlf").c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);

    // OK opens the interface the settings name (Normal) and the warning goes
    ASSERT_TRUE(Click(FindControl(warning, "cmdOK")));
    EXPECT_NE(WaitForFrm("frmMain", kWait), nullptr);
    EXPECT_TRUE(WaitForWindowGone(warning, kWait));
}

// The check box writes its setting at once; Tab goes from OK to it; Esc closes the warning.
TEST_F(Startup, TheWarningsCheckBoxWritesAtOnceAndTheKeysWork) {
    ASSERT_NO_FATAL_FAILURE(Launch("frmWarning"));
    // the splash unloads right after it has shown the warning
    EXPECT_TRUE(
        WaitUntil([&] { return FindTopLevel(app_.id(), IsFrm("frmStart")) == nullptr; }, kWait));
    ASSERT_TRUE(Activate(window_));
    EXPECT_TRUE(
        WaitUntil([&] { return tw::ControlName(FocusedControl(window_)) == "cmdOK"; }, kWait))
        << "tab order starts at OK, not at " << tw::ControlName(FocusedControl(window_));
    SendKey(VK_TAB);
    EXPECT_TRUE(
        WaitUntil([&] { return tw::ControlName(FocusedControl(window_)) == "chkWarning"; }, kWait));
    ASSERT_TRUE(SetChecked(Control("chkWarning"), false));
    EXPECT_TRUE(WaitUntil([&] { return Readme() == "No"; }, kWait));
    EXPECT_TRUE(IsShown(window_)) << "written before OK";
    ASSERT_TRUE(SetChecked(Control("chkWarning"), true));
    EXPECT_TRUE(WaitUntil([&] { return Readme() == "Yes"; }, kWait));
    SendKey(VK_ESCAPE);
    EXPECT_TRUE(app_.WaitForExit(kWait).has_value()) << "Esc closes the warning: nothing is left";
    EXPECT_EQ(Readme(), "Yes");
}

// The settings compare exactly: a value in another letter case names no window.
TEST_F(Startup, SettingsInAnotherLetterCaseOpenNoWindowAndTheProgramEnds) {
    for (const char* program : {"Wizard=yes", "Wizard=No\r\nInterface=advanced"}) {
        SCOPED_TRACE(program);
        WriteAll(Ini(),
                 std::string("[PROGRAM]\r\n") + program + "\r\n[WARNING]\r\nReadmeStart=No\r\n");
        Start();
        // the program runs to its end without showing any window but the splash
        bool otherWindow = false, splash = false;
        EXPECT_TRUE(WaitUntil(
            [&] {
                for (HWND h : TopLevelWindows(app_.id()))
                    (IsFrm("frmStart")(h) ? splash : otherWindow) = true;
                return !app_.Running();
            },
            kFirstWait))
            << "the program is still running";
        EXPECT_TRUE(splash) << "the splash was not seen";
        EXPECT_FALSE(otherWindow);
    }
    EXPECT_EQ(IniText(Ini(), "PROGRAM", "Interface"), "advanced")
        << "a present value is never overwritten";
}

TEST_F(Startup, ASecondInstanceShowsNothingAndEnds) {
    Start();
    ASSERT_NE(WaitForFrm("frmStart", kFirstWait), nullptr);
    second_ = Process::Launch("\"" + folder_ + "\\Tracewipe.exe\"", folder_);
    bool shown = false;
    EXPECT_TRUE(WaitUntil(
        [&] {
            shown = shown || !TopLevelWindows(second_.id()).empty();
            return !second_.Running();
        },
        kWait));
    EXPECT_FALSE(shown);
    EXPECT_TRUE(app_.Running()) << "the first instance goes on";
}

TEST_F(Startup, AMissingLanguageFileGivesQuestionMarks) {
    WriteAll(Ini(), "[LANGUAGE]\r\nCurrentLanguage=Klingon\r\n");
    ASSERT_NO_FATAL_FAILURE(Launch("frmWarning"));
    for (const char* name : {"fraWarning", "lblWarning", "cmdOK", "chkWarning"})
        EXPECT_EQ(WindowText(Control(name)), "?") << name;
    EXPECT_EQ(WindowText(window_), "Important") << "the form caption is not set";
}

} // namespace
