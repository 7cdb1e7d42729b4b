// Whole cleaning runs of the real Tracewipe.exe in the Normal interface: the program
// starts from a fresh program folder with small filters of its own, removes items seeded
// into this prefix, and the tests check the lists, the status, the file system, the
// registry, the backup store and the log, byte for byte.
#include "support/ProgramTest.h"

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace {

using namespace twtest;

constexpr DWORD kRunWait = 120000; // a run with whole-root registry searches

const char kE2EKey[] = "Software\\TracewipeE2E";

std::string Lang(const char* id) {
    return LanguageText(id);
}

void MakeFile(const std::string& path, const std::string& text) {
    std::string dir = path.substr(0, path.find_last_of('\\'));
    for (size_t i = 3; i <= dir.size(); ++i)
        if (i == dir.size() || dir[i] == '\\')
            CreateDirectoryA(dir.substr(0, i).c_str(), nullptr);
    WriteAll(path, text);
}

struct Settings {
    bool LogFile = false, BackupFiles = false, BackupDir = false, BackupReg = false;
};

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
        char dir[MAX_PATH] = {};
        win_.assign(dir, GetWindowsDirectoryA(dir, MAX_PATH));
        sys_.assign(dir, GetSystemDirectoryA(dir, MAX_PATH));
        DWORD size = sizeof dir;
        RegGetValueA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion",
                     "ProgramFilesDir", RRF_RT_REG_SZ, nullptr, dir, &size);
        pf_ = dir;
        ASSERT_FALSE(pf_.empty());
        ClearSeeds();
        DeleteFileA(WorkingCopy().c_str());
    }
    void TearDown() override {
        ProgramTest::TearDown();
        ClearSeeds();
    }

    std::string WorkingCopy() const { return win_ + "\\cdtwf.dll"; }
    std::string Drive() const { return win_.substr(0, 2); }

    void ClearSeeds() {
        for (const char* f :
             {"twe2e_removed.dll", "twe2e_missing.dll", "twe2e_pat1.tmp", "twe2e_pat2.tmp",
              "twe2e_keep.dll", "twe2e_other.dll", "twe2e_after_search.dll"})
            DeleteFileA((win_ + "\\" + f).c_str());
        DeleteFileA((sys_ + "\\twe2e_sys.dll").c_str());
        RemoveTree(pf_ + "\\TwE2E Vendor");
        RemoveTree(Drive() + "\\TwE2E Root Dir");
        for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE})
            RegDeleteTreeA(root, kE2EKey), RegDeleteKeyA(root, kE2EKey);
    }

    // The leftovers that the E2E filter names, and a look-alike beside them.
    void Seed() {
        for (const char* f : {"twe2e_removed.dll", "twe2e_pat1.tmp", "twe2e_pat2.tmp",
                              "twe2e_keep.dll", "twe2e_other.dll", "twe2e_after_search.dll"})
            MakeFile(win_ + "\\" + f, std::string("data of ") + f);
        MakeFile(sys_ + "\\twe2e_sys.dll", "system data");
        MakeFile(pf_ + "\\TwE2E Vendor\\sub\\file.txt", "vendor file");
        MakeFile(Drive() + "\\TwE2E Root Dir\\root.txt", "root file");
        const std::string k = kE2EKey;
        SetString(HKEY_CURRENT_USER, k + "\\Section\\Sub", "v", "1");
        SetString(HKEY_LOCAL_MACHINE, k + "\\Section", "v", "2");
        SetString(HKEY_CURRENT_USER, k + "\\Values", "Doomed", "x");
        SetString(HKEY_CURRENT_USER, k + "\\Values", "Kept", "y");
        SetString(HKEY_CURRENT_USER, k + "\\Deep\\TwE2ESearchHit\\Inner", "v", "3");
    }

    void WriteIni(const Settings& s) {
        auto yn = [](bool on) { return on ? "Yes" : "No"; };
        WriteSettings(std::string("Interface=Normal\r\nWizard=No\r\nLogFile=") + yn(s.LogFile) +
                      "\r\nBackupFiles=" + yn(s.BackupFiles) + "\r\nBackupDir=" + yn(s.BackupDir) +
                      "\r\nBackupReg=" + yn(s.BackupReg));
    }
    void AddFilter(const char* name) { CopyIn(TW_E2E_FILTER_DIR, std::string(name) + ".twf"); }

    void Launch() {
        GetLocalTime(&started_);
        Start();
        main_ = WaitForFrm("frmMain", kFirstWait);
        GetLocalTime(&loaded_);
        ASSERT_NE(main_, nullptr) << "frmMain did not open; the program is " << app_.State();
    }

    HWND Control(const char* name) const { return FindControl(main_, name); }
    std::string Status() const { return WindowText(Control("lblStatus")); }
    std::vector<std::string> Removed() const { return ListItems(Control("lstDetail")); }
    std::vector<std::string> NotFound() const { return ListItems(Control("lstDetails")); }

    // Clean, the confirmation checked and answered; with Yes, waits for the run's end.
    void Clean(bool yes = true, const char* screenshot = nullptr) {
        ASSERT_TRUE(Click(Control("cmdClean")));
        AnswerConfirmation(yes, screenshot);
    }
    void AnswerConfirmation(bool yes, const char* screenshot = nullptr) {
        auto box = WaitForMessageBox(app_.id());
        ASSERT_TRUE(box.has_value()) << "no confirmation";
        EXPECT_EQ(box->text, Lang("0009"));
        EXPECT_EQ(box->title, Lang("0010"));
        EXPECT_EQ(box->buttons, (std::vector<int>{IDYES, IDNO}));
        if (screenshot)
            SaveScreenshot(ScreenshotPath(screenshot));
        ASSERT_TRUE(AnswerMessageBox(box->hwnd, yes ? IDYES : IDNO));
        // The run starts as the box returns; the window answers again only at its end
        // (or inside a registry search, while the status reads "0011").
        ASSERT_TRUE(WaitForWindowGone(box->hwnd, kWait));
        if (!yes)
            return;
        ASSERT_TRUE(WaitUntil(
            [&] { return Status() == Lang("0014") && IsEnabled(Control("cmdClean")); }, kRunWait))
            << "the run did not end; status: " << Status();
    }

    // The one run name of this window, read from the log folder's single log of `filter`.
    std::string RunName(const std::string& filter) const {
        std::vector<std::string> logs = FolderNames(folder_ + "\\Log");
        const std::string suffix = "_" + filter + ".log";
        for (const std::string& name : logs)
            if (name.size() == 17 + suffix.size() && name.ends_with(suffix))
                return name.substr(0, 17);
        return {};
    }
    // "-------- dd-mm-yyyy -- hh:mm:ss" for a run name, after checking that the name was
    // taken while the window loaded.
    std::string Header(const std::string& runName) const {
        EXPECT_GE(Sortable(runName), Sortable(started_)) << runName;
        EXPECT_LE(Sortable(runName), Sortable(loaded_)) << runName;
        char sep[8] = ":";
        GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STIME, sep, sizeof sep);
        return "-------- " + runName.substr(0, 10) + " -- " + runName.substr(11, 2) + sep +
               runName.substr(13, 2) + sep + runName.substr(15, 2);
    }

    std::vector<std::string> ExpectedRemoved() const {
        return {Lang("0015") + " (" + win_ + "\\twe2e_removed.dll)",
                Lang("0015") + " (" + win_ + "\\twe2e_pat*.tmp)",
                Lang("0015") + " (" + sys_ + "\\twe2e_sys.dll)",
                Lang("0017") + " (" + pf_ + "\\TwE2E Vendor)",
                Lang("0017") + " (" + Drive() + "\\TwE2E Root Dir)"};
    }
    std::vector<std::string> ExpectedNotFound() const {
        return {Lang("0016") + " (" + win_ + "\\twe2e_missing.dll)",
                Lang("0018") + " (" + pf_ + "\\TwE2E Missing)"};
    }

    // What one pass of the E2E filter leaves: every named item gone, its neighbours kept.
    void ExpectE2ECleaned() const {
        struct Item {
            std::string path;
            bool exists;
        };
        const Item items[] = {
            {win_ + "\\twe2e_removed.dll", false}, {win_ + "\\twe2e_pat1.tmp", false},
            {win_ + "\\twe2e_pat2.tmp", false},    {win_ + "\\twe2e_keep.dll", true},
            {sys_ + "\\twe2e_sys.dll", false},     {pf_ + "\\TwE2E Vendor", false},
            {Drive() + "\\TwE2E Root Dir", false}, {WorkingCopy(), false},
            {folder_ + "\\E2E.twr", false},        {folder_ + "\\E2E.twf", true},
        };
        for (const Item& item : items) {
            SCOPED_TRACE(item.path);
            EXPECT_EQ(Exists(item.path), item.exists);
        }
        const std::string k = kE2EKey;
        EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, k + "\\Section"));
        EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, k + "\\Section"));
        EXPECT_FALSE(ValueExists(HKEY_CURRENT_USER, k + "\\Values", "Doomed"));
        EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, k + "\\Values", "Kept"));
        EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, k + "\\Deep\\TwE2ESearchHit"));
        EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, k + "\\Deep"));
    }

    std::string win_, sys_, pf_;
    SYSTEMTIME started_{}, loaded_{};
    HWND main_ = nullptr;
};

TEST_F(MainGui, ARunWithEveryBackupFillsTheStoreAndLogsTheRemovedLines) {
    WriteIni({true, true, true, true});
    AddFilter("E2E");
    Seed();
    Launch();
    EXPECT_EQ(ComboItems(Control("cboConfigs")), std::vector<std::string>{"E2E"});
    EXPECT_EQ(ComboSelection(Control("cboConfigs")), 0);
    // the window answers once its first paint is through
    ASSERT_TRUE(WaitUntil([&] { return !WindowText(Control("lblGPU")).empty(); }, kWait));
    RedrawWindow(main_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    SaveScreenshot(ScreenshotPath("frmMain-before-run"), main_);
    Clean(true, "frmMain-confirmation");
    SaveScreenshot(ScreenshotPath("frmMain-after-run"), main_);

    EXPECT_EQ(Removed(), ExpectedRemoved());
    EXPECT_EQ(NotFound(), ExpectedNotFound());
    EXPECT_EQ(Status(), Lang("0014"));
    for (const char* name : {"cmdClean", "cmdClose"}) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(IsEnabled(Control(name)));
    }
    EXPECT_EQ(MenuItemEnabled(main_, {Lang("1005"), Lang("1006")}), true);
    ExpectE2ECleaned();

    const std::string r = RunName("E2E");
    ASSERT_FALSE(r.empty()) << "no log";
    EXPECT_EQ(ReadAll(folder_ + "\\Log\\" + r + "_E2E.log"),
              Lines({Header(r)}) + Lines(ExpectedRemoved()));

    const std::string backup = folder_ + "\\Backup\\";
    const std::string fb = r + "_E2E_FileBackup", db = r + "_E2E_DirBackup",
                      rb = r + "_E2E_RegBackup";
    EXPECT_EQ(FolderNames(folder_ + "\\Backup"), (std::vector<std::string>{db, fb, rb}));
    // the indexes (what the copies hold is tested in-process)
    EXPECT_EQ(ReadAll(backup + fb + "\\" + fb + ".dfb"),
              Lines({"\\Windows\\twe2e_removed.dll, " + win_, "\\Windows\\twe2e_pat*.tmp, " + win_,
                     "\\System\\twe2e_sys.dll, " + sys_}));
    EXPECT_EQ(ReadAll(backup + db + "\\" + db + ".ddb"),
              Lines({"TwE2E Vendor, " + pf_, "TwE2E Root Dir, " + Drive()}));
    // The key entries are exports 1 and 2; the missing key takes number 3 without a line;
    // the key found by the search is replayed last.
    EXPECT_EQ(ReadAll(backup + rb + "\\" + rb + ".drb"),
              Lines({"HKEY_CURRENT_USER\\Software\\TracewipeE2E\\Section, Section1.dat",
                     "HKEY_LOCAL_MACHINE\\Software\\TracewipeE2E\\Section, Section2.dat",
                     "HKEY_CURRENT_USER\\Software\\TracewipeE2E\\Deep\\TwE2ESearchHit, "
                     "TwE2ESearchHit4.dat"}));

    for (const char* data : {"Section1.dat", "Section2.dat", "TwE2ESearchHit4.dat"}) {
        SCOPED_TRACE(data);
        EXPECT_GT(ReadAll(backup + rb + "\\" + data).size(), 0u) << "the export was written";
    }
    EXPECT_NE(ReadAll(backup + rb + "\\Section1.dat").find(std::string("S\0u\0b\0", 6)),
              std::string::npos)
        << "the export holds the subkey";
}

TEST_F(MainGui, WithEverySettingOffNothingIsPreparedBackedUpOrLogged) {
    WriteIni({});
    AddFilter("E2E");
    Seed();
    Launch();
    Clean();
    EXPECT_EQ(Removed(), ExpectedRemoved());
    ExpectE2ECleaned();
    EXPECT_FALSE(Exists(folder_ + "\\Backup"));
    EXPECT_FALSE(Exists(folder_ + "\\Log"));
}

// Only the log on: the folders are made and none is pruned; a second run of the same
// window appends a block with the same header, and another filter gets its own log.
TEST_F(MainGui, RunsOfOneWindowShareTheRunNameAndAppendToTheirLogs) {
    WriteIni({true, false, false, false});
    AddFilter("E2E");
    AddFilter("E2EOther");
    Seed();
    Launch();
    EXPECT_EQ(ComboItems(Control("cboConfigs")), (std::vector<std::string>{"E2E", "E2EOther"}));
    Clean();
    ExpectE2ECleaned();
    Sleep(1100); // a header taken at run time would differ now
    Seed();
    Clean();
    EXPECT_EQ(Removed(), ExpectedRemoved()) << "each run starts with empty lists";
    EXPECT_EQ(NotFound(), ExpectedNotFound());
    ASSERT_TRUE(SelectCombo(Control("cboConfigs"), "E2EOther"));
    ASSERT_TRUE(WaitUntil([&] { return ComboSelection(Control("cboConfigs")) == 1; }, kWait));
    Clean();
    const std::string other = Lang("0015") + " (" + win_ + "\\twe2e_other.dll)";
    EXPECT_EQ(Removed(), std::vector<std::string>{other});

    // an empty Backup would be removed by a prune: it stays, so none ran
    EXPECT_TRUE(Exists(folder_ + "\\Backup"));
    EXPECT_EQ(FolderNames(folder_ + "\\Backup"), std::vector<std::string>{});
    const std::string r = RunName("E2E");
    ASSERT_FALSE(r.empty());
    EXPECT_EQ(FolderNames(folder_ + "\\Log"),
              (std::vector<std::string>{r + "_E2E.log", r + "_E2EOther.log"}));
    const std::string block = Lines({Header(r)}) + Lines(ExpectedRemoved());
    EXPECT_EQ(ReadAll(folder_ + "\\Log\\" + r + "_E2E.log"), block + block);
    EXPECT_EQ(ReadAll(folder_ + "\\Log\\" + r + "_E2EOther.log"), Lines({Header(r), other}));
}

TEST_F(MainGui, AnsweringNoChangesNothing) {
    WriteIni({true, true, false, false});
    AddFilter("E2E");
    Seed();
    Launch();
    Clean();
    const std::string r = RunName("E2E");
    ASSERT_FALSE(r.empty());
    const std::string log = ReadAll(folder_ + "\\Log\\" + r + "_E2E.log");
    const std::string ini = ReadAll(Ini());
    const auto backup = FolderNames(folder_ + "\\Backup");
    Seed();
    Clean(false);
    EXPECT_EQ(Removed(), ExpectedRemoved());
    EXPECT_EQ(NotFound(), ExpectedNotFound());
    EXPECT_EQ(Status(), Lang("0014"));
    EXPECT_TRUE(IsEnabled(Control("cmdClean")));
    for (const char* f : {"twe2e_removed.dll", "twe2e_pat1.tmp"}) {
        SCOPED_TRACE(f);
        EXPECT_TRUE(Exists(win_ + "\\" + f));
    }
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, std::string(kE2EKey) + "\\Section"));
    EXPECT_EQ(ReadAll(folder_ + "\\Log\\" + r + "_E2E.log"), log);
    EXPECT_EQ(ReadAll(Ini()), ini);
    EXPECT_EQ(FolderNames(folder_ + "\\Backup"), backup);
}

TEST_F(MainGui, AFileInUseIsListedAndLoggedAndARestartIsOffered) {
    WriteIni({true, false, false, false});
    AddFilter("E2E");
    Seed();
    const std::string held = win_ + "\\twe2e_removed.dll";
    HANDLE hold = CreateFileA(held.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    ASSERT_NE(hold, INVALID_HANDLE_VALUE);
    Launch();
    Clean();
    auto box = WaitForMessageBox(app_.id());
    const bool offered = box.has_value();
    if (offered) {
        EXPECT_EQ(box->text, Lang("0035"));
        EXPECT_EQ(box->title, Lang("0036"));
        EXPECT_EQ(box->buttons, (std::vector<int>{IDYES, IDNO}));
        EXPECT_TRUE(AnswerMessageBox(box->hwnd, IDNO)); // Yes would restart the prefix
    }
    std::vector<std::string> want = ExpectedRemoved();
    want[0] = Lang("0033") + " (" + held + ")";
    want.push_back(Lang("0034") + " 1");
    EXPECT_EQ(Removed(), want);
    CloseHandle(hold);
    EXPECT_TRUE(Exists(held));
    const std::string r = RunName("E2E");
    EXPECT_EQ(ReadAll(folder_ + "\\Log\\" + r + "_E2E.log"), Lines({Header(r)}) + Lines(want));
    HKEY key = nullptr; // the restart is not for this prefix
    if (!RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Control\\Session Manager", 0,
                       KEY_SET_VALUE, &key)) {
        RegDeleteValueA(key, "PendingFileRenameOperations");
        RegCloseKey(key);
    }
    ASSERT_TRUE(offered) << "no offer to restart";
}

TEST_F(MainGui, AnEmptyProgramFolderDisablesCleaning) {
    WriteIni({});
    Start();
    auto box = WaitForMessageBox(app_.id(), kFirstWait);
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(box->text, Lang("0007"));
    EXPECT_EQ(box->title, Lang("0008"));
    EXPECT_EQ(box->buttons, std::vector<int>{IDOK});
    ASSERT_TRUE(AnswerMessageBox(box->hwnd, IDOK));
    main_ = WaitForFrm("frmMain", kWait);
    ASSERT_NE(main_, nullptr);
    EXPECT_FALSE(IsEnabled(Control("cmdClean")));
    EXPECT_TRUE(IsEnabled(Control("cmdClose")));
    EXPECT_EQ(MenuItemEnabled(main_, {Lang("1005"), Lang("1006")}), false);
    EXPECT_EQ(MenuItemEnabled(main_, {Lang("1005"), Lang("1007")}), true);
    EXPECT_EQ(ComboItems(Control("cboConfigs")), std::vector<std::string>{});
}

TEST_F(MainGui, ClosingTheWindowDuringARegistrySearchEndsTheProgramCleanly) {
    WriteIni({true, false, false, false});
    AddFilter("E2ESlow");
    Seed();
    Launch();
    ASSERT_TRUE(Click(Control("cmdClean")));
    auto box = WaitForMessageBox(app_.id());
    ASSERT_TRUE(box.has_value());
    ASSERT_TRUE(AnswerMessageBox(box->hwnd, IDYES));
    // the working copy exists from the unpack to the end of the pass
    ASSERT_TRUE(WaitUntil([&] { return Exists(WorkingCopy()); }, kWait));
    ASSERT_TRUE(WaitUntil([&] { return Status() == Lang("0011"); }, kWait))
        << "the window answers while the search runs";
    EXPECT_FALSE(IsEnabled(Control("cmdClose")));
    ASSERT_TRUE(PostMessageW(main_, WM_CLOSE, 0, 0));
    auto code = app_.WaitForExit(kRunWait);
    ASSERT_TRUE(code.has_value()) << "the program did not end";
    EXPECT_EQ(*code, 0u) << "the program ended abnormally";
    EXPECT_FALSE(Exists(WorkingCopy()));
    EXPECT_FALSE(Exists(folder_ + "\\E2ESlow.twr"));
    EXPECT_FALSE(Exists(folder_ + "\\English.dlf")) << "the language copy is deleted";
}

// File > Exit chosen with the keys that reach a menu bar; an Enter that missed the menu
// would press the default button (Clean) and ask for a confirmation instead.
TEST_F(MainGui, MenuBarAnswersF10AltAndMnemonics) {
    struct Key {
        WORD vk;
        bool alt;
    };
    const std::pair<const char*, std::vector<Key>> cases[] = {
        {"F10", {{VK_F10, false}, {VK_DOWN, false}, {VK_DOWN, false}, {VK_RETURN, false}}},
        {"Alt", {{VK_MENU, false}, {VK_DOWN, false}, {VK_DOWN, false}, {VK_RETURN, false}}},
        {"Alt+F, X", {{'F', true}, {'X', false}}},
    };
    WriteIni({});
    AddFilter("E2E");
    for (const auto& [name, keys] : cases) {
        SCOPED_TRACE(name);
        Launch();
        ASSERT_TRUE(Activate(main_));
        for (const Key& k : keys) {
            ASSERT_TRUE(SendKey(k.vk, false, false, k.alt));
            Sleep(200); // the menu opens between keys
        }
        auto code = app_.WaitForExit(kWait);
        ASSERT_TRUE(code.has_value()) << "File > Exit was not chosen";
        EXPECT_EQ(*code, 0u);
    }
}

// The dialogs that change the main window, opened from its own menu and keys.
TEST_F(MainGui, LanguageAndFontChosenFromTheMainWindowApplyAtOnce) {
    WriteIni({});
    AddFilter("E2E");
    Launch();
    ASSERT_TRUE(PostMenuCommand(main_, {"Options", "Language"}));
    HWND dialog = WaitForFrm("frmLanguage", kWait);
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(SelectCombo(FindControl(dialog, "cboLanguage"), "German"));
    SaveScreenshot(ScreenshotPath("frmLanguage_from_frmMain"), dialog);
    ASSERT_TRUE(Click(FindControl(dialog, "cmdSave")));
    ASSERT_TRUE(WaitUntil([&] { return WindowText(Control("cmdClean")) == "Reinigen"; }, kWait))
        << WindowText(Control("cmdClean"));
    // the menus speak German too: the English path is gone, the German one runs
    EXPECT_FALSE(MenuItemEnabled(main_, {"File", "Clean"}).has_value());
    EXPECT_EQ(MenuItemEnabled(main_, {"Datei", "Reinigen"}), std::optional<bool>(true));
    EXPECT_NE(ReadAll(Ini()).find("CurrentLanguage=German"), std::string::npos);
    SaveScreenshot(ScreenshotPath("frmMain_German"), main_);

    // then a font chosen with Ctrl+F
    ASSERT_NE(FontFace(Control("cmdClean")), "Tahoma");
    ASSERT_TRUE(Activate(main_));
    ASSERT_TRUE(SendKey('F', true));
    dialog = WaitForFrm("frmFont", kWait);
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(SelectCombo(FindControl(dialog, "cboFont"), "Tahoma"));
    ASSERT_TRUE(Click(FindControl(dialog, "cmdSave")));
    for (const char* name : {"cmdClean", "cmdClose", "lstDetail", "lblStatus"}) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(WaitUntil([&] { return FontFace(Control(name)) == "Tahoma"; }, kWait))
            << FontFace(Control(name));
    }
    EXPECT_NE(ReadAll(Ini()).find("Name=Tahoma"), std::string::npos);
    SaveScreenshot(ScreenshotPath("frmMain_Tahoma"), main_);
}

// F1 hands the help page of the language to the shell. The prefix's handler of .html pages
// becomes the probe, which records the path it is given.
TEST_F(MainGui, F1OpensTheHelpPageThroughTheShell) {
    const std::string classes = "Software\\Classes\\";
    const std::string recorded = folder_ + "\\help-opened.txt";
    const std::string command =
        "\"" + WinePath(TW_RECORD_PROBE) + "\" record \"" + recorded + "\" \"%1\"";
    std::string oldClass(MAX_PATH, '\0');
    DWORD size = MAX_PATH;
    const bool hadClass =
        RegGetValueA(HKEY_LOCAL_MACHINE, (classes + ".html").c_str(), nullptr, RRF_RT_REG_SZ,
                     nullptr, oldClass.data(), &size) == ERROR_SUCCESS;
    oldClass.resize(hadClass ? size - 1 : 0);
    SetString(HKEY_LOCAL_MACHINE, classes + ".html", "", "TwE2E.Help");
    SetString(HKEY_LOCAL_MACHINE, classes + "TwE2E.Help\\shell\\open\\command", "",
              command.c_str());
    ASSERT_TRUE(CopyFileA((WinePath(TW_PROGRAM_DIR) + "\\Tracewipe.html").c_str(),
                          (folder_ + "\\Tracewipe.html").c_str(), FALSE));
    WriteIni({});
    AddFilter("E2E");
    Launch();
    ASSERT_TRUE(Activate(main_));
    ASSERT_TRUE(SendKey(VK_F1));
    std::string opened;
    WaitUntil(
        [&] {
            opened = Exists(recorded) ? ReadAll(recorded) : "";
            return !opened.empty();
        },
        kWait);
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, (classes + "TwE2E.Help").c_str());
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, (classes + "TwE2E.Help").c_str());
    if (hadClass)
        SetString(HKEY_LOCAL_MACHINE, classes + ".html", "", oldClass);
    else
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, (classes + ".html").c_str());
    std::string expected = folder_ + "\\Tracewipe.html";
    CharUpperA(opened.data());
    CharUpperA(expected.data());
    EXPECT_EQ(opened, expected);
}

} // namespace
