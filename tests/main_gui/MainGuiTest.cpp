// Whole cleaning runs of the real Tracewipe.exe in the Normal interface, with small filters
// of its own on items seeded into this prefix: lists, status, files, registry, store and log.
#include "registry/Registry.h"
#include "support/ProgramTest.h"
#include "win/SystemFolders.h"

#include <cstdio>

namespace {

using namespace twtest;

const std::string kE2EKey = "Software\\TracewipeE2E";
// Files the filters name, the E2E pattern's matches and look-alikes beside them.
const std::vector<std::string> kWinSeeds = {"twe2e_removed.dll", "twe2e_pat1.tmp",
                                            "twe2e_pat2.tmp",    "twe2e_keep.dll",
                                            "twe2e_reg.dll",     "twe2e_after_search.dll"};

// "yyyymmddhhmmss" of a local time, and of a run name "dd-mm-yyyy_hhmmss" ("" for no name).
std::string Sortable(const SYSTEMTIME& t) {
    char s[32];
    std::snprintf(s, sizeof s, "%04u%02u%02u%02u%02u%02u", t.wYear, t.wMonth, t.wDay, t.wHour,
                  t.wMinute, t.wSecond);
    return s;
}
std::string Sortable(const std::string& r) {
    return r.size() == 17 ? r.substr(6, 4) + r.substr(3, 2) + r.substr(0, 2) + r.substr(11, 6) : "";
}

class MainGui : public ProgramTest {
  protected:
    void SetUp() override {
        MakeFolder({"Tracewipe.exe", "English.lng", "German.lng"});
        ASSERT_FALSE(pf_.empty());
        ClearSeeds();
    }
    void TearDown() override {
        ProgramTest::TearDown();
        ClearSeeds();
    }

    std::string WorkingCopy() const { return win_ + "\\cdtwf.dll"; }
    std::string Drive() const { return win_.substr(0, 2); }

    void ClearSeeds() {
        for (const std::string& f : kWinSeeds)
            DeleteFileA((win_ + "\\" + f).c_str());
        for (const std::string& p :
             {WorkingCopy(), win_ + "\\twe2e_missing.dll", sys_ + "\\twe2e_sys.dll",
              pf_ + "\\TwE2E Vendor", Drive() + "\\TwE2E Root Dir"})
            RemoveTree(p);
        for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE})
            DeleteKeyTree(root, kE2EKey);
    }

    // The leftovers that the E2E filter names, and a look-alike beside them.
    void Seed() {
        MakeFiles(win_, kWinSeeds);
        MakeFiles(sys_, {"twe2e_sys.dll"});
        MakeFiles(pf_, {"TwE2E Vendor\\sub\\file.txt"});
        MakeFiles(Drive(), {"TwE2E Root Dir\\root.txt"});
        SetString(HKEY_CURRENT_USER, kE2EKey + "\\Section\\Sub", "v", "1");
        SetString(HKEY_LOCAL_MACHINE, kE2EKey + "\\Section", "v", "2");
        SetString(HKEY_CURRENT_USER, kE2EKey + "\\Values", "Doomed", "x");
        SetString(HKEY_CURRENT_USER, kE2EKey + "\\Values", "Kept", "y");
        SetString(HKEY_CURRENT_USER, kE2EKey + "\\Deep\\TwE2ESearchHit\\Inner", "v", "3");
    }

    // The log and the file, folder and key backups on or off; the filters in, the items seeded.
    void Prepare(bool log, bool files = false, bool dirs = false, bool reg = false,
                 std::vector<const char*> filters = {"E2E"}) {
        auto yn = [](bool on) { return on ? "Yes" : "No"; };
        WriteSettings(std::string("Interface=Normal\r\nWizard=No\r\nLogFile=") + yn(log) +
                      "\r\nBackupFiles=" + yn(files) + "\r\nBackupDir=" + yn(dirs) +
                      "\r\nBackupReg=" + yn(reg));
        for (const char* filter : filters)
            CopyIn(TW_E2E_FILTER_DIR, std::string(filter) + ".twf");
        Seed();
    }
    void Launch() {
        GetLocalTime(&started_);
        ProgramTest::Launch("frmMain");
        GetLocalTime(&loaded_);
    }

    std::vector<std::string> Removed() const { return ListItems(Control("lstDetail")); }
    std::vector<std::string> NotFound() const { return ListItems(Control("lstDetails")); }

    // The one run name of this window, read from the log folder's single log of `filter`.
    std::string RunName(const std::string& filter) const {
        const std::string suffix = "_" + filter + ".log";
        for (const std::string& name : FolderNames(folder_ + "\\Log"))
            if (name.size() == 17 + suffix.size() && name.ends_with(suffix))
                return name.substr(0, 17);
        return {};
    }
    // The log header of a run name, which is checked to be taken while the window loaded.
    std::string Header(const std::string& runName) const {
        EXPECT_GE(Sortable(runName), Sortable(started_)) << runName;
        EXPECT_LE(Sortable(runName), Sortable(loaded_)) << runName;
        char sep[8] = ":";
        GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STIME, sep, sizeof sep);
        return "-------- " + runName.substr(0, 10) + " -- " + runName.substr(11, 2) + sep +
               runName.substr(13, 2) + sep + runName.substr(15, 2);
    }
    std::string Log(const std::string& r, const char* filter = "E2E") const {
        return ReadAll(folder_ + "\\Log\\" + r + "_" + filter + ".log");
    }

    std::vector<std::string> ExpectedRemoved() const {
        return {Entry("0015", win_ + "\\twe2e_removed.dll"),
                Entry("0015", win_ + "\\twe2e_pat*.tmp"), Entry("0015", sys_ + "\\twe2e_sys.dll"),
                Entry("0017", pf_ + "\\TwE2E Vendor"), Entry("0017", Drive() + "\\TwE2E Root Dir")};
    }
    std::vector<std::string> ExpectedNotFound() const {
        return {Entry("0016", win_ + "\\twe2e_missing.dll"),
                Entry("0018", pf_ + "\\TwE2E Missing")};
    }

    // What one pass of the E2E filter leaves: every named item gone, its neighbours kept.
    void ExpectE2ECleaned() const {
        const std::pair<std::string, bool> items[] = {
            {win_ + "\\twe2e_removed.dll", false}, {win_ + "\\twe2e_pat1.tmp", false},
            {win_ + "\\twe2e_pat2.tmp", false},    {win_ + "\\twe2e_keep.dll", true},
            {sys_ + "\\twe2e_sys.dll", false},     {pf_ + "\\TwE2E Vendor", false},
            {Drive() + "\\TwE2E Root Dir", false}, {WorkingCopy(), false},
            {folder_ + "\\E2E.twr", false},        {folder_ + "\\E2E.twf", true},
        };
        for (const auto& [path, exists] : items)
            EXPECT_EQ(Exists(path), exists) << path;
        EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kE2EKey + "\\Section"));
        EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kE2EKey + "\\Section"));
        EXPECT_FALSE(ValueExists(HKEY_CURRENT_USER, kE2EKey + "\\Values", "Doomed"));
        EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, kE2EKey + "\\Values", "Kept"));
        EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kE2EKey + "\\Deep\\TwE2ESearchHit"));
        EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, kE2EKey + "\\Deep"));
    }

    std::string win_ = tw::GetWindowsDir(), sys_ = tw::GetSystemDir(),
                pf_ = tw::GetProgramFilesDir();
    SYSTEMTIME started_{}, loaded_{};
};

TEST_F(MainGui, ARunWithEveryBackupFillsTheStoreAndLogsTheRemovedLines) {
    Prepare(true, true, true, true);
    Launch();
    EXPECT_EQ(ComboSelection(Control("cboConfigs")), 0);
    // the window answers once its first paint is through
    ASSERT_TRUE(WaitUntil([&] { return !WindowText(Control("lblGPU")).empty(); }, kWait));
    Shoot("frmMain-before-run");
    Clean(true, "frmMain-confirmation");
    Shoot("frmMain-after-run");

    EXPECT_EQ(Removed(), ExpectedRemoved());
    EXPECT_EQ(NotFound(), ExpectedNotFound());
    EXPECT_TRUE(IsEnabled(Control("cmdClose")));
    EXPECT_EQ(MenuItemEnabled(window_, {Lang("1005"), Lang("1006")}), true);
    ExpectE2ECleaned();

    const std::string r = RunName("E2E");
    ASSERT_FALSE(r.empty()) << "no log";
    EXPECT_EQ(Log(r), Lines({Header(r)}) + Lines(ExpectedRemoved()));

    const std::string fb = r + "_E2E_FileBackup", db = r + "_E2E_DirBackup";
    const std::string rb = r + "_E2E_RegBackup", backup = folder_ + "\\Backup\\";
    EXPECT_EQ(FolderNames(folder_ + "\\Backup"), (std::vector<std::string>{db, fb, rb}));
    // the indexes (what the copies and exports hold is tested in-process)
    EXPECT_EQ(ReadAll(backup + fb + "\\" + fb + ".dfb"),
              Lines({"\\Windows\\twe2e_removed.dll, " + win_, "\\Windows\\twe2e_pat*.tmp, " + win_,
                     "\\System\\twe2e_sys.dll, " + sys_}));
    EXPECT_EQ(ReadAll(backup + db + "\\" + db + ".ddb"),
              Lines({"TwE2E Vendor, " + pf_, "TwE2E Root Dir, " + Drive()}));
    // The key entries are exports 1 and 2; the missing key takes number 3 without a line;
    // the key found by the search is replayed last.
    const std::string k = "HKEY_CURRENT_USER\\" + kE2EKey;
    EXPECT_EQ(ReadAll(backup + rb + "\\" + rb + ".drb"),
              Lines({k + "\\Section, Section1.dat",
                     "HKEY_LOCAL_MACHINE\\" + kE2EKey + "\\Section, Section2.dat",
                     k + "\\Deep\\TwE2ESearchHit, TwE2ESearchHit4.dat"}));
}

// Only the log on: no prune runs; a second run of the window appends a block with the same
// header, a No changes nothing, and another filter gets its own log.
TEST_F(MainGui, RunsOfOneWindowShareTheRunNameAndAppendToTheirLogsAndNoChangesNothing) {
    Prepare(true, false, false, false, {"E2E", "E2EReg"});
    Launch();
    EXPECT_EQ(ComboItems(Control("cboConfigs")), (std::vector<std::string>{"E2E", "E2EReg"}));
    Clean();
    ExpectE2ECleaned();
    Sleep(1100); // a header taken at run time would differ now
    Seed();
    Clean();
    EXPECT_EQ(Removed(), ExpectedRemoved()) << "each run starts with empty lists";
    EXPECT_EQ(NotFound(), ExpectedNotFound());
    const std::string ini = ReadAll(Ini());
    Seed();
    Clean(false);
    EXPECT_EQ(Removed(), ExpectedRemoved());
    EXPECT_EQ(NotFound(), ExpectedNotFound());
    EXPECT_EQ(Status(), Lang("0014"));
    EXPECT_TRUE(IsEnabled(Control("cmdClean")));
    for (const char* f : {"twe2e_removed.dll", "twe2e_pat1.tmp"})
        EXPECT_TRUE(Exists(win_ + "\\" + f)) << f;
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, kE2EKey + "\\Section"));
    EXPECT_EQ(ReadAll(Ini()), ini);
    ASSERT_TRUE(SelectCombo(Control("cboConfigs"), "E2EReg"));
    ASSERT_TRUE(WaitUntil([&] { return ComboSelection(Control("cboConfigs")) == 1; }, kWait));
    Clean();
    const std::string other = Entry("0015", win_ + "\\twe2e_reg.dll");
    EXPECT_EQ(Removed(), std::vector<std::string>{other});

    // an empty Backup would be removed by a prune: it stays, so none ran; No added no block
    EXPECT_TRUE(Exists(folder_ + "\\Backup"));
    EXPECT_EQ(FolderNames(folder_ + "\\Backup"), std::vector<std::string>{});
    const std::string r = RunName("E2E");
    ASSERT_FALSE(r.empty());
    EXPECT_EQ(FolderNames(folder_ + "\\Log"),
              (std::vector<std::string>{r + "_E2E.log", r + "_E2EReg.log"}));
    const std::string block = Lines({Header(r)}) + Lines(ExpectedRemoved());
    EXPECT_EQ(Log(r), block + block);
    EXPECT_EQ(Log(r, "E2EReg"), Lines({Header(r), other}));
}

TEST_F(MainGui, AFileInUseIsListedAndLoggedAndARestartIsOffered) {
    Prepare(true);
    const std::string held = win_ + "\\twe2e_removed.dll";
    HANDLE hold = CreateFileA(held.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    ASSERT_NE(hold, INVALID_HANDLE_VALUE);
    Launch();
    Clean();
    // Yes would restart the prefix
    const bool offered = AnswerBox(Lang("0035"), Lang("0036"), {IDYES, IDNO}, IDNO);
    std::vector<std::string> want = ExpectedRemoved();
    want[0] = Entry("0033", held);
    want.push_back(Lang("0034") + " 1");
    EXPECT_EQ(Removed(), want);
    CloseHandle(hold);
    EXPECT_TRUE(Exists(held));
    const std::string r = RunName("E2E");
    EXPECT_EQ(Log(r), Lines({Header(r)}) + Lines(want));
    // the restart is not for this prefix
    RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Control\\Session Manager",
                       "PendingFileRenameOperations");
    ASSERT_TRUE(offered) << "no offer to restart";
}

TEST_F(MainGui, AnEmptyProgramFolderDisablesCleaning) {
    Prepare(false, false, false, false, {});
    Start();
    ASSERT_TRUE(AnswerBox(Lang("0007"), Lang("0008"), {IDOK}, IDOK, kFirstWait));
    window_ = WaitForFrm("frmMain", kWait);
    ASSERT_NE(window_, nullptr);
    EXPECT_FALSE(IsEnabled(Control("cmdClean")));
    EXPECT_TRUE(IsEnabled(Control("cmdClose")));
    EXPECT_EQ(MenuItemEnabled(window_, {Lang("1005"), Lang("1006")}), false);
    EXPECT_EQ(MenuItemEnabled(window_, {Lang("1005"), Lang("1007")}), true);
    EXPECT_EQ(ComboItems(Control("cboConfigs")), std::vector<std::string>{});
}

// During the slow filter's registry searches: Cancel ends the preview (Tools menu) early, before
// the file entry after them; closing the main window during a run ends the program cleanly.
TEST_F(MainGui, CancelOrCloseDuringARegistrySearchEndsThePreviewOrTheProgramCleanly) {
    Prepare(true, false, false, false, {"E2ESlow"});
    Launch();
    ASSERT_TRUE(PostMenuCommand(window_, {Lang("1019"), Lang("2100")}));
    HWND preview = WaitForFrm("frmPreview");
    ASSERT_NE(preview, nullptr);
    const auto progress = [&] { return WindowText(FindControl(preview, "lblProgress")); };
    const std::string searching = Lang("2103") + " HKEY_LOCAL_MACHINE; HKEY_CLASSES_ROOT";
    ASSERT_TRUE(WaitUntil([&] { return progress() == searching; }, kRunWait)) << progress();
    SaveScreenshot(ScreenshotPath("frmPreview_searching"), preview);
    ASSERT_TRUE(Click(FindControl(preview, "cmdCancel")));
    ASSERT_TRUE(WaitUntil([&] { return progress() == Lang("2105"); }, kRunWait)) << progress();
    EXPECT_EQ(
        ListItems(FindControl(preview, "lstPreview")),
        (std::vector<std::string>{Lang("2115") + ": 0 " + Lang("2116") + ", 0 " + Lang("2110") +
                                      ", 0 " + Lang("2111") + ", 0 " + Lang("2117"),
                                  Lang("2105")}))
        << "the file entry after the searches is never reached";
    ASSERT_TRUE(PostMessageW(preview, WM_CLOSE, 0, 0) && WaitForWindowGone(preview));

    ASSERT_TRUE(Click(Control("cmdClean")));
    ASSERT_TRUE(AnswerBox(Lang("0009"), Lang("0010"), {IDYES, IDNO}, IDYES));
    // the working copy exists from the unpack to the end of the pass
    ASSERT_TRUE(WaitUntil([&] { return Exists(WorkingCopy()); }, kWait));
    ASSERT_TRUE(WaitUntil([&] { return Status() == Lang("0011"); }, kWait))
        << "the window answers while the search runs";
    EXPECT_FALSE(IsEnabled(Control("cmdClose")));
    ASSERT_TRUE(PostMessageW(window_, WM_CLOSE, 0, 0));
    EXPECT_EQ(app_.WaitForExit(kRunWait), 0u) << "the program ends with exit code 0";
    EXPECT_FALSE(Exists(WorkingCopy()));
    EXPECT_FALSE(Exists(folder_ + "\\E2ESlow.twr"));
    EXPECT_FALSE(Exists(folder_ + "\\English.dlf")) << "the language copy is deleted";
}

// File > Exit chosen with the keys that reach a menu bar (F with Alt); an Enter that missed
// the menu would press the default button (Clean) and ask for a confirmation instead.
TEST_F(MainGui, MenuBarAnswersF10AltAndMnemonics) {
    const std::pair<const char*, std::vector<WORD>> cases[] = {
        {"F10", {VK_F10, VK_DOWN, VK_DOWN, VK_RETURN}},
        {"Alt", {VK_MENU, VK_DOWN, VK_DOWN, VK_RETURN}},
        {"Alt+F, X", {'F', 'X'}},
    };
    Prepare(false);
    for (const auto& [name, keys] : cases) {
        SCOPED_TRACE(name);
        Launch();
        ASSERT_TRUE(Activate(window_));
        for (WORD vk : keys) {
            ASSERT_TRUE(SendKey(vk, false, false, vk == 'F'));
            Sleep(200); // the menu opens between keys
        }
        ASSERT_EQ(app_.WaitForExit(kWait), 0u) << "File > Exit was chosen";
    }
}

// With every setting off a run keeps nothing; then the window's keys and menus: F1 hands the
// help page to the shell (whose .html handler is the recording probe), the language, the font.
TEST_F(MainGui, WithEverySettingOffNothingIsKeptAndHelpLanguageAndFontApplyAtOnce) {
    const std::string classes = "Software\\Classes\\", recorded = folder_ + "\\help-opened.txt";
    const std::string oldClass = tw::Registry::GetValue(HKEY_LOCAL_MACHINE, classes + ".html", "");
    SetString(HKEY_LOCAL_MACHINE, classes + ".html", "", "TwE2E.Help");
    SetString(HKEY_LOCAL_MACHINE, classes + "TwE2E.Help\\shell\\open\\command", "",
              "\"" + WinePath(TW_RECORD_PROBE) + "\" record \"" + recorded + "\" \"%1\"");
    CopyIn(TW_PROGRAM_DIR, "Tracewipe.html");
    Prepare(false);
    Launch();
    ASSERT_TRUE(Activate(window_));
    ASSERT_TRUE(SendKey(VK_F1));
    std::string opened;
    WaitUntil([&] { return !(opened = ReadAll(recorded)).empty(); }, kWait);
    DeleteKeyTree(HKEY_LOCAL_MACHINE, classes + "TwE2E.Help");
    if (oldClass.empty())
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, (classes + ".html").c_str());
    else
        SetString(HKEY_LOCAL_MACHINE, classes + ".html", "", oldClass);
    EXPECT_STRCASEEQ(opened.c_str(), (folder_ + "\\Tracewipe.html").c_str()) << "F1's help page";

    Clean();
    EXPECT_EQ(Removed(), ExpectedRemoved());
    ExpectE2ECleaned();
    EXPECT_FALSE(Exists(folder_ + "\\Backup"));
    EXPECT_FALSE(Exists(folder_ + "\\Log"));

    ASSERT_TRUE(PostMenuCommand(window_, {"Options", "Language"}));
    HWND dialog = WaitForFrm("frmLanguage", kWait);
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(SelectCombo(FindControl(dialog, "cboLanguage"), "German"));
    SaveScreenshot(ScreenshotPath("frmLanguage_from_frmMain"), dialog);
    ASSERT_TRUE(Click(FindControl(dialog, "cmdSave")));
    ASSERT_TRUE(WaitUntil([&] { return WindowText(Control("cmdClean")) == "Reinigen"; }, kWait))
        << WindowText(Control("cmdClean"));
    // the menus speak German too: the English path is gone, the German one runs
    EXPECT_FALSE(MenuItemEnabled(window_, {"File", "Clean"}).has_value());
    EXPECT_EQ(MenuItemEnabled(window_, {"Datei", "Reinigen"}), std::optional<bool>(true));
    EXPECT_NE(ReadAll(Ini()).find("CurrentLanguage=German"), std::string::npos);
    SaveScreenshot(ScreenshotPath("frmMain_German"), window_);

    // then a font chosen with Ctrl+F
    ASSERT_NE(FontFace(Control("cmdClean")), "Tahoma");
    ASSERT_NO_FATAL_FAILURE(ChooseFont("Tahoma"));
    for (const char* name : {"cmdClean", "cmdClose", "lstDetail", "lblStatus"})
        EXPECT_TRUE(WaitUntil([&] { return FontFace(Control(name)) == "Tahoma"; }, kWait))
            << name << ": " << FontFace(Control(name));
    EXPECT_NE(ReadAll(Ini()).find("Name=Tahoma"), std::string::npos);
    SaveScreenshot(ScreenshotPath("frmMain_Tahoma"), window_);
}

} // namespace
