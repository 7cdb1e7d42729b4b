// The backup store of the real Tracewipe.exe: what the shipped filters remove with every backup
// on comes back through the restore dialogs; the clean-up dialogs delete what they are told to.
#include "Seeder.h"
#include "support/ProgramTest.h"

#include <map>

namespace {

using namespace twtest;
namespace seed = tw::seed;

constexpr DWORD kLongRunWait = 240000;

// Every control but Close (and the labels and frames) is disabled.
void ExpectOnlyClose(HWND dialog) {
    for (const std::string& name : ControlNames(dialog)) {
        HWND control = FindControl(dialog, name);
        EXPECT_TRUE(!IsShown(control) || name.starts_with("lbl") || name.starts_with("fra") ||
                    IsEnabled(control) == (name == "cmdClose"))
            << name;
    }
}

void Close(HWND dialog) {
    EXPECT_TRUE(Click(FindControl(dialog, "cmdClose")));
    EXPECT_TRUE(WaitForWindowGone(dialog, kWait));
}

class BackupGui : public ProgramTest {
  protected:
    void Launch(const char* language) {
        MakeFolder({"Tracewipe.exe", "English.lng", "German.lng", "NVIDIA.twf", "ATI.twf"});
        WriteSettings("Interface=Normal\r\nWizard=No\r\nLogFile=Yes\r\nBackupFiles=Yes\r\n"
                      "BackupDir=Yes\r\nBackupReg=Yes",
                      language);
        ProgramTest::Launch("frmMain");
    }
};

TEST_F(BackupGui, EverythingAShippedFilterRemovedComesBackThroughTheRestoreDialogs) {
    std::string filters; // each source starts with its first section
    for (const char* filter : {"NVIDIA", "ATI"})
        filters += ReadAll(WinePath(TW_FILTER_DIR) + "\\" + filter + ".txt");
    const seed::Plan plan = seed::MakePlan(seed::ReadFilterEntries(filters));
    std::map<std::string, std::string> before;
    for (const seed::Item& item : plan.items) {
        ASSERT_TRUE(seed::Create(item)) << seed::FullPath(item);
        before[seed::FullPath(item)] = seed::Picture(item);
    }

    Launch("English");
    for (const char* filter : {"NVIDIA", "ATI"}) {
        SCOPED_TRACE(filter);
        ASSERT_TRUE(SelectCombo(Control("cboConfigs"), filter));
        Clean(true, nullptr, kLongRunWait);
        ASSERT_FALSE(HasFatalFailure());
    }
    std::map<seed::Kind, int> removed, back;
    std::string stayed; // leftovers the runs did not remove
    for (const seed::Item& item : plan.items) {
        if (item.role == seed::Role::Leftover && seed::Exists(item))
            stayed += seed::FullPath(item) + "\n";
        else if (item.role == seed::Role::Leftover)
            ++removed[item.kind];
    }

    // Select All and Restore on every run of a side; a run restored whole keeps no line.
    auto restoreAll = [&](HWND dialog, const std::string& combo, char side) {
        const std::string list = "lst" + combo.substr(3), cmd = std::string("cmd") + side;
        for (const std::string& run : ComboItems(FindControl(dialog, combo))) {
            SCOPED_TRACE(run);
            ASSERT_TRUE(ChooseCombo(FindControl(dialog, combo), run));
            ASSERT_TRUE(Press(FindControl(dialog, cmd + "SelectAll")));
            ASSERT_TRUE(Press(FindControl(dialog, cmd + "Restore"), kLongRunWait));
            if (ChooseCombo(FindControl(dialog, combo), run)) {
                EXPECT_EQ(ListItems(FindControl(dialog, list)), std::vector<std::string>{});
            }
        }
    };
    HWND files = Open("frmRestore", 'U');
    restoreAll(files, "cboResFile", 'F');
    restoreAll(files, "cboResDir", 'D');
    EXPECT_EQ(ComboItems(FindControl(files, "cboResDir")), std::vector<std::string>{});
    Close(files);
    HWND keys = Open("frmRegRest", 'Z');
    restoreAll(keys, "cboResReg", 'R');
    EXPECT_EQ(ComboItems(FindControl(keys, "cboResReg")), std::vector<std::string>{});
    Close(keys);

    for (const seed::Item& item : plan.items) {
        const std::string path = seed::FullPath(item);
        if (item.kind == seed::Kind::Value && item.role == seed::Role::Leftover)
            continue; // a removed value is never backed up
        const bool same = seed::Picture(item) == before[path];
        EXPECT_TRUE(same) << path << " differs from its state after seeding";
        if (same && item.role == seed::Role::Leftover)
            ++back[item.kind];
        seed::Remove(item);
    }
    for (seed::Kind kind : {seed::Kind::File, seed::Kind::Folder, seed::Kind::Key})
        EXPECT_TRUE(removed[kind] > 0 && back[kind] == removed[kind])
            << "kind " << static_cast<int>(kind) << ": restored " << back[kind] << " of "
            << removed[kind] << "; the runs left:\n"
            << stayed;
}

// Both restore dialogs and the clean-up dialogs with content, shot in both languages;
// what the clean-up dialogs offer and delete.
TEST_F(BackupGui, TheDialogsListTheStoreAndTheCleanUpDialogsDeleteTheSelectedEntries) {
    for (const char* language : {"English", "German"}) {
        SCOPED_TRACE(language);
        Launch(language);
        HWND empty = Open("frmRestore", 'U'); // no Backup folder: only Close is usable
        ExpectOnlyClose(empty);
        Close(empty);

        // lines longer than 511 characters, which the platform's list box cannot read back
        const std::string x(600, 'x');
        MakeFiles(folder_,
                  {"Backup\\r_F_FileBackup\\r_F_FileBackup.dfb=\\Windows\\nv4_disp.dll, "
                   "C:\\windows\\system32\r\n\\Windows\\" +
                       x + ".dll, C:\\windows\r\n",
                   "Backup\\r_F_DirBackup\\r_F_DirBackup.ddb=NVIDIA, C:\\Program Files\r\n",
                   "Backup\\r_F_RegBackup\\r_F_RegBackup.drb=HKEY_LOCAL_MACHINE\\SOFTWARE\\" + x +
                       ", " + x + "1.dat\r\n",
                   "Backup\\xyzfilebackup\\", "Log\\a.b.log", "Log\\r_F.log"});

        HWND restore = Open("frmRestore", 'U');
        HWND list = FindControl(restore, "lstResFile");
        RECT room{};
        GetClientRect(list, &room);
        EXPECT_GT(SendMessageW(list, LB_GETHORIZONTALEXTENT, 0, 0), room.right);
        SendMessageW(list, LB_SETSEL, TRUE, 1);
        Shoot(std::string("frmRestore-") + language, restore);
        Close(restore);
        HWND reg = Open("frmRegRest", 'Z');
        Shoot(std::string("frmRegRest-") + language, reg);
        Close(reg);

        struct Clear {
            const char *form, *menuId, *list, *folder;
            std::vector<std::string> offered, left; // sorted; left after deleting them all
        };
        // clang-format off
        const Clear clears[] = {
            {"frmClearB", "1011", "lstBackup", "\\Backup", {"r_F_DirBackup", "r_F_FileBackup"},
             {"r_F_RegBackup", "xyzfilebackup"}},
            {"frmClearR", "1012", "lstRegBackup", "\\Backup", {"r_F_RegBackup"}, {"xyzfilebackup"}},
            {"frmClearL", "1013", "lstLog", "\\Log", {"a.b", "r_F"}, {}},
        };
        // clang-format on
        for (const Clear& c : clears) {
            SCOPED_TRACE(c.form);
            ASSERT_TRUE(PostMenuCommand(window_, {Lang("1008"), Lang("1010"), Lang(c.menuId)}));
            HWND dialog = WaitForFrm(c.form);
            ASSERT_NE(dialog, nullptr);
            auto offered = ListItems(FindControl(dialog, c.list));
            std::sort(offered.begin(), offered.end());
            EXPECT_EQ(offered, c.offered);
            const auto names = FolderNames(folder_ + c.folder);
            ASSERT_TRUE(Press(FindControl(dialog, "cmdDelete"))); // nothing selected
            EXPECT_EQ(FolderNames(folder_ + c.folder), names);
            ASSERT_TRUE(Press(FindControl(dialog, "cmdSelectAll")));
            Shoot(std::string(c.form) + "-" + language, dialog);
            ASSERT_TRUE(Press(FindControl(dialog, "cmdDelete")));
            EXPECT_EQ(FolderNames(folder_ + c.folder), c.left);
            ExpectOnlyClose(dialog);
            Close(dialog);
        }
        app_.Kill();
    }
}

} // namespace
