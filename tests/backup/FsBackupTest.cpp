#include "backup/BackupStore.h"
#include "backup/FileBackup.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

namespace {

using namespace twtest;

constexpr const char* kRun = "05-12-2026_101010";

class FsBackup : public ::testing::Test {
  protected:
    std::string Run(tw::BackupKind kind) const {
        return tw::RunFolderPath(prog.Path(), kRun, "My_Filter", kind);
    }
    std::string Fb() const { return Run(tw::BackupKind::File); }
    std::string Db() const { return Run(tw::BackupKind::Dir); }
    void Prepare() {
        tw::PrepareBackupFolders(prog.Path(), kRun, "My_Filter", "Yes", "Yes", "No", "No");
    }
    Scratch prog{"prog"};
    Scratch base{"base"};
};

TEST_F(FsBackup, PrepareBackupFoldersMakesWhatTheSettingsAsk) {
    const struct {
        const char* files;
        const char* dir;
        const char* reg;
        const char* log;
        bool backup, logFolder, fileRun, dirRun, regRun;
    } cases[] = {
        {"No", "Yes", "Yes", "No", true, false, false, true, true},
        {"No", "No", "No", "Yes", true, true, false, false, false},
        {"yes", "YES", "?", "Yes ", true, false, false, false, false},
        {"Yes", "Yes", "Yes", "Yes", true, true, true, true, true},
        {"Yes", "No", "No", "No", true, false, true, false, false},
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
        EXPECT_EQ(IsDir(Run(tw::BackupKind::Reg)), c.regRun);
    }
    // each missing run folder is made on its own, next to one already made
    WriteAll(Fb() + "\\keep.txt", "x");
    Prepare();
    EXPECT_TRUE(Exists(Fb() + "\\keep.txt"));
    EXPECT_TRUE(IsDir(Db()));
}

// Same-named folders merge in the backup, the last copy of a file winning; a line each.
TEST_F(FsBackup, BackupDirectoryCopiesTheTreesAndIndexesThem) {
    Prepare();
    MakeFiles(base.Path(),
              {"ATI, Inc\\Tools\\sub\\t.exe", "ATI, Inc\\Tools\\ro.txt", "p1\\NVIDIA\\same.txt=p1",
               "p1\\NVIDIA\\only_p1", "p2\\NVIDIA\\same.txt=p2", "p2\\NVIDIA\\only_p2"});
    AddAttributes(base / "ATI, Inc\\Tools\\ro.txt", FILE_ATTRIBUTE_READONLY);
    for (const char* dir : {"ATI, Inc\\Tools", "p1\\NVIDIA", "p2\\NVIDIA"})
        EXPECT_TRUE(tw::BackupDirectory(prog.Path(), base / dir, "My_Filter", kRun)) << dir;
    EXPECT_EQ(ReadAll(Db() + "\\Tools\\sub\\t.exe"), "t.exe");
    EXPECT_EQ(ReadAll(Db() + "\\Tools\\ro.txt"), "ro.txt");
    EXPECT_EQ(ReadAll(Db() + "\\NVIDIA\\same.txt"), "p2");
    EXPECT_EQ(ReadAll(Db() + "\\NVIDIA\\only_p1"), "only_p1");
    EXPECT_EQ(ReadAll(Db() + "\\NVIDIA\\only_p2"), "only_p2");
    EXPECT_EQ(ReadAll(tw::IndexPath(prog.Path(), kRun, "My_Filter", tw::BackupKind::Dir)),
              "Tools, " + base / "ATI, Inc\r\nNVIDIA, " + base / "p1\r\nNVIDIA, " +
                  base / "p2\r\n");
    EXPECT_TRUE(Exists(base / "ATI, Inc\\Tools\\sub\\t.exe")) << "the original stays";
}

// The shell reports a copy of a pattern as done although a matched file it could not read
// was left out: the backup is good only when each match has its copy.
TEST_F(FsBackup, AFileBackupIsGoodOnlyWhenEveryMatchedFileWasCopied) {
    Prepare();
    MakeFiles(base.Path(), {"tw1.tmp=1", "tw2.tmp=2"});
    HANDLE locked = CreateFileA((base / "tw2.tmp").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                0, nullptr);
    EXPECT_FALSE(tw::BackupFile(prog.Path(), "\\tw*.tmp", "My_Filter", kRun, base / "tw*.tmp",
                                base.Path(), "1"));
    EXPECT_EQ(ReadAll(Fb() + "\\Windows\\tw1.tmp"), "1") << "the rest is copied";
    CloseHandle(locked);
}

} // namespace
