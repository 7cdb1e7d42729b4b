#include "backup/BackupStore.h"
#include "backup/FileBackup.h"
#include "backup/Restore.h"
#include "support/TestFiles.h"
#include "win/Handle.h"
#include "win/StartAndWait.h"

#include <gtest/gtest.h>

namespace {

using namespace twtest;
using tw::BackupKind;

// Below a scratch root: the program folder P with its backup store, the origin folder O
// and a folder X outside the store. In paths and texts "$R" stands for the root, and
// "$F", "$D", "$G" for the file, directory and registry run folders.
const std::pair<const char*, const char*> kMarks[] = {{"$F", "P\\Backup\\r_F_FileBackup"},
                                                      {"$D", "P\\Backup\\r_F_DirBackup"},
                                                      {"$G", "P\\Backup\\r_F_RegBackup"}};

std::string Fill(std::string text, const std::string& root) {
    for (const auto& [mark, path] : kMarks)
        for (size_t at; (at = text.find(mark)) != std::string::npos;)
            text.replace(at, 2, "$R\\" + std::string(path));
    for (size_t at; (at = text.find("$R")) != std::string::npos;)
        text.replace(at, 2, root);
    return text;
}

// A path below the root as the cases write it: marked, or relative to the root.
std::string Below(const std::string& path, const std::string& root) {
    return Fill(path.starts_with('$') ? path : "$R\\" + path, root);
}

// Every file below the root as MakeFiles takes it (run folders marked again), and every
// empty folder of the program folder as "path\"; sorted, index files left out.
std::vector<std::string> Snapshot(const std::string& root, const std::string& below = "") {
    auto marked = [](std::string shown) {
        for (const auto& [mark, run] : kMarks)
            if (shown.starts_with(run))
                shown = mark + shown.substr(std::string(run).size());
        return shown;
    };
    std::vector<std::string> out;
    const auto names = FolderNames(root + below);
    if (names.empty() && below.starts_with("\\P"))
        out.push_back(marked(below.substr(1) + "\\"));
    for (const std::string& name : names) {
        const std::string path = below + "\\" + name;
        if (IsDir(root + path)) {
            const auto more = Snapshot(root, path);
            out.insert(out.end(), more.begin(), more.end());
            continue;
        }
        if (below.starts_with("\\P") &&
            (name.ends_with(".dfb") || name.ends_with(".ddb") || name.ends_with(".drb")))
            continue;
        const std::string content = ReadAll(root + path);
        out.push_back(marked(path.substr(1)) + (content == name ? "" : "=" + content));
    }
    std::sort(out.begin(), out.end());
    return out;
}

constexpr const char* kRun = "05-12-2026_101010";

class FsBackup : public ::testing::Test {
  protected:
    std::string Run(BackupKind kind) const {
        return tw::RunFolderPath(prog.Path(), kRun, "My_Filter", kind);
    }
    std::string Fb() const { return Run(BackupKind::File); }
    std::string Db() const { return Run(BackupKind::Dir); }
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
        EXPECT_EQ(IsDir(Run(BackupKind::Reg)), c.regRun);
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
    const std::string index = tw::RunFolderName(kRun, "My_Filter", BackupKind::Dir) +
                              ".ddb=Tools, " + base / "ATI, Inc\r\nNVIDIA, " +
                              base / "p1\r\nNVIDIA, " + base / "p2\r\n";
    EXPECT_EQ(Snapshot(Db()), (std::vector<std::string>{index, "NVIDIA\\only_p1", "NVIDIA\\only_p2",
                                                        "NVIDIA\\same.txt=p2", "Tools\\ro.txt",
                                                        "Tools\\sub\\t.exe"}));
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

// Registry lines work on this key, made with the string value v = "1".
constexpr const char* kKey = "Software\\TwRestore\\K";

struct Case {
    const char* name;
    BackupKind kind;
    const char* index;               // the index text as written
    std::vector<const char*> before; // the files made, as Below takes them ("=export": of kKey)
    std::vector<bool> selected;      // per non-empty line
    const char* kept;                // the index text after; nullptr: deleted
    std::vector<const char*> after;  // as Snapshot gives them; none: as before
    const char* hold = nullptr;      // a file held open, unshared, while the restore runs
    bool keyLeft = false;            // kKey, without its value, is there when the restore runs
    bool valueBack = false;          // kKey holds its value after the restore
};

void Check(const Case& c) {
    SCOPED_TRACE(c.name);
    Scratch scratch("restore");
    const std::string& root = scratch.Path();
    const std::string run = tw::RunFolderName("r", "F", c.kind), prog = root + "\\P";
    MakeFiles(root, {"P\\Backup\\" + run + "\\", "O\\", "X\\"});
    const std::string index = tw::RunIndexPath(prog, run, c.kind);
    WriteAll(index, Fill(c.index, root));
    DeleteKeyTree(HKEY_CURRENT_USER, "Software\\TwRestore");
    SetString(HKEY_CURRENT_USER, kKey, "v", "1");
    for (const std::string entry : c.before) {
        MakeFiles(root, {Below(entry, root).substr(root.size() + 1)});
        if (!entry.ends_with("=export"))
            continue;
        const std::string file = Below(entry.substr(0, entry.find('=')), root);
        tw::StartAndWait("regedit.exe /e \"" + file + "\" \"HKEY_CURRENT_USER\\" + kKey + "\"", 0);
        ASSERT_TRUE(Exists(file));
    }
    DeleteKeyTree(HKEY_CURRENT_USER, kKey);
    if (c.keyLeft)
        CreateKey(HKEY_CURRENT_USER, kKey);
    const std::vector<std::string> before = Snapshot(root);

    tw::win::UniqueFileHandle held(c.hold ? CreateFileA(Fill(c.hold, root).c_str(), GENERIC_READ, 0,
                                                        nullptr, OPEN_EXISTING, 0, nullptr)
                                          : INVALID_HANDLE_VALUE);
    ASSERT_TRUE(!c.hold || held);
    tw::RestoreRun(prog, run, c.kind, tw::LoadIndex(prog, run, c.kind), c.selected);
    held.reset();

    EXPECT_EQ(ReadAll(index), c.kept ? Fill(c.kept, root) : "");
    EXPECT_EQ(Exists(index), c.kept != nullptr);
    std::vector<std::string> after(c.after.begin(), c.after.end());
    std::sort(after.begin(), after.end());
    EXPECT_EQ(Snapshot(root), c.after.empty() ? before : after);
    EXPECT_EQ(ValueExists(HKEY_CURRENT_USER, kKey, "v"), c.valueBack);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "Software\\TwRestore\\Other"));
    DeleteKeyTree(HKEY_CURRENT_USER, "Software\\TwRestore");
}

constexpr BackupKind kFile = BackupKind::File, kDir = BackupKind::Dir, kReg = BackupKind::Reg;
#define TW_K "HKEY_CURRENT_USER\\Software\\TwRestore\\K"

TEST(FsRestore, FilesFoldersAndKeysComeBackAndNothingLeavesTheRunFolder) {
    // clang-format off
    const Case cases[] = {
        {"partial", kFile,
         "\\Windows\\a.dll, $R\\O\r\n\\Windows\\b.dll, $R\\O\r\n\\Windows\\c.dll, $R\\O\r\n",
         {"$F\\Windows\\a.dll", "$F\\Windows\\b.dll", "$F\\Windows\\c.dll"}, {true, false, true},
         "\\Windows\\b.dll, $R\\O\r\n", {"$F\\Windows\\b.dll", "O\\a.dll", "O\\c.dll"}},
        {"none selected", kFile, "\\Windows\\a.dll, $R\\O\r\n\r\n\\Windows\\b.dll, $R\\O",
         {"$F\\Windows\\a.dll", "$F\\Windows\\b.dll"}, {false, false},
         "\\Windows\\a.dll, $R\\O\r\n\\Windows\\b.dll, $R\\O\r\n"},
        {"pattern, comma in a name", kFile,
         "\\Windows\\ati*.dll, $R\\O\r\n\\Windows\\other.dll, $R\\O\r\n\\Inf\\a,b.inf, $R\\O\r\n",
         {"$F\\Windows\\ati1.dll", "$F\\Windows\\ati2.dll", "$F\\Windows\\other.dll",
          "$F\\Inf\\a,b.inf"},
         {true, false, true}, "\\Windows\\other.dll, $R\\O\r\n",
         {"$F\\Inf\\", "$F\\Windows\\other.dll", "O\\a,b.inf", "O\\ati1.dll", "O\\ati2.dll"}},
        {"origin gone", kFile, "\\Windows\\gone.dll, $R\\O\\Gone\r\n\\Windows\\d.dll, $R\\O\r\n",
         {"$F\\Windows\\gone.dll", "$F\\Windows\\d.dll"}, {true, true},
         "\\Windows\\gone.dll, $R\\O\\Gone\r\n", {"$F\\Windows\\gone.dll", "O\\d.dll"}},
        {"every directory", kDir, "Tree, $R\\O\r\nTw*, $R\\O\\Inf\r\n",
         {"$D\\Tree\\sub\\f.txt", "$D\\Tree\\g.txt", "$D\\Tw1\\x.txt", "$D\\Tw2\\y.txt"},
         {true, true}, nullptr, {"P\\Backup\\", "O\\Inf\\Tw1\\x.txt", "O\\Inf\\Tw2\\y.txt",
                                 "O\\Tree\\g.txt", "O\\Tree\\sub\\f.txt"}},
        {"same-named folders", kDir, "Tree, $R\\O\r\nTree, $R\\O\\Inf\r\n", {"$D\\Tree\\f.txt"},
         {true, true}, nullptr, {"P\\Backup\\", "O\\Inf\\Tree\\f.txt", "O\\Tree\\f.txt"}},
        // a copy stays while a line that stays names it: letter case, patterns, order
        {"shared copy", kFile,
         "\\Windows\\a.dll, $R\\O\r\n\\WINDOWS\\A.DLL, $R\\X\r\n\\Windows\\b.dll, $R\\O\r\n"
         "\\Windows\\b*.dll, $R\\X\r\n\\Windows\\c.dll, $R\\X\r\n\\Windows\\c.dll, $R\\O\r\n",
         {"$F\\Windows\\a.dll", "$F\\Windows\\b.dll", "$F\\Windows\\c.dll"},
         {true, false, true, false, false, true},
         "\\WINDOWS\\A.DLL, $R\\X\r\n\\Windows\\b*.dll, $R\\X\r\n\\Windows\\c.dll, $R\\X\r\n",
         {"$F\\Windows\\a.dll", "$F\\Windows\\b.dll", "$F\\Windows\\c.dll", "O\\a.dll", "O\\b.dll",
          "O\\c.dll"}},
        {"one of two same-named folders", kDir, "Tree, $R\\O\r\nTree, $R\\O\\Inf\r\n",
         {"$D\\Tree\\f.txt"}, {true, false}, "Tree, $R\\O\\Inf\r\n",
         {"$D\\Tree\\f.txt", "O\\Tree\\f.txt"}},
        // a copy back that failed keeps the copy: the origin, held open, keeps other bytes
        {"failed copy back", kFile, "\\Windows\\a.dll, $R\\O\r\n",
         {"$F\\Windows\\a.dll", "O\\a.dll=zzzzz"}, {true}, "\\Windows\\a.dll, $R\\O\r\n", {},
         "$R\\O\\a.dll"},
        // lines naming places outside their run folder, or origins in the store
        {"file copy climbing out", kFile,
         "\\Windows\\..\\..\\..\\..\\X\\v.dll, $R\\O\r\n"
         "\\Windows\\..\\..\\..\\..\\X\\w.dll, $R\\X\r\n",
         {"X\\v.dll", "X\\w.dll"}, {true, true},
         "\\Windows\\..\\..\\..\\..\\X\\v.dll, $R\\O\r\n"
         "\\Windows\\..\\..\\..\\..\\X\\w.dll, $R\\X\r\n"},
        {"file origin in its run folder", kFile, "\\Windows\\a.dll, $F\\Windows\r\n",
         {"$F\\Windows\\a.dll"}, {true}, "\\Windows\\a.dll, $F\\Windows\r\n"},
        {"folders climbing out, origin the run folder", kDir,
         "..\\..\\..\\X\\T, $R\\O\r\nTree, $D\r\nTree, $R\\P\\Backup\\.\\r_F_DirBackup\\Tree\r\n",
         {"X\\T\\f.txt", "$D\\Tree\\g.txt"}, {true, true, true},
         "..\\..\\..\\X\\T, $R\\O\r\nTree, $D\r\nTree, $R\\P\\Backup\\.\\r_F_DirBackup\\Tree\r\n"},
        {"empty folder name", kDir, ", $R\\O\r\nTree, $R\\O\r\n", {"$D\\Tree\\g.txt"},
         {true, false}, ", $R\\O\r\nTree, $R\\O\r\n"},
        {"folder pattern", kDir, "*, $R\\O\r\nTree, $R\\X\r\n", {"$D\\Tree\\g.txt"},
         {true, false}, "Tree, $R\\X\r\n", {"$D\\Tree\\g.txt", "O\\Tree\\g.txt"}},
        // an index that cannot be read, or holds no line, removes nothing
        {"unreadable index", kDir, "Tree, $R\\O\r\n", {"$D\\Tree\\g.txt"}, {},
         "Tree, $R\\O\r\n", {}, "$D\\r_F_DirBackup.ddb"},
        {"blank index", kDir, "\r\n\r\n", {"$D\\Tree\\g.txt"}, {}, "\r\n\r\n"},
        // keys come back only when the key holds what their export holds
        {"imported", kReg, TW_K ", K1.dat\r\n", {"$G\\K1.dat=export"}, {true}, nullptr,
         {"P\\Backup\\"}, nullptr, false, true},
        // regedit cannot take the value: the key is there, but without it
        {"damaged export", kReg, TW_K ", K1.dat\r\n",
         {"$G\\K1.dat=REGEDIT4\r\n\r\n[" TW_K "]\r\n\"v\"=dword:zz\r\n"}, {true},
         TW_K ", K1.dat\r\n", {}, nullptr, true, false},
        {"export of another key", kReg, TW_K ", K1.dat\r\n",
         {"$G\\K1.dat=REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\TwRestore\\Other]\r\n"},
         {true}, TW_K ", K1.dat\r\n"},
        {"export outside the run folder", kReg, TW_K ", ..\\..\\..\\X\\K1.dat\r\n",
         {"X\\K1.dat=export"}, {true}, TW_K ", ..\\..\\..\\X\\K1.dat\r\n", {}, nullptr, true},
        {"shared export", kReg, TW_K ", K1.dat\r\n" TW_K ", k1.DAT\r\n",
         {"$G\\K1.dat=export"}, {true, false}, TW_K ", k1.DAT\r\n", {}, nullptr, false, true},
    };
    // clang-format on
    for (const Case& c : cases)
        Check(c);
}
#undef TW_K

} // namespace
