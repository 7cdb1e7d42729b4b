#include "backup/BackupStore.h"
#include "backup/FileBackup.h"
#include "clean/FsTestSupport.h"
#include "win/Copy.h"

#include <gtest/gtest.h>

namespace {

using namespace tw::test;

constexpr const char* kRun = "05-12-2026_101010";

class FsBackup : public ::testing::Test {
  protected:
    std::string Fb(const char* filter = "My_Filter") const {
        return tw::RunFolderPath(prog.Path(), kRun, filter, tw::BackupKind::File);
    }
    std::string Db(const char* filter = "My_Filter") const {
        return tw::RunFolderPath(prog.Path(), kRun, filter, tw::BackupKind::Dir);
    }
    std::string Index(tw::BackupKind kind) const {
        return tw::IndexPath(prog.Path(), kRun, "My_Filter", kind);
    }
    void Prepare() {
        tw::PrepareBackupFolders(prog.Path(), kRun, "My_Filter", "Yes", "Yes", "No", "No");
    }
    Scratch prog{"prog"};
    Scratch base{"base"};
};

TEST_F(FsBackup, PrepareBackupFoldersMakesWhatTheSettingsAsk) {
    struct Case {
        const char* files;
        const char* dir;
        const char* reg;
        const char* log;
        bool backup, logFolder, fileRun, dirRun, regRun;
    };
    const Case cases[] = {
        {"Yes", "No", "No", "No", true, false, true, false, false},
        {"No", "Yes", "Yes", "No", true, false, false, true, true},
        {"No", "No", "No", "Yes", true, true, false, false, false},
        {"yes", "YES", "?", "Yes ", true, false, false, false, false},
        {"Yes", "Yes", "Yes", "Yes", true, true, true, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.files) + "/" + c.dir + "/" + c.reg + "/" + c.log);
        RemoveTree(prog / "Backup");
        RemoveTree(prog / "Log");
        tw::PrepareBackupFolders(prog.Path(), kRun, "My_Filter", c.files, c.dir, c.reg, c.log);
        EXPECT_EQ(IsDir(prog / "Backup"), c.backup);
        EXPECT_EQ(IsDir(prog / "Log"), c.logFolder);
        EXPECT_EQ(IsDir(Fb()), c.fileRun);
        EXPECT_EQ(IsDir(Db()), c.dirRun);
        EXPECT_EQ(IsDir(tw::RunFolderPath(prog.Path(), kRun, "My_Filter", tw::BackupKind::Reg)),
                  c.regRun);
    }
}

TEST_F(FsBackup, EachMissingRunFolderIsMadeOnItsOwn) {
    tw::PrepareBackupFolders(prog.Path(), kRun, "My_Filter", "Yes", "No", "No", "No");
    WriteFile(Fb() + "\\keep.txt", "x");
    tw::PrepareBackupFolders(prog.Path(), kRun, "My_Filter", "Yes", "Yes", "No", "No");
    EXPECT_TRUE(Exists(Fb() + "\\keep.txt"));
    EXPECT_TRUE(IsDir(Db()));
}

TEST_F(FsBackup, BackupFilePlacesTheCopyByTheSpecialFolderTable) {
    Prepare();
    MakeDir(base / "Inf");
    MakeDir(base / "Inf\\Other");
    MakeDir(base / "Inf\\Other\\Deep");
    WriteFile(base / "Inf\\Other\\Deep\\x.pnf", "pnf");
    MakeDir(base / "INF");
    WriteFile(base / "INF\\y.inf", "inf");
    MakeDir(base / "Drivers");
    WriteFile(base / "Drivers\\d.sys", "sys");

    struct Case {
        const char* entry;
        const char* kind;
        const char* copy;
        const char* content;
    };
    const Case cases[] = {
        {"\\Inf\\Other\\Deep\\x.pnf", "1", "\\Inf\\Other\\x.pnf", "pnf"},
        {"\\INF\\y.inf", "1", "\\Windows\\y.inf", "inf"},
        {"\\Drivers\\d.sys", "2", "\\Drivers\\d.sys", "sys"},
    };
    std::string wantIndex;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.entry);
        std::string full = base.Path() + c.entry;
        EXPECT_TRUE(
            tw::BackupFile(prog.Path(), c.entry, "My_Filter", kRun, full, base.Path(), c.kind));
        EXPECT_EQ(ReadFile(Fb() + c.copy), c.content);
        wantIndex += std::string(c.copy) + ", " + full.substr(0, full.rfind('\\')) + "\r\n";
    }
    EXPECT_EQ(ReadFile(Index(tw::BackupKind::File)), wantIndex);
}

TEST_F(FsBackup, SameNameTwiceOverwritesAndIndexesBoth) {
    Prepare();
    MakeDir(base / "a");
    MakeDir(base / "b");
    WriteFile(base / "a\\same.dll", "first");
    WriteFile(base / "b\\same.dll", "second");
    EXPECT_TRUE(tw::BackupFile(prog.Path(), "\\a\\same.dll", "My_Filter", kRun,
                               base / "a\\same.dll", base.Path(), "2"));
    EXPECT_TRUE(tw::BackupFile(prog.Path(), "\\b\\same.dll", "My_Filter", kRun,
                               base / "b\\same.dll", base.Path(), "2"));
    EXPECT_EQ(ReadFile(Fb() + "\\System\\same.dll"), "second");
    EXPECT_EQ(ReadFile(Index(tw::BackupKind::File)), "\\System\\same.dll, " + base.Path() +
                                                         "\\a\r\n" + "\\System\\same.dll, " +
                                                         base.Path() + "\\b\r\n");
}

TEST_F(FsBackup, BackupDirectoryCopiesTheTreeAndIndexesIt) {
    Prepare();
    MakeDir(base / "ATI, Inc");
    MakeDir(base / "ATI, Inc\\Tools");
    MakeDir(base / "ATI, Inc\\Tools\\sub");
    WriteFile(base / "ATI, Inc\\Tools\\sub\\t.exe", "tool");
    WriteFile(base / "ATI, Inc\\Tools\\ro.txt", "ro");
    AddAttributes(base / "ATI, Inc\\Tools\\ro.txt", FILE_ATTRIBUTE_READONLY);
    std::string dir = base / "ATI, Inc\\Tools";
    EXPECT_TRUE(tw::BackupDirectory(prog.Path(), dir, "My_Filter", kRun));
    EXPECT_EQ(ReadFile(Db() + "\\Tools\\sub\\t.exe"), "tool");
    EXPECT_EQ(ReadFile(Db() + "\\Tools\\ro.txt"), "ro");
    EXPECT_EQ(ReadFile(Index(tw::BackupKind::Dir)), "Tools, " + base.Path() + "\\ATI, Inc\r\n");
    EXPECT_TRUE(Exists(dir + "\\sub\\t.exe")) << "a backup never moves the original";
}

TEST_F(FsBackup, CopyFileNeedsAnExistingDestination) {
    WriteFile(base / "one.txt", "1");
    EXPECT_FALSE(tw::CopyFile(base / "one.txt", base / "nowhere"));
    EXPECT_FALSE(Exists(base / "nowhere"));
    MakeDir(base / "dest");
    EXPECT_TRUE(tw::CopyFile(base / "one.txt\\", base / "dest"));
    EXPECT_EQ(ReadFile(base / "dest\\one.txt"), "1");
    EXPECT_FALSE(tw::CopyFile(base / "missing.txt", base / "dest"));
}

TEST_F(FsBackup, SameNamedDirectoriesMergeInTheBackup) {
    Prepare();
    for (const char* parent : {"p1", "p2"}) {
        MakeDir(base / parent);
        MakeDir(base / (std::string(parent) + "\\NVIDIA"));
        WriteFile(base / (std::string(parent) + "\\NVIDIA\\same.txt"), parent);
        WriteFile(base / (std::string(parent) + "\\NVIDIA\\only_" + parent), parent);
    }
    EXPECT_TRUE(tw::BackupDirectory(prog.Path(), base / "p1\\NVIDIA", "My_Filter", kRun));
    EXPECT_TRUE(tw::BackupDirectory(prog.Path(), base / "p2\\NVIDIA", "My_Filter", kRun));
    EXPECT_EQ(ReadFile(Db() + "\\NVIDIA\\same.txt"), "p2");
    EXPECT_EQ(ReadFile(Db() + "\\NVIDIA\\only_p1"), "p1");
    EXPECT_EQ(ReadFile(Db() + "\\NVIDIA\\only_p2"), "p2");
    EXPECT_EQ(ReadFile(Index(tw::BackupKind::Dir)),
              "NVIDIA, " + base / "p1\r\n" + "NVIDIA, " + base / "p2\r\n");
}

} // namespace
