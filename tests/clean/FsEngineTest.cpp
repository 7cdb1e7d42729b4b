#include "backup/BackupStore.h"
#include "backup/FileBackup.h"
#include "clean/CleaningEngine.h"
#include "clean/FilterCatalogue.h"
#include "clean/FsTestSupport.h"
#include "clean/rules/FileRules.h"
#include "registry/cRegSearch.h"
#include "win/SystemFolders.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>

namespace {

using namespace tw::test;

constexpr const char* kRun = "05-12-2026_101010";
constexpr const char* kFilter = "Test Filter";

class RecordingSink : public tw::ReportSink {
  public:
    void Removed(const std::string& line) override { removed.push_back(line); }
    void NotFound(const std::string& line) override { notFound.push_back(line); }
    std::vector<std::string> removed;
    std::vector<std::string> notFound;
};

// Texts are their ids, so every line shows which id it was made from.
std::string IdAsText(std::string_view id) {
    return "#" + std::string(id);
}

std::string Line(const char* id, const std::string& path) {
    return tw::DetailLine("#" + std::string(id), path);
}

class FsEngine : public ::testing::Test {
  protected:
    void SetUp() override {
        ctx.ProgramFolder = prog.Path();
        ctx.FilterName = kFilter;
        ctx.RunName = kRun;
        ctx.WorkingCopy = prog / "cdtwf.dll";
        ctx.Sink = &sink;
        ctx.Text = IdAsText;
        ctx.Settings = {"No", "No", "No", "No"};
        engine = std::make_unique<tw::CleaningEngine>(ctx, search);
    }
    void TearDown() override {
        engine.reset();
        for (auto it = made.rbegin(); it != made.rend(); ++it)
            RemoveTree(*it);
    }
    // A name no other test or program uses.
    std::string Unique(const std::string& stem) const {
        return "twfs" + std::to_string(GetCurrentProcessId()) + "_" + stem;
    }
    // Creates a file (content = its name) and remembers it for clean-up.
    std::string Make(const std::string& path, DWORD attributes = 0) {
        WriteFile(path, path);
        if (attributes)
            AddAttributes(path, attributes);
        made.push_back(path);
        return path;
    }
    std::string MakeTree(const std::string& path) {
        MakeDir(path);
        made.push_back(path);
        MakeDir(path + "\\sub");
        WriteFile(path + "\\sub\\inner.dll", "inner");
        WriteFile(path + "\\ro.txt", "ro");
        AddAttributes(path + "\\ro.txt", FILE_ATTRIBUTE_READONLY);
        return path;
    }
    void BackupsOn(const char* files, const char* dirs) {
        ctx.Settings.BackupFiles = files;
        ctx.Settings.BackupDir = dirs;
        tw::PrepareBackupFolders(prog.Path(), kRun, kFilter, files, dirs, "No", "No");
    }
    std::string Fb() const {
        return tw::RunFolderPath(prog.Path(), kRun, kFilter, tw::BackupKind::File);
    }
    std::string Db() const {
        return tw::RunFolderPath(prog.Path(), kRun, kFilter, tw::BackupKind::Dir);
    }
    std::string FileIndex() const {
        return ReadFile(tw::IndexPath(prog.Path(), kRun, kFilter, tw::BackupKind::File));
    }
    std::string DirIndex() const {
        return ReadFile(tw::IndexPath(prog.Path(), kRun, kFilter, tw::BackupKind::Dir));
    }
    void RunFilterText(const std::string& text) {
        WriteFile(ctx.WorkingCopy, text);
        engine->ProcessFilter(ctx.WorkingCopy);
        DeleteFileA(ctx.WorkingCopy.c_str());
    }

    const std::string win = tw::GetWindowsDir();
    const std::string sys = tw::GetSystemDir();
    const std::string pf = tw::GetProgramFilesDir();
    const std::string drive = win.substr(0, 2);
    Scratch prog{"engine"};
    RecordingSink sink;
    tw::RunContext ctx;
    tw::cRegSearch search;
    std::unique_ptr<tw::CleaningEngine> engine;
    std::vector<std::string> made;
};

TEST_F(FsEngine, WildcardEntryGivesOneLineOneBackupAndRemovesEveryMatch) {
    BackupsOn("Yes", "No");
    for (const char* n : {"a1.tmp", "a2.tmp", "a3.tmp"})
        Make(win + "\\" + Unique(n));
    std::string other = Make(win + "\\" + Unique("b.tmp"));
    std::string entry = "\\" + Unique("a*.tmp");

    engine->CleanFile(entry);

    EXPECT_EQ(sink.removed, std::vector<std::string>{Line("0015", win + entry)});
    EXPECT_TRUE(sink.notFound.empty());
    for (const char* n : {"a1.tmp", "a2.tmp", "a3.tmp"}) {
        EXPECT_FALSE(Exists(win + "\\" + Unique(n)));
        EXPECT_EQ(ReadFile(Fb() + "\\Windows\\" + Unique(n)), win + "\\" + Unique(n));
    }
    EXPECT_TRUE(Exists(other));
    EXPECT_EQ(FileIndex(), "\\Windows" + entry + ", " + win + "\r\n");
}

TEST_F(FsEngine, FilesThatAreNotSeenAreReportedNotFound) {
    BackupsOn("Yes", "No");
    std::string hidden = Make(win + "\\" + Unique("hidden.tmp"), FILE_ATTRIBUTE_HIDDEN);
    std::string system = Make(sys + "\\" + Unique("system.tmp"), FILE_ATTRIBUTE_SYSTEM);
    std::string plain = Make(win + "\\" + Unique("plain.tmp"));
    struct Case {
        bool systemSection;
        std::string entry;
        std::string path;
    };
    const Case cases[] = {
        {false, "\\" + Unique("missing*.tmp"), win + "\\" + Unique("missing*.tmp")},
        {false, "\\" + Unique("hidden.tmp"), hidden},
        {true, "\\" + Unique("system.tmp"), system},
        {false, Unique("plain.tmp"), win + Unique("plain.tmp")}, // no leading "\"
        {true, "\\" + Unique("plain.tmp"), sys + "\\" + Unique("plain.tmp")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.entry);
        sink.notFound.clear();
        if (c.systemSection)
            engine->CleanSystemFile(c.entry);
        else
            engine->CleanFile(c.entry);
        EXPECT_EQ(sink.notFound, std::vector<std::string>{Line("0016", c.path)});
    }
    EXPECT_TRUE(sink.removed.empty());
    EXPECT_TRUE(Exists(hidden));
    EXPECT_TRUE(Exists(system));
    EXPECT_TRUE(Exists(plain));
    EXPECT_EQ(FileIndex(), "");
}

TEST_F(FsEngine, ReadOnlyFileIsBackedUpAndListedButStays) {
    BackupsOn("Yes", "No");
    std::string ro = Make(sys + "\\" + Unique("ro.dll"), FILE_ATTRIBUTE_READONLY);
    engine->CleanSystemFile("\\" + Unique("ro.dll"));
    EXPECT_EQ(sink.removed, std::vector<std::string>{Line("0015", ro)});
    EXPECT_TRUE(Exists(ro));
    EXPECT_EQ(ReadFile(Fb() + "\\System\\" + Unique("ro.dll")), ro);
    EXPECT_EQ(FileIndex(), "\\System\\" + Unique("ro.dll") + ", " + sys + "\r\n");
}

TEST_F(FsEngine, DirectoryEntriesFollowTheProgramFilesRule) {
    BackupsOn("No", "Yes");
    std::string below = MakeTree(pf + "\\" + Unique("pf"));
    std::string lower = MakeTree(pf + "\\" + Unique("lower"));
    std::string onDrive = MakeTree(drive + "\\" + Unique("root"));
    std::string plainFile = Make(drive + "\\" + Unique("file"));
    struct Case {
        std::string entry;
        std::string path;
        const char* id;
        bool gone;
    };
    const Case cases[] = {
        {"\\Program Files\\" + Unique("pf"), below, "0017", true},
        {"\\program files\\" + Unique("lower"), drive + "\\program files\\" + Unique("lower"),
         "0017", true},
        {"\\" + Unique("root"), onDrive, "0017", true},
        {"\\" + Unique("file"), plainFile, "0017", false}, // a file counts as found
        {"\\" + Unique("missing"), drive + "\\" + Unique("missing"), "0018", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.entry);
        sink.removed.clear();
        sink.notFound.clear();
        engine->CleanDirectory(c.entry);
        auto& list = std::string(c.id) == "0018" ? sink.notFound : sink.removed;
        EXPECT_EQ(list, std::vector<std::string>{Line(c.id, c.path)});
        if (c.gone) {
            EXPECT_FALSE(Exists(c.path));
        }
    }
    EXPECT_TRUE(Exists(plainFile));
    EXPECT_EQ(ReadFile(Db() + "\\" + Unique("pf") + "\\sub\\inner.dll"), "inner");
    EXPECT_EQ(ReadFile(Db() + "\\" + Unique("root") + "\\ro.txt"), "ro");
    EXPECT_EQ(DirIndex(), Unique("pf") + ", " + pf + "\r\n" + Unique("lower") + ", " + drive +
                              "\\program files\r\n" + Unique("root") + ", " + drive + "\r\n" +
                              Unique("file") + ", " + drive + "\r\n");
}

TEST_F(FsEngine, ProgramFilesElsewhereIsLookedForThere) {
    const char* keyPath = "Software\\Microsoft\\Windows\\CurrentVersion";
    Scratch apps("apps");
    std::string target = MakeTree(apps / "ATI");
    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_SET_VALUE, &key), ERROR_SUCCESS);
    RegSetValueExA(key, "ProgramFilesDir", 0, REG_SZ,
                   reinterpret_cast<const BYTE*>(apps.Path().c_str()),
                   static_cast<DWORD>(apps.Path().size() + 1));
    engine->CleanDirectory("\\Program Files\\ATI");
    RegSetValueExA(key, "ProgramFilesDir", 0, REG_SZ, reinterpret_cast<const BYTE*>(pf.c_str()),
                   static_cast<DWORD>(pf.size() + 1));
    RegCloseKey(key);
    EXPECT_EQ(sink.removed, std::vector<std::string>{Line("0017", target)});
    EXPECT_FALSE(Exists(target));
}

TEST_F(FsEngine, BackupsNeedExactlyYesAndAWindowThatMakesThem) {
    struct Case {
        const char* setting;
        bool makeBackups;
        bool backedUp;
    };
    const Case cases[] = {
        {"Yes", true, true}, {"yes", true, false}, {"YES", true, false}, {"Yes", false, false}};
    tw::PrepareBackupFolders(prog.Path(), kRun, kFilter, "Yes", "Yes", "No", "No");
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.setting) + (c.makeBackups ? " with backups" : " wizard"));
        ctx.Settings.BackupFiles = c.setting;
        ctx.Settings.BackupDir = c.setting;
        ctx.MakeBackups = c.makeBackups;
        std::string file = Make(win + "\\" + Unique("set.tmp"));
        std::string dir = MakeTree(drive + "\\" + Unique("setdir"));
        DeleteFileA(tw::IndexPath(prog.Path(), kRun, kFilter, tw::BackupKind::File).c_str());
        DeleteFileA(tw::IndexPath(prog.Path(), kRun, kFilter, tw::BackupKind::Dir).c_str());
        engine->CleanFile("\\" + Unique("set.tmp"));
        engine->CleanDirectory("\\" + Unique("setdir"));
        EXPECT_FALSE(Exists(file));
        EXPECT_FALSE(Exists(dir));
        EXPECT_EQ(FileIndex().empty(), !c.backedUp);
        EXPECT_EQ(DirIndex().empty(), !c.backedUp);
    }
}

TEST_F(FsEngine, WithoutReportsNothingIsListedButItemsGo) {
    ctx.MakeReports = false;
    std::string file = Make(win + "\\" + Unique("quiet.tmp"));
    engine->CleanFile("\\" + Unique("quiet.tmp"));
    engine->CleanFile("\\" + Unique("quiet_missing.tmp"));
    EXPECT_FALSE(Exists(file));
    EXPECT_TRUE(sink.removed.empty());
    EXPECT_TRUE(sink.notFound.empty());
    ctx.MakeReports = true;
    ctx.Sink = nullptr;
    engine->CleanFile("\\" + Unique("quiet_missing.tmp"));
}

TEST_F(FsEngine, FailedBackupKeepsTheItem) {
    // Backups asked for, but the run folders were never made.
    ctx.Settings.BackupFiles = "Yes";
    ctx.Settings.BackupDir = "Yes";
    MakeDir(prog / "Backup");
    WriteFile(Db(), "a plain file where the run folder belongs");
    std::string file = Make(win + "\\" + Unique("keep.tmp"));
    std::string dir = MakeTree(drive + "\\" + Unique("keepdir"));
    engine->CleanFile("\\" + Unique("keep.tmp"));
    engine->CleanDirectory("\\" + Unique("keepdir"));
    EXPECT_EQ(sink.removed, (std::vector<std::string>{Line("0031", file), Line("0031", dir)}));
    EXPECT_TRUE(Exists(file));
    EXPECT_TRUE(Exists(dir + "\\sub\\inner.dll"));
}

// What a hostile filter must not change: the folders above and around its targets.
class FsHostile : public FsEngine {
  protected:
    void SetUp() override {
        FsEngine::SetUp();
        BackupsOn("Yes", "Yes");
        // Sentinels that a refused entry would otherwise take with it.
        Make(win + "\\" + Unique("sentinel.ini"));
        Make(sys + "\\" + Unique("sentinel.dll"));
        Make(drive + "\\" + Unique("onroot.tmp"));
        watched = {
            drive + "\\",    win,  sys, pf, tw::GetProfilesDir(), tw::GetTempDir(), prog.Path(),
            prog / "Backup", Fb(), Db()};
        for (const auto& w : watched)
            before.push_back(Snapshot(w));
    }
    void ExpectNothingChanged() {
        for (size_t i = 0; i < watched.size(); ++i) {
            SCOPED_TRACE(watched[i]);
            EXPECT_EQ(Snapshot(watched[i]), before[i]);
        }
        for (const auto& line : sink.removed) {
            EXPECT_EQ(line.find("#0015"), std::string::npos) << line;
            EXPECT_EQ(line.find("#0017"), std::string::npos) << line;
        }
    }
    std::vector<std::string> watched;
    std::vector<std::vector<std::string>> before;
};

TEST_F(FsHostile, ProtectedEntriesAreRefusedAndNothingChanges) {
    std::string programRel = prog.Path().substr(2);
    std::string tempRel = tw::GetTempDir().substr(2);
    struct Case {
        char section; // F files, S system files, D directory
        std::string entry;
        std::string path;
        bool mayBeUnseen = false; // the platform may not list it at all
    };
    const Case cases[] = {
        {'F', "\\*.*", win + "\\*.*"},
        {'F', "\\*", win + "\\*"},
        {'F', "\\", win + "\\"},
        {'F', "\\system32\\*.*", win + "\\system32\\*.*"},
        {'F', "\\.\\*.ini", win + "\\.\\*.ini"},
        {'F', "\\..\\" + Unique("onroot.tmp"), win + "\\..\\" + Unique("onroot.tmp")},
        {'S', "\\*.dll", sys + "\\*.dll"},
        {'S', "\\????????.???", sys + "\\????????.???"},
        {'S', "\\..\\..\\" + Unique("onroot.tmp"), sys + "\\..\\..\\" + Unique("onroot.tmp")},
        {'F', "\\system32", win + "\\system32", true},
        {'F', "\\..\\..", win + "\\..\\..", true},
        {'D', "\\..\\..", drive + "\\..\\..", true},
        {'D', "\\", drive + "\\"},
        {'D', "\\windows", drive + "\\windows"},
        {'D', "\\WINDOWS.", drive + "\\WINDOWS."},
        {'D', "\\windows\\system32\\", drive + "\\windows\\system32\\"},
        {'D', "\\Program Files", pf},
        {'D', "\\Program Files\\..", pf + "\\..", true},
        {'D', "\\Program Files\\..\\windows", pf + "\\..\\windows"},
        {'D', "\\W*", drive + "\\W*"},
        {'D', "\\users", drive + "\\users"},
        {'D', tempRel, drive + tempRel},
        {'D', programRel, prog.Path()},
        {'D', programRel + "\\Backup", prog / "Backup"},
        {'D', programRel + "\\Backup\\..\\..", prog / "Backup\\..\\.."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(1, c.section) + " " + c.entry);
        sink.removed.clear();
        sink.notFound.clear();
        if (c.section == 'F')
            engine->CleanFile(c.entry);
        else if (c.section == 'S')
            engine->CleanSystemFile(c.entry);
        else
            engine->CleanDirectory(c.entry);
        if (c.mayBeUnseen && !sink.notFound.empty()) {
            EXPECT_EQ(sink.notFound,
                      std::vector<std::string>{Line(c.section == 'D' ? "0018" : "0016", c.path)});
            EXPECT_TRUE(sink.removed.empty());
            continue;
        }
        EXPECT_EQ(sink.removed, std::vector<std::string>{Line("0030", c.path)});
        EXPECT_TRUE(sink.notFound.empty());
    }
    ExpectNothingChanged();
}

TEST_F(FsHostile, ShortNamesDoNotHideAProtectedFolder) {
    char shortName[MAX_PATH];
    DWORD n = GetShortPathNameA(pf.c_str(), shortName, MAX_PATH);
    if (n == 0 || n >= MAX_PATH || pf == shortName)
        GTEST_SKIP() << "no short names here";
    std::string entry = std::string(shortName).substr(2);
    engine->CleanDirectory(entry);
    EXPECT_EQ(sink.removed, std::vector<std::string>{Line("0030", drive + entry)});
    ExpectNothingChanged();
}

TEST_F(FsHostile, BadFilterTextsChangeNothing) {
    std::mt19937 random(20261205);
    std::string garbage(64 * 1024, '\0');
    for (char& c : garbage)
        c = static_cast<char>(random() & 0xff);
    std::string manyLines = "[DIRECTORY]\r\n";
    for (int i = 0; i < 100000; ++i)
        manyLines += "\\" + Unique("none") + "\\" + std::to_string(i) + "\r\n";
    const std::string longLine = "\\" + std::string(100 * 1024, 'a');
    const std::string lfOnly = "[DIRECTORY]\n\\\n\\windows\n[FILES]\n\\*.*\n";
    const std::string noBackslash = "[FILES]\r\n*.*\r\n[SYSTEMFILES]\r\n*\r\n[DIRECTORY]\r\n"
                                    "windows\r\nProgram Files\r\n..\r\n";
    struct Case {
        const char* name;
        std::string text;
        size_t notFoundLines;
    };
    const Case cases[] = {
        {"LF-only line ends", lfOnly, 1},
        {"100 000 lines", manyLines, 100000},
        {"a 100 KB line", longLine, 1},
        {"binary garbage", garbage, SIZE_MAX},
        {"entries without a leading backslash", noBackslash, SIZE_MAX},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        sink.removed.clear();
        sink.notFound.clear();
        RunFilterText(c.text);
        if (c.notFoundLines != SIZE_MAX) {
            EXPECT_EQ(sink.notFound.size(), c.notFoundLines);
        }
        for (const auto& line : sink.removed)
            EXPECT_EQ(line.rfind("#0030 (", 0), 0u) << line;
    }
    ExpectNothingChanged();
}

TEST_F(FsEngine, EntriesRunInFileOrderAcrossSections) {
    std::string text = "\\" + Unique("first.tmp") + "\r\n[DIRECTORY]\r\n\\" + Unique("dir") +
                       "\r\n\r\n[FILES]\r\n\\" + Unique("second.tmp") + "\r\n[files]\r\n";
    RunFilterText(text);
    EXPECT_EQ(sink.notFound, (std::vector<std::string>{
                                 Line("0016", win + "\\" + Unique("first.tmp")),
                                 Line("0018", drive + "\\" + Unique("dir")),
                                 Line("0016", win + "\\" + Unique("second.tmp")),
                                 Line("0016", win + "[files]"),
                             }));
    sink.notFound.clear();
    engine->ProcessFilter("");
    engine->ProcessFilter(prog / "no such working copy");
    EXPECT_TRUE(sink.notFound.empty());
}

TEST_F(FsEngine, FilterPassUnpacksRunsAndCleansUp) {
    std::string target = Make(win + "\\" + Unique("pass.tmp"));
    WriteFile(prog / (std::string(kFilter) + ".twf"),
              "HE0\r[FILES]\r\n\\" + Unique("pass.tmp") + "\r\n");
    WriteFile(prog / (std::string(kFilter) + ".twr"), "HKEY_NOWHERE\\x\r\n");
    engine->RunFilterPass();
    EXPECT_EQ(sink.removed, std::vector<std::string>{Line("0015", target)});
    EXPECT_FALSE(Exists(target));
    EXPECT_FALSE(Exists(ctx.WorkingCopy));
    EXPECT_FALSE(Exists(prog / (std::string(kFilter) + ".twr")));
    EXPECT_TRUE(Exists(prog / (std::string(kFilter) + ".twf")));
}

TEST_F(FsEngine, FilterThatCannotBeUnpackedRemovesNothing) {
    // A working copy left behind by an interrupted pass must not be carried out again.
    std::string target = Make(win + "\\" + Unique("stale.tmp"));
    WriteFile(ctx.WorkingCopy, "\\" + Unique("stale.tmp"));
    struct Case {
        const char* name;
        const char* content; // nullptr: no filter file at all
    };
    const Case cases[] = {{"missing filter", nullptr}, {"unknown method", "HE9\rdata"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        DeleteFileA((prog / (std::string(kFilter) + ".twf")).c_str());
        if (c.content)
            WriteFile(prog / (std::string(kFilter) + ".twf"), c.content);
        engine->RunFilterPass();
        EXPECT_TRUE(Exists(target));
        EXPECT_TRUE(sink.removed.empty());
        EXPECT_FALSE(Exists(ctx.WorkingCopy));
    }
}

TEST(FsFilterCatalogue, ListsVisibleFilterFilesByName) {
    Scratch prog("catalogue");
    WriteFile(prog / "NVIDIA.twf", "");
    WriteFile(prog / "ATI.Catalyst 5.twf", "");
    WriteFile(prog / "Hidden.twf", "");
    AddAttributes(prog / "Hidden.twf", FILE_ATTRIBUTE_HIDDEN);
    WriteFile(prog / "English.lng", "");
    MakeDir(prog / "Folder.twf");
    auto names = tw::FilterCatalogue(prog.Path());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"ATI.Catalyst 5", "NVIDIA"}));
    Scratch empty("catalogue_empty");
    EXPECT_TRUE(tw::FilterCatalogue(empty.Path()).empty());
}

} // namespace
