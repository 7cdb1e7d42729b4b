// The Advanced interface and the wizard of the real Tracewipe.exe, opened by the settings
// at start-up and driven from outside: slots carried out in order into one log, the
// wizard's run that leaves nothing behind, and the ways between the windows.
#include "support/ProgramTest.h"

#include <string>
#include <vector>

namespace {

using namespace twtest;

constexpr DWORD kRunWait = 120000;
const std::string kKey = "Software\\TracewipeE2E";
const char* const kSeeds[] = {"twe2e_removed.dll", "twe2e_pat1.tmp", "twe2e_reg.dll"};

std::string Lang(const char* id, const char* language = "English") {
    return LanguageText(id, language);
}
// The text of a control of another process as the system keeps it: read without a message,
// so it can be watched while the program is busy.
std::string StoredText(HWND h) {
    char buf[512] = {};
    return std::string(buf, static_cast<size_t>(std::max(0, GetWindowTextA(h, buf, sizeof buf))));
}

class FrontEnds : public ProgramTest {
  protected:
    void SetUp() override {
        MakeFolder({"Tracewipe.exe", "English.lng", "German.lng"});
        for (const char* filter : {"E2E.twf", "E2EReg.twf"})
            CopyIn(TW_E2E_FILTER_DIR, filter);
    }
    void TearDown() override {
        ProgramTest::TearDown();
        DeleteKeyTree(HKEY_CURRENT_USER, kKey);
        for (const char* f : kSeeds)
            DeleteFileA((win_ + "\\" + f).c_str());
    }

    // The files and keys the two filters name (the E2E filter's own registry keys left out).
    void Seed() {
        for (const char* f : kSeeds)
            WriteAll(win_ + "\\" + f, "data");
        CreateKey(HKEY_CURRENT_USER, kKey + "\\Second");
        CreateKey(HKEY_CURRENT_USER, kKey + "\\Section");
    }
    void Launch(const std::string& program, const char* frm, const char* language = "English") {
        language_ = language;
        WriteSettings(program, language);
        Start();
        window_ = WaitForFrm(frm, kFirstWait);
        ASSERT_NE(window_, nullptr) << frm << " did not open; the program is " << app_.State();
    }
    HWND Control(const char* name) const { return FindControl(window_, name); }
    HWND Switch(const char* frm) {
        EXPECT_TRUE(WaitForWindowGone(window_, kWait));
        window_ = WaitForFrm(frm);
        EXPECT_NE(window_, nullptr) << frm;
        return window_;
    }
    void Shoot(const char* name) {
        RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        Sleep(200);
        SaveScreenshot(ScreenshotPath(name), window_);
    }
    // Clean answered Yes; waits until the status reads `end`. Returns the texts that
    // lblStatusFile showed, in order, when the window has one.
    std::vector<std::string> Clean(const char* status, const char* end) {
        std::vector<std::string> shown;
        EXPECT_TRUE(Click(Control("cmdClean")));
        auto box = WaitForMessageBox(app_.id());
        EXPECT_TRUE(box.has_value());
        if (!box)
            return shown;
        EXPECT_EQ(box->text, Lang("0009", language_));
        EXPECT_TRUE(AnswerMessageBox(box->hwnd, IDYES));
        EXPECT_TRUE(WaitForWindowGone(box->hwnd, kWait));
        // The run starts as the box goes; from then on the window answers a message only
        // while the run waits (its controls disabled) or once it has ended.
        HWND file = Control("lblStatusFile");
        EXPECT_TRUE(WaitUntil(
            [&] {
                std::string now = file ? StoredText(file) : "";
                if (!now.empty() && (shown.empty() || shown.back() != now))
                    shown.push_back(now);
                DWORD_PTR r = 0;
                return SendMessageTimeoutW(window_, WM_NULL, 0, 0, SMTO_NORMAL, 50, &r) &&
                       IsEnabled(Control("cmdClean")) &&
                       StoredText(Control(status)) == Lang(end, language_);
            },
            kRunWait, 5));
        return shown;
    }

    std::string win_ = WindowsDir();
    HWND window_ = nullptr;
    const char* language_ = "English";
};

TEST_F(FrontEnds, AdvancedSlotsRunInOrderIntoOneLogWithExportsCountedPerFilter) {
    Seed();
    Launch("Interface=Advanced\r\nWizard=No\r\nLogFile=Yes\r\nBackupFiles=Yes\r\nBackupDir=Yes\r\n"
           "BackupReg=Yes",
           "frmAdvanced");
    for (int n = 1; n <= 4; ++n) {
        const std::string slot = std::to_string(n);
        SCOPED_TRACE(slot);
        EXPECT_EQ(IsChecked(Control(("chkConfig" + slot).c_str())), false);
        HWND selector = Control(("cboConfigs" + slot).c_str());
        EXPECT_FALSE(IsEnabled(selector));
        EXPECT_EQ(ComboItems(selector), (std::vector<std::string>{"E2E", "E2EReg"}));
        EXPECT_EQ(ComboSelection(selector), 0);
    }
    // a tick toggles its selector both ways
    ASSERT_TRUE(SetChecked(Control("chkConfig2"), true));
    EXPECT_TRUE(WaitUntil([&] { return IsEnabled(Control("cboConfigs2")); }, kWait));
    ASSERT_TRUE(SetChecked(Control("chkConfig2"), false));
    EXPECT_TRUE(WaitUntil([&] { return !IsEnabled(Control("cboConfigs2")); }, kWait));
    ASSERT_TRUE(SetChecked(Control("chkConfig1"), true));
    ASSERT_TRUE(SetChecked(Control("chkConfig3"), true));
    ASSERT_TRUE(SelectCombo(Control("cboConfigs3"), "E2EReg"));
    Shoot("frmAdvanced-before-run");

    const std::string statusOf[] = {Lang("0012") + " E2E " + Lang("0013"),
                                    Lang("0012") + " E2EReg " + Lang("0013")};
    EXPECT_EQ(Clean("lblStatus", "0014"), (std::vector<std::string>{statusOf[0], statusOf[1]}));
    EXPECT_EQ(StoredText(Control("lblStatusFile")), "");
    Shoot("frmAdvanced-after-run");

    const std::vector<std::string> removed = {Lang("0015") + " (" + win_ + "\\twe2e_removed.dll)",
                                              Lang("0015") + " (" + win_ + "\\twe2e_pat*.tmp)",
                                              Lang("0015") + " (" + win_ + "\\twe2e_reg.dll)"};
    EXPECT_EQ(ListItems(Control("lstDetail")), removed);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kKey + "\\Second"));
    const std::vector<std::string> logs = FolderNames(folder_ + "\\Log");
    ASSERT_EQ(logs.size(), 1u);
    const std::string r = logs[0].substr(0, 17);
    EXPECT_EQ(logs[0], r + "_Advanced Cleaning.log");
    const std::string log = ReadAll(folder_ + "\\Log\\" + logs[0]);
    EXPECT_EQ(log.substr(log.find("\r\n") + 2),
              Lines({"- E2E", "- ", "- E2EReg", "- "}) + Lines(removed));
    // each filter has its own run folders; the second filter's export is number 1 again
    const std::string rb = r + "_E2EReg_RegBackup";
    EXPECT_EQ(FolderNames(folder_ + "\\Backup"),
              (std::vector<std::string>{r + "_E2EReg_FileBackup", rb, r + "_E2E_FileBackup",
                                        r + "_E2E_RegBackup"}));
    EXPECT_EQ(ReadAll(folder_ + "\\Backup\\" + rb + "\\" + rb + ".drb"),
              Lines({"HKEY_CURRENT_USER\\" + kKey + "\\Second, Second1.dat"}));
}

TEST_F(FrontEnds, AdvancedRunsAFilterTickedTwiceTwiceAndANoSlotRunStillEnds) {
    Seed();
    Launch("Interface=Advanced\r\nWizard=No", "frmAdvanced", "German");
    Clean("lblStatus", "0014");
    EXPECT_EQ(ListItems(Control("lstDetail")), std::vector<std::string>{});
    ASSERT_TRUE(SetChecked(Control("chkConfig2"), true));
    ASSERT_TRUE(SetChecked(Control("chkConfig4"), true));
    ASSERT_TRUE(SelectCombo(Control("cboConfigs2"), "E2EReg"));
    ASSERT_TRUE(SelectCombo(Control("cboConfigs4"), "E2EReg"));
    Clean("lblStatus", "0014");
    const std::string file = " (" + win_ + "\\twe2e_reg.dll)";
    EXPECT_EQ(ListItems(Control("lstDetail")),
              std::vector<std::string>{Lang("0015", "German") + file});
    EXPECT_EQ(ListItems(Control("lstDetails")),
              std::vector<std::string>{Lang("0016", "German") + file});
}

TEST_F(FrontEnds, WizardCleansWithTheChosenFilterAndLeavesNothingBehind) {
    Seed();
    Launch("Interface=Normal\r\nWizard=Yes\r\nLogFile=Yes\r\nBackupFiles=Yes\r\nBackupDir=Yes\r\n"
           "BackupReg=Yes",
           "frmWiz1");
    EXPECT_EQ(ComboItems(Control("cboConfigsWiz")), (std::vector<std::string>{"E2E", "E2EReg"}));
    Shoot("frmWiz1");
    ASSERT_TRUE(Click(Control("cmdNext")));
    Switch("frmWiz2");
    EXPECT_EQ(WindowText(Control("lblWizCFilter")), "E2E");
    Clean("lblWizStatus", "0121");
    Shoot("frmWiz2-after-run");
    EXPECT_FALSE(Exists(win_ + "\\twe2e_removed.dll"));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kKey + "\\Section"));
    EXPECT_TRUE(Exists(win_ + "\\twe2e_reg.dll"));
    Seed();
    Clean("lblWizStatus", "0121");
    EXPECT_FALSE(Exists(win_ + "\\twe2e_removed.dll")) << "Clean twice runs twice";

    ASSERT_TRUE(Click(Control("cmdBack")));
    Switch("frmWiz1");
    ASSERT_TRUE(SelectCombo(Control("cboConfigsWiz"), "E2EReg"));
    ASSERT_TRUE(Click(Control("cmdNext")));
    Switch("frmWiz2");
    Seed();
    Clean("lblWizStatus", "0121");
    EXPECT_FALSE(Exists(win_ + "\\twe2e_reg.dll"));
    EXPECT_TRUE(Exists(win_ + "\\twe2e_removed.dll")) << "the E2E filter did not run again";
    for (const char* made : {"Backup", "Log"}) {
        SCOPED_TRACE(made);
        EXPECT_FALSE(Exists(folder_ + "\\" + made));
    }
    EXPECT_FALSE(Exists(win_ + "\\cddwf.dll"));
    ASSERT_TRUE(Click(Control("cmdClose")));
    Switch("frmMain");
}

TEST_F(FrontEnds, WizardFontCancelMenuAndCloseBox) {
    Launch("Interface=Advanced\r\nWizard=Yes", "frmWiz1", "German");
    ASSERT_TRUE(Activate(window_));
    ASSERT_TRUE(SendKey('F', true));
    HWND dialog = WaitForFrm("frmFont");
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(SelectCombo(FindControl(dialog, "cboFont"), "Tahoma"));
    ASSERT_TRUE(Click(FindControl(dialog, "cmdSave")));
    EXPECT_TRUE(WaitUntil([&] { return FontFace(Control("cmdNext")) == "Tahoma"; }, kWait));
    Shoot("frmWiz1-German-Tahoma");
    ASSERT_TRUE(Click(Control("cmdCancel")));
    Switch("frmAdvanced");
    ASSERT_TRUE(Activate(window_));
    ASSERT_TRUE(SendKey('W', true));
    Switch("frmWiz1");
    ASSERT_TRUE(Click(Control("cmdNext")));
    Switch("frmWiz2");
    ASSERT_TRUE(PostMessageW(window_, WM_CLOSE, 0, 0));
    auto code = app_.WaitForExit(kWait);
    EXPECT_TRUE(code.has_value()) << "the close box ends the program when no other window is open";
}

} // namespace
