#include "backup/BackupStore.h"
#include "backup/FileBackup.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

namespace {

using namespace twtest;

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
    WriteAll(Fb() + "\\keep.txt", "x");
    tw::PrepareBackupFolders(prog.Path(), kRun, "My_Filter", "Yes", "Yes", "No", "No");
    EXPECT_TRUE(Exists(Fb() + "\\keep.txt"));
    EXPECT_TRUE(IsDir(Db()));
}

TEST_F(FsBackup, BackupDirectoryCopiesTheTreeAndIndexesIt) {
    Prepare();
    MakeDir(base / "ATI, Inc");
    MakeDir(base / "ATI, Inc\\Tools");
    MakeDir(base / "ATI, Inc\\Tools\\sub");
    WriteAll(base / "ATI, Inc\\Tools\\sub\\t.exe", "tool");
    WriteAll(base / "ATI, Inc\\Tools\\ro.txt", "ro");
    AddAttributes(base / "ATI, Inc\\Tools\\ro.txt", FILE_ATTRIBUTE_READONLY);
    std::string dir = base / "ATI, Inc\\Tools";
    EXPECT_TRUE(tw::BackupDirectory(prog.Path(), dir, "My_Filter", kRun));
    EXPECT_EQ(ReadAll(Db() + "\\Tools\\sub\\t.exe"), "tool");
    EXPECT_EQ(ReadAll(Db() + "\\Tools\\ro.txt"), "ro");
    EXPECT_EQ(ReadAll(Index(tw::BackupKind::Dir)), "Tools, " + base.Path() + "\\ATI, Inc\r\n");
    EXPECT_TRUE(Exists(dir + "\\sub\\t.exe")) << "a backup never moves the original";
}

TEST_F(FsBackup, SameNamedDirectoriesMergeInTheBackup) {
    Prepare();
    for (const char* parent : {"p1", "p2"}) {
        MakeDir(base / parent);
        MakeDir(base / (std::string(parent) + "\\NVIDIA"));
        WriteAll(base / (std::string(parent) + "\\NVIDIA\\same.txt"), parent);
        WriteAll(base / (std::string(parent) + "\\NVIDIA\\only_" + parent), parent);
    }
    EXPECT_TRUE(tw::BackupDirectory(prog.Path(), base / "p1\\NVIDIA", "My_Filter", kRun));
    EXPECT_TRUE(tw::BackupDirectory(prog.Path(), base / "p2\\NVIDIA", "My_Filter", kRun));
    EXPECT_EQ(ReadAll(Db() + "\\NVIDIA\\same.txt"), "p2");
    EXPECT_EQ(ReadAll(Db() + "\\NVIDIA\\only_p1"), "p1");
    EXPECT_EQ(ReadAll(Db() + "\\NVIDIA\\only_p2"), "p2");
    EXPECT_EQ(ReadAll(Index(tw::BackupKind::Dir)),
              "NVIDIA, " + base / "p1\r\n" + "NVIDIA, " + base / "p2\r\n");
}

// The shell reports a copy of a pattern as done although a matched file it could not read
// was left out: the backup is good only when each match has its copy.
TEST_F(FsBackup, AFileBackupIsGoodOnlyWhenEveryMatchedFileWasCopied) {
    Prepare();
    WriteAll(base / "tw1.tmp", "1");
    WriteAll(base / "tw2.tmp", "2");
    HANDLE locked = CreateFileA((base / "tw2.tmp").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                0, nullptr);
    EXPECT_FALSE(tw::BackupFile(prog.Path(), "\\tw*.tmp", "My_Filter", kRun, base / "tw*.tmp",
                                base.Path(), "1"));
    EXPECT_EQ(ReadAll(Fb() + "\\Windows\\tw1.tmp"), "1") << "the rest is copied";
    CloseHandle(locked);
}

} // namespace
