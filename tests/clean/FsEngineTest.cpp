#include "backup/BackupStore.h"
#include "backup/FileBackup.h"
#include "clean/CleaningEngine.h"
#include "clean/FilterCatalogue.h"
#include "clean/rules/FileRules.h"
#include "registry/cRegSearch.h"
#include "support/TestFiles.h"
#include "win/SystemFolders.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>

namespace {

using namespace twtest;

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
        WriteAll(path, path);
        if (attributes)
            AddAttributes(path, attributes);
        made.push_back(path);
        return path;
    }
    std::string MakeTree(const std::string& path) {
        MakeDir(path);
        made.push_back(path);
        MakeDir(path + "\\sub");
        WriteAll(path + "\\sub\\inner.dll", "inner");
        WriteAll(path + "\\ro.txt", "ro");
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
        return ReadAll(tw::IndexPath(prog.Path(), kRun, kFilter, tw::BackupKind::File));
    }
    std::string DirIndex() const {
        return ReadAll(tw::IndexPath(prog.Path(), kRun, kFilter, tw::BackupKind::Dir));
    }
    void RunFilterText(const std::string& text) {
        WriteAll(ctx.WorkingCopy, text);
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
    EXPECT_EQ(ReadAll(Fb() + "\\System\\" + Unique("ro.dll")), ro);
    EXPECT_EQ(FileIndex(), "\\System\\" + Unique("ro.dll") + ", " + sys + "\r\n");
}

TEST_F(FsEngine, FailedBackupKeepsTheItem) {
    // Backups asked for, but the run folders were never made.
    ctx.Settings.BackupFiles = "Yes";
    ctx.Settings.BackupDir = "Yes";
    MakeDir(prog / "Backup");
    WriteAll(Db(), "a plain file where the run folder belongs");
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
            before.push_back(FolderNames(w));
    }
    void ExpectNothingChanged() {
        for (size_t i = 0; i < watched.size(); ++i) {
            SCOPED_TRACE(watched[i]);
            EXPECT_EQ(FolderNames(watched[i]), before[i]);
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
        {'F', "\\system32\\*.*", win + "\\system32\\*.*"},
        {'F', "\\.\\*.ini", win + "\\.\\*.ini"},
        {'F', "\\..\\" + Unique("onroot.tmp"), win + "\\..\\" + Unique("onroot.tmp")},
        {'S', "\\*.dll", sys + "\\*.dll"},
        {'S', "\\..\\..\\" + Unique("onroot.tmp"), sys + "\\..\\..\\" + Unique("onroot.tmp")},
        {'F', "\\system32", win + "\\system32", true},
        {'D', "\\..\\..", drive + "\\..\\..", true},
        {'D', "\\", drive + "\\"},
        {'D', "\\windows\\system32\\..\\", drive + "\\windows\\system32\\..\\"},
        {'D', "/windows//system32", drive + "/windows//system32", true},
        {'D', "\\windows. \\.\\system32", drive + "\\windows. \\.\\system32", true},
        {'D', "\\WINDOWS.", drive + "\\WINDOWS."},
        {'D', "\\Program Files", pf},
        {'D', "\\Program Files\\..\\windows", pf + "\\..\\windows"},
        {'D', "\\W*", drive + "\\W*"},
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

TEST_F(FsEngine, FilterThatCannotBeUnpackedRemovesNothing) {
    // A working copy left behind by an interrupted pass must not be carried out again.
    std::string target = Make(win + "\\" + Unique("stale.tmp"));
    WriteAll(ctx.WorkingCopy, "\\" + Unique("stale.tmp"));
    struct Case {
        const char* name;
        const char* content; // nullptr: no filter file at all
    };
    const Case cases[] = {{"missing filter", nullptr}, {"unknown method", "HE9\rdata"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        DeleteFileA((prog / (std::string(kFilter) + ".twf")).c_str());
        if (c.content)
            WriteAll(prog / (std::string(kFilter) + ".twf"), c.content);
        engine->RunFilterPass();
        EXPECT_TRUE(Exists(target));
        EXPECT_TRUE(sink.removed.empty());
        EXPECT_FALSE(Exists(ctx.WorkingCopy));
    }
}

} // namespace
