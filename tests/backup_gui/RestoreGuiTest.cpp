// The backup promise of the real Tracewipe.exe: the shipped filters clean the seeded
// sandbox through the Normal interface with every backup on, and the two restore dialogs
// put everything back as it was. The clean-up dialogs delete what they are told to.
#include "AppFolder.h"
#include "GuiDriver.h"
#include "Seeder.h"
#include "win/ControlName.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <map>

namespace {

using namespace tw::gui;
namespace seed = tw::seed;

constexpr DWORD kFirstWait = 30000;
constexpr DWORD kWait = 10000;
constexpr DWORD kRunWait = 240000;

std::string Lang(const char* language, const char* id) {
    char buf[512] = {};
    const std::string file = WinPath(TW_LANG_DIR) + "\\" + language + ".txt";
    GetPrivateProfileStringA("Language", id, "?", buf, sizeof buf, file.c_str());
    return buf;
}

class BackupGui : public ::testing::Test {
  protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        folder_ = WinPath(TW_GUI_WORK_DIR) + "\\" + info->name();
        ASSERT_TRUE(MakeProgramFolder(
            folder_, WinPath(TW_PROGRAM_DIR),
            {"Tracewipe.exe", "English.lng", "German.lng", "NVIDIA.twf", "ATI.twf"}));
    }
    void TearDown() override { app_.Kill(); }

    void Launch(const char* language) {
        WriteAll(folder_ + "\\Tracewipe.ini",
                 std::string("[PROGRAM]\r\nInterface=Normal\r\nWizard=No\r\nLogFile=Yes\r\n"
                             "BackupFiles=Yes\r\nBackupDir=Yes\r\nBackupReg=Yes\r\n[WARNING]\r\n"
                             "ReadmeStart=No\r\n[LANGUAGE]\r\nCurrentLanguage=") +
                     language + "\r\n");
        app_ = Process::Launch("\"" + folder_ + "\\Tracewipe.exe\"", folder_);
        main_ = WaitForForm("frmMain", kFirstWait);
        ASSERT_NE(main_, nullptr) << "frmMain did not open; the program is " << app_.State();
    }
    HWND WaitForForm(const char* name, DWORD wait = kWait) {
        return WaitForWindow(
            app_.id(), [name](HWND h) { return tw::ControlName(h) == name; }, wait);
    }
    // Opens a dialog of the Normal interface with its shortcut.
    HWND Open(const char* name, WORD key) {
        EXPECT_TRUE(Activate(main_));
        EXPECT_TRUE(SendKey(key, true));
        HWND dialog = WaitForForm(name);
        EXPECT_NE(dialog, nullptr) << name;
        return dialog;
    }
    static void Close(HWND dialog) {
        EXPECT_TRUE(Click(FindControl(dialog, "cmdClose")));
        EXPECT_TRUE(WaitForWindowGone(dialog, kWait));
    }
    void Shoot(HWND window, const std::string& name) {
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        Sleep(300);
        SaveScreenshot(ScreenshotPath(name), window);
    }

    std::string folder_;
    Process app_;
    HWND main_ = nullptr;
};

TEST_F(BackupGui, EverythingAShippedFilterRemovedComesBackThroughTheRestoreDialogs) {
    std::vector<seed::FilterEntry> entries;
    for (const char* filter : {"NVIDIA", "ATI"}) {
        bool ok = false;
        const std::string text =
            seed::ReadFilterFile(WinPath(TW_FILTER_DIR) + "\\" + filter + ".txt", ok);
        ASSERT_TRUE(ok) << filter;
        auto more = seed::ReadFilterEntries(text);
        entries.insert(entries.end(), more.begin(), more.end());
    }
    const seed::Plan plan = seed::MakePlan(entries);
    std::map<std::string, std::string> before;
    for (const seed::Item& item : plan.items) {
        ASSERT_TRUE(seed::Create(item)) << seed::FullPath(item);
        before[seed::FullPath(item)] = seed::Picture(item);
    }

    Launch("English");
    for (const char* filter : {"NVIDIA", "ATI"}) {
        ASSERT_TRUE(SelectCombo(FindControl(main_, "cboConfigs"), filter));
        ASSERT_TRUE(Click(FindControl(main_, "cmdClean")));
        auto box = WaitForMessageBox(app_.id());
        ASSERT_TRUE(box.has_value());
        ASSERT_TRUE(AnswerMessageBox(box->hwnd, IDYES));
        ASSERT_TRUE(WaitForWindowGone(box->hwnd, kWait));
        ASSERT_TRUE(WaitUntil(
            [&] {
                return WindowText(FindControl(main_, "lblStatus")) == Lang("English", "0014") &&
                       IsEnabled(FindControl(main_, "cmdClean"));
            },
            kRunWait))
            << filter;
    }
    std::map<seed::Kind, int> removed;
    for (const seed::Item& item : plan.items)
        if (item.role == seed::Role::Leftover && !seed::Exists(item))
            ++removed[item.kind];

    // Every run of every side: Select All, Restore.
    struct Side {
        HWND dialog;
        const char *combo, *list, *selectAll, *restore;
    };
    int lines = 0;
    auto restoreAll = [&](const Side& s, const std::string& shot) {
        Shoot(s.dialog, shot);
        for (const std::string& run : ComboItems(FindControl(s.dialog, s.combo))) {
            SCOPED_TRACE(run);
            ASSERT_TRUE(ChooseCombo(FindControl(s.dialog, s.combo), run));
            lines += static_cast<int>(ListItems(FindControl(s.dialog, s.list)).size());
            ASSERT_TRUE(Press(FindControl(s.dialog, s.selectAll)));
            ASSERT_TRUE(Press(FindControl(s.dialog, s.restore), kRunWait));
            // a fully restored run keeps no line; a directory or registry run goes
            if (ChooseCombo(FindControl(s.dialog, s.combo), run))
                EXPECT_EQ(ListItems(FindControl(s.dialog, s.list)), std::vector<std::string>{});
            else
                EXPECT_NE(std::string(s.combo), "cboResFile");
        }
    };
    HWND files = Open("frmRestore", 'U');
    ASSERT_NE(files, nullptr);
    restoreAll({files, "cboResFile", "lstResFile", "cmdFSelectAll", "cmdFRestore"},
               "frmRestore-English");
    restoreAll({files, "cboResDir", "lstResDir", "cmdDSelectAll", "cmdDRestore"},
               "frmRestore-English-files-restored");
    EXPECT_EQ(ComboItems(FindControl(files, "cboResDir")), std::vector<std::string>{});
    EXPECT_FALSE(IsEnabled(FindControl(files, "cmdDRestore")));
    Close(files);
    HWND keys = Open("frmRegRest", 'Z');
    ASSERT_NE(keys, nullptr);
    restoreAll({keys, "cboResReg", "lstResReg", "cmdRSelectAll", "cmdRRestore"},
               "frmRegRest-English");
    EXPECT_EQ(ComboItems(FindControl(keys, "cboResReg")), std::vector<std::string>{});
    Close(keys);

    std::map<seed::Kind, int> back;
    for (const seed::Item& item : plan.items) {
        const std::string path = seed::FullPath(item);
        SCOPED_TRACE(path);
        if (item.kind == seed::Kind::Value && item.role == seed::Role::Leftover)
            continue; // a removed value is never backed up
        EXPECT_TRUE(seed::Picture(item) == before[path]) << "differs from its state after seeding";
        if (item.role == seed::Role::Leftover && seed::Picture(item) == before[path])
            ++back[item.kind];
        seed::Remove(item);
    }
    std::printf("restored %d index lines: %d of %d files, %d of %d directories, %d of %d keys\n",
                lines, back[seed::Kind::File], removed[seed::Kind::File], back[seed::Kind::Folder],
                removed[seed::Kind::Folder], back[seed::Kind::Key], removed[seed::Kind::Key]);
    EXPECT_EQ(back, (std::map<seed::Kind, int>{{seed::Kind::File, removed[seed::Kind::File]},
                                               {seed::Kind::Folder, removed[seed::Kind::Folder]},
                                               {seed::Kind::Key, removed[seed::Kind::Key]}}));
}

// The dialogs with content, in both languages; what the clean-up dialogs offer and delete.
TEST_F(BackupGui, TheDialogsListTheStoreAndTheCleanUpDialogsDeleteTheSelectedEntries) {
    const std::string backup = folder_ + "\\Backup\\";
    for (const char* language : {"English", "German"}) {
        SCOPED_TRACE(language);
        RemoveTree(folder_ + "\\Backup");
        RemoveTree(folder_ + "\\Log");
        Launch(language);
        HWND empty = Open("frmRestore", 'U');
        ASSERT_NE(empty, nullptr);
        for (const std::string& name : ControlNames(empty)) {
            SCOPED_TRACE(name);
            HWND control = FindControl(empty, name);
            if (IsShown(control) && !name.starts_with("lbl") && !name.starts_with("fra")) {
                EXPECT_EQ(IsEnabled(control), name == "cmdClose");
            }
        }
        Close(empty);

        const std::string longName(160, 'x');
        CreateDirectoryA(backup.c_str(), nullptr);
        for (const char* run :
             {"r_F_FileBackup", "r_F_DirBackup", "r_F_RegBackup", "xyzfilebackup"})
            CreateDirectoryA((backup + run).c_str(), nullptr);
        WriteAll(backup + "r_F_FileBackup\\r_F_FileBackup.dfb",
                 "\\Windows\\nv4_disp.dll, C:\\windows\\system32\r\n\\Windows\\" + longName +
                     ".dll, C:\\windows\r\n");
        WriteAll(backup + "r_F_DirBackup\\r_F_DirBackup.ddb",
                 "NVIDIA Corporation, C:\\Program Files\r\n");
        WriteAll(backup + "r_F_RegBackup\\r_F_RegBackup.drb",
                 "HKEY_LOCAL_MACHINE\\SOFTWARE\\" + longName + ", " + longName + "1.dat\r\n");
        CreateDirectoryA((folder_ + "\\Log").c_str(), nullptr);
        for (const char* log : {"a.b.log", "r_F.log"})
            WriteAll(folder_ + "\\Log\\" + log, "log\r\n");

        HWND restore = Open("frmRestore", 'U');
        ASSERT_NE(restore, nullptr);
        HWND list = FindControl(restore, "lstResFile");
        RECT room{};
        GetClientRect(list, &room);
        EXPECT_GT(SendMessageW(list, LB_GETHORIZONTALEXTENT, 0, 0), room.right)
            << "the long line scrolls sideways";
        SendMessageW(list, LB_SETSEL, TRUE, 1);
        Shoot(restore, std::string("frmRestore-") + language);
        Close(restore);
        HWND reg = Open("frmRegRest", 'Z');
        ASSERT_NE(reg, nullptr);
        Shoot(reg, std::string("frmRegRest-") + language);
        Close(reg);

        struct Clear {
            const char *form, *id, *list;
            std::vector<std::string> offered, left; // sorted; what is left after Delete on all
        };
        const Clear clears[] = {
            {"frmClearB",
             "1011",
             "lstBackup",
             {"r_F_DirBackup", "r_F_FileBackup"},
             {"r_F_RegBackup", "xyzfilebackup"}},
            {"frmClearR", "1012", "lstRegBackup", {"r_F_RegBackup"}, {"xyzfilebackup"}},
            {"frmClearL", "1013", "lstLog", {"a.b", "r_F"}, {}},
        };
        for (const Clear& c : clears) {
            SCOPED_TRACE(c.form);
            const std::string where = c.list == std::string("lstLog") ? "\\Log" : "\\Backup";
            ASSERT_TRUE(PostMenuCommand(
                main_, {Lang(language, "1008"), Lang(language, "1010"), Lang(language, c.id)}));
            HWND dialog = WaitForForm(c.form);
            ASSERT_NE(dialog, nullptr);
            auto offered = ListItems(FindControl(dialog, c.list));
            std::sort(offered.begin(), offered.end());
            EXPECT_EQ(offered, c.offered);
            const auto names = FolderNames(folder_ + where);
            ASSERT_TRUE(Press(FindControl(dialog, "cmdDelete"))); // nothing selected: nothing goes
            EXPECT_EQ(FolderNames(folder_ + where), names);
            ASSERT_TRUE(Press(FindControl(dialog, "cmdSelectAll")));
            Shoot(dialog, std::string(c.form) + "-" + language);
            ASSERT_TRUE(Press(FindControl(dialog, "cmdDelete")));
            EXPECT_EQ(FolderNames(folder_ + where), c.left);
            for (const char* control : {c.list, "cmdSelectAll", "cmdSelectNon", "cmdDelete"})
                EXPECT_FALSE(IsEnabled(FindControl(dialog, control))) << control;
            EXPECT_TRUE(IsEnabled(FindControl(dialog, "cmdClose")));
            Close(dialog);
        }
        app_.Kill();
    }
}

} // namespace
