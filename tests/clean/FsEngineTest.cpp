#include "backup/BackupStore.h"
#include "backup/FileBackup.h"
#include "backup/Restore.h"
#include "clean/CleaningEngine.h"
#include "clean/Preview.h"
#include "clean/rules/FileRules.h"
#include "decode/Encoder.h"
#include "registry/Registry.h"
#include "registry/cRegSearch.h"
#include "support/TestFiles.h"
#include "win/Handle.h"
#include "win/PendingDelete.h"
#include "win/StartAndWait.h"
#include "win/SystemFolders.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <random>

namespace {

using namespace twtest;
using namespace std::literals;

constexpr const char* kRun = "05-12-2026_101010";
constexpr const char* kFilter = "Test Filter";

struct RecordingSink : tw::ReportSink {
    void Removed(const std::string& line) override { removed.push_back(line); }
    void NotFound(const std::string& line) override { notFound.push_back(line); }
    std::vector<std::string> removed;
    std::vector<std::string> notFound;
};

// Texts are their ids, so every line shows which id it was made from.
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
        ctx.Text = [](std::string_view id) { return "#" + std::string(id); };
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
        MakeFiles(path, {"sub\\inner.dll", "ro.txt"});
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
    // One entry of a section (F files, S system files, D directory), into an empty sink.
    void Clean(char section, const std::string& entry) {
        sink = {};
        section == 'F'   ? engine->CleanFile(entry)
        : section == 'S' ? engine->CleanSystemFile(entry)
                         : engine->CleanDirectory(entry);
    }
    // Puts back every line of the run of that kind: how many, or -1 when one failed.
    int RestoreAll(tw::BackupKind kind) {
        const std::string run = tw::RunFolderName(kRun, kFilter, kind);
        EXPECT_EQ(tw::ListRuns(prog.Path(), {kind}), std::vector<std::string>{run});
        const auto lines = tw::LoadIndex(prog.Path(), run, kind);
        const std::vector<bool> all(lines.size(), true);
        return tw::RestoreRun(prog.Path(), run, kind, lines, all).empty() ? int(lines.size()) : -1;
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
    std::string hidden = Make(win + "\\" + Unique("hidden.tmp"), FILE_ATTRIBUTE_HIDDEN);
    std::string system = Make(sys + "\\" + Unique("system.tmp"), FILE_ATTRIBUTE_SYSTEM);
    std::string plain = Make(win + "\\" + Unique("plain.tmp"));
    // a file entry that names a folder: the files in it are not the entry's
    const std::string folder = Unique("folder");
    const std::string inWin = Make(MakeTree(win + "\\" + folder) + "\\plain.dll");
    const std::string inSys = Make(MakeTree(sys + "\\" + folder) + "\\plain.dll");
    const struct {
        char section;
        std::string entry;
        std::string path;
    } cases[] = {
        {'F', "\\" + Unique("missing*.tmp"), win + "\\" + Unique("missing*.tmp")},
        {'F', "\\" + Unique("hidden.tmp"), hidden},
        {'S', "\\" + Unique("system.tmp"), system},
        {'F', Unique("plain.tmp"), win + Unique("plain.tmp")}, // no leading "\"
        {'S', "\\" + Unique("plain.tmp"), sys + "\\" + Unique("plain.tmp")},
        {'F', "\\" + folder + "\\", win + "\\" + folder + "\\"},
        {'F', "\\" + folder, win + "\\" + folder},
        {'S', "\\" + folder + "\\", sys + "\\" + folder + "\\"},
        {'S', "\\" + folder, sys + "\\" + folder},
    };
    for (const char* backup : {"Yes", "No"}) {
        BackupsOn(backup, "No");
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(backup) + " " + c.section + " " + c.entry);
            Clean(c.section, c.entry);
            EXPECT_EQ(sink.notFound, std::vector<std::string>{Line("0016", c.path)});
            EXPECT_TRUE(sink.removed.empty());
        }
    }
    for (const std::string& kept : {hidden, system, plain, inWin, inSys})
        EXPECT_TRUE(Exists(kept)) << kept;
    EXPECT_EQ(FolderNames(Fb()), std::vector<std::string>{});
}

TEST_F(FsEngine, ReadOnlyFileIsBackedUpAndListedButStays) {
    BackupsOn("Yes", "No");
    std::string ro = Make(sys + "\\" + Unique("ro.dll"), FILE_ATTRIBUTE_READONLY);
    engine->CleanSystemFile("\\" + Unique("ro.dll"));
    EXPECT_EQ(sink.removed, std::vector<std::string>{Line("0015", ro)});
    EXPECT_TRUE(Exists(ro));
    EXPECT_EQ(ReadAll(Fb() + "\\System\\" + Unique("ro.dll")), ro);
    EXPECT_EQ(ReadAll(tw::IndexPath(prog.Path(), kRun, kFilter, tw::BackupKind::File)),
              "\\System\\" + Unique("ro.dll") + ", " + sys + "\r\n");
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
        for (size_t i = 0; i < watched.size(); ++i)
            EXPECT_EQ(FolderNames(watched[i]), before[i]) << watched[i];
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
    const struct {
        char section; // F files, S system files, D directory
        std::string entry;
        std::string path;
        bool mayBeUnseen = false; // the platform may not list it at all
    } cases[] = {
        {'F', "\\*.*", win + "\\*.*"},
        {'F', "\\", win + "\\", true},
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
        {'D', ShortName(pf).substr(2), ShortName(pf)}, // a short name hides no protected folder
        {'D', "\\Program Files\\..\\windows", pf + "\\..\\windows"},
        {'D', "\\W*", drive + "\\W*"},
        {'D', tempRel, drive + tempRel},
        {'D', programRel, prog.Path()},
        {'D', programRel + "\\Backup", prog / "Backup"},
        {'D', programRel + "\\Backup\\..\\..", prog / "Backup\\..\\.."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(1, c.section) + " " + c.entry);
        Clean(c.section, c.entry);
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

TEST_F(FsHostile, BadFilterTextsChangeNothing) {
    std::mt19937 random(20261205);
    std::string garbage(64 * 1024, '\0');
    std::generate(garbage.begin(), garbage.end(), [&] { return static_cast<char>(random()); });
    std::string manyLines = "[DIRECTORY]\r\n";
    for (int i = 0; i < 100000; ++i)
        manyLines += "\\" + Unique("none") + "\\" + std::to_string(i) + "\r\n";
    const std::string noBackslash = "[FILES]\r\n*.*\r\n[SYSTEMFILES]\r\n*\r\n[DIRECTORY]\r\n"
                                    "windows\r\nProgram Files\r\n..\r\n";
    const struct {
        const char* name;
        std::string text;
        size_t notFoundLines;
    } cases[] = {
        {"LF-only line ends", "[DIRECTORY]\n\\\n\\windows\n[FILES]\n\\*.*\n", 1},
        {"100 000 lines", manyLines, 100000},
        {"a 100 KB line", "\\" + std::string(100 * 1024, 'a'), 1},
        {"binary garbage", garbage, SIZE_MAX},
        {"entries without a leading backslash", noBackslash, SIZE_MAX},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        sink = {};
        engine->ProcessFilterText(c.text);
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
    const struct {
        const char* name;
        const char* content; // nullptr: no filter file at all
    } cases[] = {{"missing filter", nullptr}, {"unknown method", "HE9\rdata"}};
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

// Packages in this prefix's Inf folder; the first two match the filter, with their .pnf and
// catalog. How an .inf is read and matched: the InfFile tests.
class PackageEngine : public FsEngine {
  protected:
    void SetUp() override {
        FsEngine::SetUp();
        BackupsOn("Yes", "No");
        const std::string inf = win + "\\Inf\\";
        const std::string cat = sys + "\\Catroot\\{F750E6C3-38EE-11D1-85E5-00C04FC295EE}\\";
        MakeFiles(sys, {cat.substr(sys.size() + 1)});
        const std::string version = "[Version]\r\nClass=Display\r\n";
        // the provider through [Strings], the catalog named in the .inf
        Seed(inf + "oem7101.inf",
             version + "Provider=%ACME%\r\nCatalogFile=acmedisp.cat\r\n[Strings]\r\n"
                       "ACME=\"Acme Graphics, Inc.\"\r\n",
             true);
        Seed(inf + "oem7101.pnf", "pnf 7101\x01\x02", true);
        Seed(cat + "acmedisp.cat", "catalog 7101", true);
        // the catalog under the name of the installed .inf
        Seed(inf + "oem7102.inf", "[Version]\nClass=MEDIA\nProvider=\"Acme Graphics, Inc.\"\n",
             true);
        Seed(inf + "oem7102.pnf", "pnf 7102", true);
        Seed(cat + "oem7102.cat", "catalog 7102", true);
        // the provider in a class the filter does not name; a package Windows did not install
        Seed(inf + "oem7104.inf",
             "[Version]\r\nClass=System\r\nProvider=\"Acme Graphics, Inc.\"\r\n"
             "CatalogFile=acmechip.cat\r\n",
             false);
        Seed(cat + "acmechip.cat", "catalog 7104", false);
        Seed(inf + "acme7106.inf", version + "Provider=Acme Graphics, Inc.\r\n", false);

        const std::string filter = "[DRIVERPACKAGES]\r\nDisplay|Acme Graphics, Inc.\r\n"
                                   "MEDIA|Acme Graphics, Inc.\r\nDisplay|Nobody\r\n";
        const auto packed =
            tw::EncodeStored({reinterpret_cast<const std::uint8_t*>(filter.data()), filter.size()});
        WriteAll(prog / (std::string(kFilter) + ".twf"), std::string(packed.begin(), packed.end()));
    }
    void TearDown() override {
        FsEngine::TearDown();
        RemoveDirectoryA((win + "\\Inf\\Other").c_str()); // when this test made it
    }
    void Seed(const std::string& path, const std::string& content, bool goes) {
        WriteAll(path, content);
        made.push_back(path);
        seeded[path] = content;
        if (goes)
            going.push_back(path);
    }

    std::map<std::string, std::string> seeded;
    std::vector<std::string> going;
};

TEST_F(PackageEngine, MatchingPackagesGoWithTheirFilesAndTheRestoreBringsThemBack) {
    // the preview names each matching package with its provider, class and files
    const tw::PreviewResult preview = tw::PreviewFilter(prog.Path(), kFilter, search);
    std::vector<std::string> packages, files;
    for (const auto& entry : preview.Entries)
        for (const auto& item : entry.Items)
            if (item.What == tw::PreviewItem::Kind::Package)
                packages.push_back(item.Path + " " + item.Detail + " " +
                                   std::to_string(item.Files));
            else
                files.push_back(item.Path);
    EXPECT_EQ(packages,
              (std::vector<std::string>{win + "\\Inf\\oem7101.inf Acme Graphics, Inc., Display 3",
                                        win + "\\Inf\\oem7102.inf Acme Graphics, Inc., MEDIA 3"}));
    EXPECT_EQ(files, going);

    engine->RunFilterPass();
    engine.reset();
    std::vector<std::string> removed;
    for (const std::string& path : going)
        removed.push_back(Line("0015", path));
    EXPECT_EQ(sink.removed, removed);
    EXPECT_EQ(sink.notFound, std::vector<std::string>{Line("2131", "Display|Nobody")});
    for (const auto& [path, content] : seeded) {
        const bool goes = std::find(going.begin(), going.end(), path) != going.end();
        EXPECT_EQ(Exists(path), !goes) << path;
    }

    EXPECT_EQ(RestoreAll(tw::BackupKind::File), int(going.size()));
    for (const auto& [path, content] : seeded)
        EXPECT_EQ(ReadAll(path), content) << path;
}

// Windows 95, 98 and Me keep a package as an .inf of Inf\Other, without .pnf or catalog.
TEST_F(PackageEngine, OnNineXThePackagesAreTheInfFilesOfInfOther) {
    const std::string other = win + "\\Inf\\Other\\";
    MakeDir(other);
    going.clear();
    const std::string acme = "[Version]\r\nClass=Display\r\nProvider=\"Acme Graphics, Inc.\"\r\n";
    Seed(other + "Acme Graphics, Inc.acme.inf", acme, true);
    Seed(other + "Acme Graphics, Inc.acme.pnf", "pnf", false);
    Seed(other + "oem7108.inf", "[Version]\r\nClass=Display\r\nProvider=Other Vendor\r\n", false);
    const auto packages = tw::FindDriverPackages({"Display", "Acme Graphics, Inc."}, true);
    ASSERT_EQ(packages.size(), 1u);
    EXPECT_FALSE(packages[0].Installed);
    std::vector<std::string> files;
    for (const tw::PackageFile& file : packages[0].Files)
        files.push_back(file.FullPath());
    EXPECT_EQ(files, going);
}

} // namespace

// Files in use go at the next restart: held open as a running program's image is (read
// sharing only); Wine's "wineboot -r" does what the restart would.
class FsInUse : public FsEngine {
  protected:
    void SetUp() override {
        FsEngine::SetUp();
        BackupsOn("Yes", "Yes");
        file = Make(win + "\\" + Unique("held long name.dll"));
        dir = MakeTree(pf + "\\" + Unique("inuse"));
        inner = dir + "\\sub\\inner.dll";
        filter = "[FILES]\r\n\\" + Unique("held*.dll") + "\r\n[DIRECTORY]\r\n\\Program Files\\" +
                 Unique("inuse") + "\r\n";
        heldFile = Hold(file);
        heldInner = Hold(inner);
    }
    void TearDown() override {
        heldFile.reset();
        heldInner.reset();
        FsEngine::TearDown();
    }
    static tw::win::UniqueFileHandle Hold(const std::string& path) {
        return tw::win::UniqueFileHandle(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ,
                                                     nullptr, OPEN_EXISTING, 0, nullptr));
    }
    void Restart() {
        heldFile.reset();
        heldInner.reset();
        ASSERT_EQ(tw::StartAndWait("wineboot.exe -r", 0), 0u);
        EXPECT_FALSE(Exists(file));
        EXPECT_EQ(ReadAll(inner), "inner.dll"); // restored: no longer pending
        EXPECT_TRUE(Exists(dir + "\\ro.txt"));
    }
    std::string file, dir, inner, filter;
    tw::win::UniqueFileHandle heldFile, heldInner;
};

constexpr const wchar_t* kSessionManager = L"SYSTEM\\CurrentControlSet\\Control\\Session Manager";
constexpr const wchar_t* kPending = L"PendingFileRenameOperations";

// PendingFileRenameOperations as it is stored; empty when there is none.
std::wstring PendingList() {
    std::wstring data(4096, L'\0');
    DWORD size = static_cast<DWORD>(data.size() * sizeof(wchar_t));
    if (RegGetValueW(HKEY_LOCAL_MACHINE, kSessionManager, kPending, RRF_RT_REG_MULTI_SZ, nullptr,
                     data.data(), &size))
        return {};
    data.resize(size / sizeof(wchar_t));
    return data;
}

// The entry that removes `path`.
std::wstring Removal(const std::string& path) {
    return L"\\??\\" + std::wstring(path.begin(), path.end()) + L'\0' + L'\0';
}

TEST_F(FsInUse, FilesInUseGoAtTheRestartARestoredFolderStays) {
    if (!tw::PendingDeleteUsesRegistry())
        GTEST_SKIP() << "the NT family only";
    // Another program's removal and rename, with a name outside any code page.
    const std::wstring foreign =
        L"\\??\\C:\\elsewhere\\x\u4e2d.tmp\0\0\\??\\C:\\a.txt\0!\\??\\C:\\b.txt\0"s;
    ASSERT_EQ(RegSetKeyValueW(HKEY_LOCAL_MACHINE, kSessionManager, kPending, REG_MULTI_SZ,
                              foreign.c_str(), DWORD((foreign.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
    const std::string second = Make(win + "\\" + Unique("held2.dll"));
    tw::win::UniqueFileHandle heldSecond = Hold(second);
    engine->ProcessFilterText(filter);
    std::vector<std::string> lines = sink.removed;
    std::sort(lines.begin(), lines.begin() + 2); // the two files, in the order listed
    const std::vector<std::string> want = {Line("0033", file), Line("0033", second),
                                           Line("0033", inner), Line("0033", dir + "\\sub"),
                                           Line("0033", dir)};
    EXPECT_EQ(lines, want);
    EXPECT_EQ(ctx.Scheduled.size(), 5u);
    EXPECT_FALSE(Exists(dir + "\\ro.txt"));
    EXPECT_EQ(ReadAll(Fb() + "\\Windows\\" + Unique("held long name.dll")), file); // backed up
    std::wstring list = PendingList();
    EXPECT_EQ(list.substr(0, foreign.size()), foreign);
    for (const std::string& path : {file, second, inner, dir + "\\sub", dir})
        EXPECT_NE(list.find(Removal(path)), std::wstring::npos) << path;

    heldInner.reset();
    EXPECT_EQ(RestoreAll(tw::BackupKind::Dir), 1);
    // A second run that finds a scheduled file gone takes its removal out.
    heldSecond.reset();
    ASSERT_TRUE(DeleteFileA(second.c_str()));
    sink.removed.clear();
    engine->CleanFile("\\" + Unique("held*.dll"));
    EXPECT_EQ(sink.removed, std::vector<std::string>{Line("0033", file)});
    list = PendingList();
    EXPECT_EQ(list, foreign + Removal(file) + L'\0');
    Restart();
}

// 95, 98 and ME: WININIT.INI. Wine pretends Windows 98 for a second run of this test.
TEST_F(FsInUse, Windows9xRemovesThroughWininit) {
    if (tw::PendingDeleteUsesRegistry()) {
        heldFile.reset();
        heldInner.reset();
        char buffer[MAX_PATH];
        const std::string exe(buffer, GetModuleFileNameA(nullptr, buffer, MAX_PATH));
        const std::string key = "Software\\Wine\\AppDefaults\\" + exe.substr(exe.rfind('\\') + 1);
        ASSERT_TRUE(SetString(HKEY_CURRENT_USER, key, "Version", "win98"));
        const auto rc = tw::StartAndWait(
            "\"" + exe + "\" --gtest_filter=FsInUse.Windows9xRemovesThroughWininit", 0);
        DeleteKeyTree(HKEY_CURRENT_USER, key);
        EXPECT_EQ(rc, 0u);
        return;
    }
    const std::string wininit = win + "\\WININIT.INI";
    const std::string foreign = "[rename]\r\nNUL=C:\\FOREIGN\\X.TMP\r\nC:\\A.TXT=C:\\B.TXT\r\n";
    WriteAll(wininit, foreign + "\r\n[Other]\r\nkey=value");
    const std::wstring registry = PendingList();
    engine->ProcessFilterText(filter);
    // WININIT.INI removes no folders: the folder stays, emptied by the restart.
    EXPECT_EQ(sink.removed, (std::vector<std::string>{Line("0033", file), Line("0017", dir),
                                                      Line("0033", inner)}));
    EXPECT_EQ(ReadAll(wininit), foreign + "NUL=" + ShortName(file) + "\r\nNUL=" + ShortName(inner) +
                                    "\r\n\r\n[Other]\r\nkey=value");
    heldInner.reset();
    EXPECT_EQ(RestoreAll(tw::BackupKind::Dir), 1);
    EXPECT_EQ(ReadAll(wininit),
              foreign + "NUL=" + ShortName(file) + "\r\n\r\n[Other]\r\nkey=value");
    EXPECT_EQ(PendingList(), registry);
    Restart();
}
