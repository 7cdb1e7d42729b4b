// The Advanced interface and the wizard of the real Tracewipe.exe, opened by the settings at
// start-up: their runs, what these keep and the ways between the windows.
#include "support/ProgramTest.h"

namespace {

using namespace twtest;

const std::string kKey = "Software\\TracewipeE2E";
const std::vector<std::string> kSeeds = {"twe2e_removed.dll", "twe2e_pat1.tmp", "twe2e_reg.dll"};
const std::string kEverythingOn =
    "LogFile=Yes\r\nBackupFiles=Yes\r\nBackupDir=Yes\r\nBackupReg=Yes";

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
        for (const std::string& f : kSeeds)
            DeleteFileA((win_ + "\\" + f).c_str());
    }

    // The files and keys the two filters name (the E2E filter's own registry keys left out).
    void Seed() {
        MakeFiles(win_, kSeeds);
        CreateKey(HKEY_CURRENT_USER, kKey + "\\Second");
        CreateKey(HKEY_CURRENT_USER, kKey + "\\Section");
    }
    // The items seeded, the program started with these settings.
    void Launch(const std::string& program, const char* frm, const char* language = "English") {
        Seed();
        WriteSettings(program, language);
        ProgramTest::Launch(frm);
    }
    void Switch(const char* frm) {
        EXPECT_TRUE(WaitForWindowGone(window_, kWait));
        window_ = WaitForFrm(frm);
        EXPECT_NE(window_, nullptr) << frm;
    }
    void WizardClean() { Clean(true, nullptr, kRunWait, "lblWizStatus", "0121"); }

    std::string win_ = WindowsDir();
};

TEST_F(FrontEnds, AdvancedSlotsRunInOrderIntoOneLogWithExportsCountedPerFilter) {
    Launch("Interface=Advanced\r\nWizard=No\r\n" + kEverythingOn, "frmAdvanced");
    for (const std::string slot : {"1", "2", "3", "4"}) {
        SCOPED_TRACE(slot);
        EXPECT_EQ(IsChecked(Control("chkConfig" + slot)), false);
        HWND selector = Control("cboConfigs" + slot);
        EXPECT_FALSE(IsEnabled(selector));
        EXPECT_EQ(ComboItems(selector), (std::vector<std::string>{"E2E", "E2EReg"}));
        EXPECT_EQ(ComboSelection(selector), 0);
    }
    for (bool on : {true, false}) { // a tick toggles its selector both ways
        ASSERT_TRUE(SetChecked(Control("chkConfig2"), on));
        EXPECT_TRUE(WaitUntil([&] { return IsEnabled(Control("cboConfigs2")) == on; }, kWait));
    }
    ASSERT_TRUE(SetChecked(Control("chkConfig1"), true));
    ASSERT_TRUE(SetChecked(Control("chkConfig3"), true));
    ASSERT_TRUE(SelectCombo(Control("cboConfigs3"), "E2EReg"));
    Shoot("frmAdvanced-before-run");

    Clean();
    EXPECT_EQ(shown_, (std::vector<std::string>{Lang("0012") + " E2E " + Lang("0013"),
                                                Lang("0012") + " E2EReg " + Lang("0013")}));
    EXPECT_EQ(StoredText(Control("lblStatusFile")), "");
    Shoot("frmAdvanced-after-run");

    const std::vector<std::string> removed = {Entry("0015", win_ + "\\twe2e_removed.dll"),
                                              Entry("0015", win_ + "\\twe2e_pat*.tmp"),
                                              Entry("0015", win_ + "\\twe2e_reg.dll")};
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

TEST_F(FrontEnds, WizardCleansWithTheChosenFilterAndLeavesNothingBehind) {
    Launch("Interface=Normal\r\nWizard=Yes\r\n" + kEverythingOn, "frmWiz1");
    EXPECT_EQ(ComboItems(Control("cboConfigsWiz")), (std::vector<std::string>{"E2E", "E2EReg"}));
    Shoot("frmWiz1");
    ASSERT_TRUE(Click(Control("cmdNext")));
    Switch("frmWiz2");
    EXPECT_EQ(WindowText(Control("lblWizCFilter")), "E2E");
    WizardClean();
    Shoot("frmWiz2-after-run");
    EXPECT_FALSE(Exists(win_ + "\\twe2e_removed.dll"));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kKey + "\\Section"));
    EXPECT_TRUE(Exists(win_ + "\\twe2e_reg.dll"));
    Seed();
    WizardClean();
    EXPECT_FALSE(Exists(win_ + "\\twe2e_removed.dll")) << "Clean twice runs twice";

    ASSERT_TRUE(Click(Control("cmdBack")));
    Switch("frmWiz1");
    ASSERT_TRUE(SelectCombo(Control("cboConfigsWiz"), "E2EReg"));
    ASSERT_TRUE(Click(Control("cmdNext")));
    Switch("frmWiz2");
    Seed();
    WizardClean();
    EXPECT_FALSE(Exists(win_ + "\\twe2e_reg.dll"));
    EXPECT_TRUE(Exists(win_ + "\\twe2e_removed.dll")) << "the E2E filter did not run again";
    EXPECT_FALSE(Exists(folder_ + "\\Backup"));
    EXPECT_FALSE(Exists(folder_ + "\\Log"));
    EXPECT_FALSE(Exists(win_ + "\\cddwf.dll"));
    ASSERT_TRUE(Click(Control("cmdClose")));
    Switch("frmMain");
}

// In German: the wizard's font; Cancel to the Advanced interface, where a run without a slot
// still ends and a filter ticked twice runs twice; Ctrl+W back to the wizard; its close box.
TEST_F(FrontEnds, WizardFontCancelAdvancedRunsMenuAndCloseBox) {
    Launch("Interface=Advanced\r\nWizard=Yes", "frmWiz1", "German");
    ASSERT_NO_FATAL_FAILURE(ChooseFont("Tahoma"));
    EXPECT_TRUE(WaitUntil([&] { return FontFace(Control("cmdNext")) == "Tahoma"; }, kWait));
    Shoot("frmWiz1-German-Tahoma");
    ASSERT_TRUE(Click(Control("cmdCancel")));
    Switch("frmAdvanced");
    Clean();
    EXPECT_EQ(ListItems(Control("lstDetail")), std::vector<std::string>{});
    ASSERT_TRUE(SetChecked(Control("chkConfig2"), true));
    ASSERT_TRUE(SetChecked(Control("chkConfig4"), true));
    ASSERT_TRUE(SelectCombo(Control("cboConfigs2"), "E2EReg"));
    ASSERT_TRUE(SelectCombo(Control("cboConfigs4"), "E2EReg"));
    Clean();
    const std::string file = " (" + win_ + "\\twe2e_reg.dll)";
    EXPECT_EQ(ListItems(Control("lstDetail")), std::vector<std::string>{Lang("0015") + file});
    EXPECT_EQ(ListItems(Control("lstDetails")), std::vector<std::string>{Lang("0016") + file});
    ASSERT_TRUE(Activate(window_));
    ASSERT_TRUE(SendKey('W', true));
    Switch("frmWiz1");
    ASSERT_TRUE(Click(Control("cmdNext")));
    Switch("frmWiz2");
    ASSERT_TRUE(PostMessageW(window_, WM_CLOSE, 0, 0));
    EXPECT_TRUE(app_.WaitForExit(kWait).has_value())
        << "the close box ends the program when no other window is open";
}

} // namespace
