// The real Tracewipe.exe, started from a fresh program folder and driven from outside:
// start-up defaults, the splash, the warning, a second instance, the settings that open
// no window, and the language file seen through the warning's captions.
#include "AppFolder.h"
#include "GuiDriver.h"
#include "win/ControlName.h"

#include <gtest/gtest.h>

namespace {

using namespace tw::gui;

constexpr DWORD kFirstWait = 30000; // the first window of a run also waits for the desktop
constexpr DWORD kWait = 10000;

bool IsFrm(HWND h, const char* name) {
    return tw::ControlName(h) == name;
}

class Startup : public ::testing::Test {
  protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        folder_ = WinPath(TW_GUI_WORK_DIR) + "\\" + info->name();
        ASSERT_TRUE(MakeProgramFolder(
            folder_, WinPath(TW_PROGRAM_DIR),
            {"Tracewipe.exe", "English.lng", "German.lng", "ATI.twf", "NVIDIA.twf"}));
    }
    void TearDown() override {
        app_.Kill();
        second_.Kill();
    }

    std::string Ini() const { return folder_ + "\\Tracewipe.ini"; }
    std::string IniValue(const char* section, const char* key) const {
        char buf[512] = {};
        GetPrivateProfileStringA(section, key, "?", buf, sizeof buf, Ini().c_str());
        return buf;
    }
    bool IsValue(const char* section, const char* key, const std::string& value) const {
        return IniValue(section, key) == value;
    }
    void Launch() { app_ = Process::Launch("\"" + folder_ + "\\Tracewipe.exe\"", folder_); }

    HWND WaitForWarning(DWORD timeout = kFirstWait) {
        return WaitForWindow(
            app_.id(), [](HWND h) { return IsFrm(h, "frmWarning"); }, timeout);
    }

    // The program runs to its end without showing any window but the splash.
    void ExpectEndsAfterSplashOnly() {
        bool otherWindow = false, splash = false;
        bool ended = WaitUntil(
            [&] {
                for (HWND h : TopLevelWindows(app_.id()))
                    (IsFrm(h, "frmStart") ? splash : otherWindow) = true;
                return !app_.Running();
            },
            kFirstWait);
        EXPECT_TRUE(ended) << "the program is still running";
        EXPECT_TRUE(splash) << "the splash was not seen";
        EXPECT_FALSE(otherWindow);
    }

    std::string folder_;
    Process app_, second_;
};

TEST_F(Startup, FirstStartWritesTheDefaultsAndShowsTheWarningAfterTwoTicks) {
    Launch();
    HWND splash = WaitForWindow(
        app_.id(), [](HWND h) { return IsFrm(h, "frmStart"); }, kFirstWait);
    ASSERT_NE(splash, nullptr) << "the program is " << app_.State();
    DWORD shown = GetTickCount();
    RECT r{};
    GetClientRect(splash, &r);
    EXPECT_EQ(r.right, 400);
    EXPECT_EQ(r.bottom, 133);
    // the picture is drawn by the splash's first paint, which may still be pending
    RedrawWindow(splash, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Sleep(200);
    SaveScreenshot(ScreenshotPath("frmStart"), splash);

    HWND warning = WaitForWarning();
    ASSERT_NE(warning, nullptr) << "the program is " << app_.State();
    DWORD elapsed = GetTickCount() - shown;
    EXPECT_GE(elapsed, 1500u) << "two one-second ticks";
    EXPECT_LE(elapsed, 6000u);
    EXPECT_TRUE(WaitForWindowGone(splash, kWait)) << "the splash unloads";

    EXPECT_EQ(ReadAll(Ini()), "[PROGRAM]\r\n"
                              "Interface=Normal\r\n"
                              "Wizard=No\r\n"
                              "LogFile=No\r\n"
                              "BackupFiles=No\r\n"
                              "BackupDir=No\r\n"
                              "BackupReg=No\r\n"
                              "[WARNING]\r\n"
                              "ReadmeStart=Yes\r\n"
                              "[LANGUAGE]\r\n"
                              "CurrentLanguage=English\r\n");

    EXPECT_EQ(WindowText(warning), "Important");
    EXPECT_EQ(WindowText(FindControl(warning, "fraWarning")), "Important");
    EXPECT_EQ(WindowText(FindControl(warning, "cmdOK")), "OK");
    EXPECT_EQ(WindowText(FindControl(warning, "chkWarning")), "Show this warning at every start");
    EXPECT_EQ(WindowText(FindControl(warning, "lblWarning")).rfind("Tracewipe removes", 0), 0u);
    EXPECT_EQ(IsChecked(FindControl(warning, "chkWarning")), true);
    SaveScreenshot(ScreenshotPath("frmWarning"), warning);
    EXPECT_FALSE(ReadAll(folder_ + "\\English.dlf").empty()) << "the working copy was made";
    DWORD attributes = GetFileAttributesA((folder_ + "\\English.dlf").c_str());
    EXPECT_NE(attributes & FILE_ATTRIBUTE_HIDDEN, 0u);
}

TEST_F(Startup, TheWarningsCheckBoxWritesAtOnceAndOkOpensTheInterface) {
    Launch();
    HWND warning = WaitForWarning();
    ASSERT_NE(warning, nullptr) << "the program is " << app_.State();
    HWND check = FindControl(warning, "chkWarning");
    ASSERT_TRUE(SetChecked(check, false));
    EXPECT_TRUE(WaitUntil([&] { return IsValue("WARNING", "ReadmeStart", "No"); }, kWait));
    EXPECT_TRUE(IsShown(warning)) << "written before OK";
    ASSERT_TRUE(SetChecked(check, true));
    EXPECT_TRUE(WaitUntil([&] { return IsValue("WARNING", "ReadmeStart", "Yes"); }, kWait));

    // OK opens the interface the settings name (Normal) and the warning goes
    ASSERT_TRUE(Click(FindControl(warning, "cmdOK")));
    EXPECT_NE(WaitForWindow(
                  app_.id(), [](HWND h) { return IsFrm(h, "frmMain"); }, kWait),
              nullptr);
    EXPECT_TRUE(WaitForWindowGone(warning, kWait));
}

TEST_F(Startup, TabOrderStartsAtOkAndEscapeClosesTheWarning) {
    Launch();
    HWND warning = WaitForWarning();
    ASSERT_NE(warning, nullptr) << "the program is " << app_.State();
    // the splash unloads right after it has shown the warning
    EXPECT_TRUE(WaitUntil(
        [&] {
            return FindTopLevel(app_.id(), [](HWND h) { return IsFrm(h, "frmStart"); }) == nullptr;
        },
        kWait));
    ASSERT_TRUE(Activate(warning));
    EXPECT_TRUE(
        WaitUntil([&] { return tw::ControlName(FocusedControl(warning)) == "cmdOK"; }, kWait))
        << "tab order starts at OK, not at " << tw::ControlName(FocusedControl(warning));
    SendKey(VK_TAB);
    EXPECT_TRUE(
        WaitUntil([&] { return tw::ControlName(FocusedControl(warning)) == "chkWarning"; }, kWait));
    SendKey(VK_ESCAPE);
    EXPECT_TRUE(app_.WaitForExit(kWait).has_value()) << "Esc closes the warning: nothing is left";
    EXPECT_EQ(IniValue("WARNING", "ReadmeStart"), "Yes");
}

TEST_F(Startup, ReadmeStartNoSkipsTheWarningAndOpensTheNormalInterface) {
    WriteAll(Ini(), "[WARNING]\r\nReadmeStart=No\r\n");
    Launch();
    bool warned = false;
    HWND main = nullptr;
    WaitUntil(
        [&] {
            warned =
                warned || FindTopLevel(app_.id(), [](HWND h) { return IsFrm(h, "frmWarning"); });
            main = FindTopLevel(app_.id(), [](HWND h) { return IsFrm(h, "frmMain"); });
            return main != nullptr;
        },
        kFirstWait);
    EXPECT_NE(main, nullptr) << "the Normal interface opens after the splash";
    EXPECT_FALSE(warned);
    // the other defaults are still written, the present value is kept
    EXPECT_EQ(IniValue("WARNING", "ReadmeStart"), "No");
    EXPECT_EQ(IniValue("PROGRAM", "Interface"), "Normal");
}

TEST_F(Startup, WizardInLowerCaseOpensNoWindowAndTheProgramEnds) {
    WriteAll(Ini(), "[PROGRAM]\r\nWizard=yes\r\n[WARNING]\r\nReadmeStart=No\r\n");
    Launch();
    ExpectEndsAfterSplashOnly();
    EXPECT_EQ(IniValue("PROGRAM", "Wizard"), "yes") << "a present value is never overwritten";
}

TEST_F(Startup, ASecondInstanceShowsNothingAndEnds) {
    Launch();
    ASSERT_NE(WaitForWindow(
                  app_.id(), [](HWND h) { return IsFrm(h, "frmStart"); }, kFirstWait),
              nullptr);
    second_ = Process::Launch("\"" + folder_ + "\\Tracewipe.exe\"", folder_);
    bool shown = false;
    bool ended = WaitUntil(
        [&] {
            shown = shown || !TopLevelWindows(second_.id()).empty();
            return !second_.Running();
        },
        kWait);
    EXPECT_TRUE(ended);
    EXPECT_FALSE(shown);
    EXPECT_TRUE(app_.Running()) << "the first instance goes on";
}

TEST_F(Startup, ALongTextReadsBackAs254Characters) {
    // a language of one long text, packed with the stored method
    std::string text(300, 'x');
    for (size_t i = 0; i < text.size(); ++i)
        text[i] = static_cast<char>('a' + i % 26);
    WriteAll(folder_ + "\\Long.lng", "HE0\r[Language]\r\n1040=" + text + "\r\n1026=OK\r\n");
    WriteAll(Ini(), "[LANGUAGE]\r\nCurrentLanguage=Long\r\n");
    Launch();
    HWND warning = WaitForWarning();
    ASSERT_NE(warning, nullptr) << "the program is " << app_.State();
    EXPECT_EQ(WindowText(FindControl(warning, "lblWarning")), text.substr(0, 254));
}

TEST_F(Startup, AMissingLanguageFileGivesQuestionMarks) {
    WriteAll(Ini(), "[LANGUAGE]\r\nCurrentLanguage=Klingon\r\n");
    Launch();
    HWND warning = WaitForWarning();
    ASSERT_NE(warning, nullptr) << "the program is " << app_.State();
    for (const char* name : {"fraWarning", "lblWarning", "cmdOK", "chkWarning"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(WindowText(FindControl(warning, name)), "?");
    }
    EXPECT_EQ(WindowText(warning), "Important") << "the form caption is not set";
}

} // namespace
