// Registry access, cleaning, search and backup. Every test finds the keys
// HKCU\Software\TracewipeTest and HKLM\Software\TracewipeTest empty, and a program folder
// with a blank in its name; all of it is gone at its end.
#include "registry/Registry.h"
#include "backup/BackupStore.h"
#include "backup/RegistryBackup.h"
#include "backup/rules/RestoreRules.h"
#include "clean/CleaningEngine.h"
#include "core/AppError.h"
#include "registry/cRegSearch.h"
#include "support/TestFiles.h"
#include "win/StartAndWait.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

using namespace twtest;

constexpr char kTestKey[] = "Software\\TracewipeTest";

// Every key and value name below root\path, one text each, in enumeration order.
std::vector<std::string> Snapshot(HKEY root, const std::string& path) {
    std::vector<std::string> out;
    tw::win::UniqueKey key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS)
        return out;
    const HKEY k = key.get();
    out.push_back("[" + path + "]");
    char name[16384];
    for (DWORD i = 0, len = sizeof name;
         RegEnumValueA(k, i, name, &len, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
         ++i, len = sizeof name)
        out.push_back(path + " value " + std::string(name, len));
    std::vector<std::string> subkeys;
    for (DWORD i = 0, len = sizeof name;
         RegEnumKeyExA(k, i, name, &len, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
         ++i, len = sizeof name)
        subkeys.emplace_back(name, len);
    for (const std::string& sub : subkeys)
        for (std::string& line : Snapshot(root, path + "\\" + sub))
            out.push_back(std::move(line));
    return out;
}

// A message-only window counting WM_APP + 1; its closing stops `search` as the cleaning
// windows stop theirs when they unload.
struct TestWindow {
    static inline tw::cRegSearch* search = nullptr;
    static inline int apps = 0, destroyed = 0;
    static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
        apps += m == WM_APP + 1;
        destroyed += m == WM_DESTROY;
        if (m == WM_DESTROY && search)
            search->StopSearch();
        return DefWindowProcA(h, m, w, l);
    }
    static HWND Make() {
        apps = destroyed = 0;
        WNDCLASSA wc{};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "TwTestWindow";
        RegisterClassA(&wc);
        return CreateWindowA(wc.lpszClassName, "", 0, 0, 0, 1, 1, HWND_MESSAGE, nullptr,
                             wc.hInstance, nullptr);
    }
};

// Takes the next message of this thread's queue: it must be WM_QUIT with `code`.
void ExpectQuitWaiting(WPARAM code) {
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(msg.wParam, code);
}

class RegistryFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
            DeleteKeyTree(root, kTestKey);
            ASSERT_TRUE(CreateKey(root, kTestKey));
        }
    }
    void TearDown() override {
        for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE})
            DeleteKeyTree(root, kTestKey);
    }
    Scratch program_{"reg test"};
    const std::string programFolder_ = program_.Path();
};

const HKEY kCU = HKEY_CURRENT_USER;
const HKEY kLM = HKEY_LOCAL_MACHINE;
const std::string kBase = std::string(kTestKey) + "\\Eng";
const std::string kCUBase = "HKEY_CURRENT_USER\\" + kBase;

struct Lines : tw::ReportSink {
    void Removed(const std::string& line) override { removed.push_back(line); }
    void NotFound(const std::string&) override {}
    std::vector<std::string> removed;
};

class EngineRegistry : public RegistryFixture {
  protected:
    void SetUp() override {
        RegistryFixture::SetUp();
        ctx_.ProgramFolder = programFolder_;
        ctx_.FilterName = "My Filter";
        ctx_.RunName = "05-12-2026_204600";
        ctx_.Sink = &lines_;
        ctx_.Text = [](std::string_view id) { return "T" + std::string(id); };
        ctx_.Settings.BackupReg = "No";
    }
    void BackupOn() {
        ctx_.Settings.BackupReg = "Yes";
        CreateDirectoryA((programFolder_ + "\\Backup").c_str(), nullptr);
        ASSERT_TRUE(CreateDirectoryA(RegFolder().c_str(), nullptr));
    }
    std::string RegFolder() const {
        return tw::RunFolderPath(ctx_.ProgramFolder, ctx_.RunName, ctx_.FilterName,
                                 tw::BackupKind::Reg);
    }
    std::vector<std::string> IndexLines() const {
        return tw::IndexLines(ReadAll(
            tw::IndexPath(ctx_.ProgramFolder, ctx_.RunName, ctx_.FilterName, tw::BackupKind::Reg)));
    }
    std::string FoundKeysFile() const { return programFolder_ + "\\My Filter.twr"; }

    tw::RunContext ctx_;
    tw::cRegSearch search_;
    Lines lines_;
    tw::CleaningEngine engine_{ctx_, search_};
};

// Hostile entries are refused and reported, garbage ones change nothing; nothing is exported.
TEST_F(EngineRegistry, HostileAndGarbageEntriesChangeNothing) {
    BackupOn();
    CreateKey(HKEY_CLASSES_ROOT, "CLSID\\{TwTestClass}");
    CreateKey(kCU, kBase + "\\Keep\\Child");
    SetString(kCU, kBase + "\\Keep", "", "default");
    SetString(kCU, kBase + "\\Keep", "Value", "x");
    const std::vector<std::string> before = Snapshot(kCU, kTestKey);
    // roots, hive keys, the folders of the system's own keys, in any spelling
    const std::string entries[] = {
        "HKEY_CURRENT_USER\\",
        "HKEY_LOCAL_MACHINE\\\\\\",
        "hkey_current_user\\software\\",
        "HKEY_CURRENT_USER\\Software\\Classes\\Interface",
        "HKEY_LOCAL_MACHINE\\Anything",
        "HKEY_LOCAL_MACHINE\\software\\classes",
        "HKEY_LOCAL_MACHINE\\SOFTWARE\\\\Microsoft",
        "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\",
        "HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services",
        "HKEY_LOCAL_MACHINE\\system\\controlset002\\control",
        "HKEY_LOCAL_MACHINE\\SYSTEM\\ControlSet001\\Enum\\PCI\\",
        "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Class\\"
        "{4d36e968-e325-11ce-bfc1-08002be10318}",
        "HKEY_CLASSES_ROOT\\CLSID",
        "HKEY_CLASSES_ROOT\\*",
        "HKEY_USERS\\.DEFAULT",
        "HKEY_USERS\\S-1-5-21-1_Classes\\CLSID",
        "HKEY_USERS\\S-1-5-21-1_Classes\\Directory\\shellex",
        "HKEY_CURRENT_CONFIG\\System",
        "HKEY_DYN_DATA\\\\",
    };
    std::vector<std::string> expected;
    for (const std::string& e : entries) {
        engine_.DeleteRegistryKey(e);
        expected.push_back("T0030 (" + e + ")");
    }
    EXPECT_EQ(lines_.removed, expected);
    EXPECT_TRUE(KeyExists(kLM, "SYSTEM\\CurrentControlSet\\Services"));
    EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, "CLSID\\{TwTestClass}"));
    DeleteKeyTree(HKEY_CLASSES_ROOT, "CLSID\\{TwTestClass}");
    EXPECT_EQ(ctx_.ExportCounter, 0);
    lines_.removed.clear();

    std::vector<std::string> garbage = {
        "HKEY_CURRENT_USER\\" + std::string(100000, 'A'),
        kCUBase + "\\Keep" + std::string(1, '\0') + "junk",
        kCUBase + "\\Keep\r",
        kCUBase + "\\Keep\\..",
        kCUBase + "\\Keep\\Child\\..\\..",
        "HKEY_CURRENT_USER,\\" + kBase + "\\Keep",
    };
    std::srand(7);
    for (int n = 0; n < 50; ++n) {
        std::string text(1 + std::rand() % 300, '\0');
        for (char& c : text)
            c = static_cast<char>(std::rand() % 256);
        garbage.push_back(text);
        garbage.push_back(kCUBase + "\\" + text);
    }
    for (const std::string& e : garbage) {
        engine_.DeleteRegistryKey(e);
        engine_.DeleteRegistryValue(e);
        engine_.DeleteRegistryValue(e + "\\Value");
    }
    engine_.StartRegistrySearch("HKEY_CURRENT_USER," + std::string(100000, 'Q'));
    engine_.StartRegistrySearch("HKEY_CURRENT_USER,Keep" + std::string(1, '\0'));
    engine_.StartRegistrySearch(garbage.back());
    EXPECT_EQ(Snapshot(kCU, kTestKey), before);
    EXPECT_TRUE(KeyExists(kCU, "Software\\Wine"));
    EXPECT_FALSE(Exists(FoundKeysFile()));
    // a key directly below the root is refused before anything is tried
    for (const std::string& line : lines_.removed)
        EXPECT_EQ(line.substr(0, 7), "T0030 (") << line.substr(0, 80);
    EXPECT_EQ(FolderNames(RegFolder()), std::vector<std::string>{});
}

TEST_F(EngineRegistry, ValueEntries) {
    for (const char* name : {"", "Named", "Other"})
        SetString(kCU, kBase + "\\K", name, "x");
    SetString(kCU, "", "TwRootValue", "on the root key");

    engine_.DeleteRegistryValue(kCUBase + "\\K\\Named");
    EXPECT_FALSE(ValueExists(kCU, kBase + "\\K", "Named"));
    EXPECT_TRUE(ValueExists(kCU, kBase + "\\K", ""));

    engine_.DeleteRegistryValue(kCUBase + "\\K\\");
    EXPECT_FALSE(ValueExists(kCU, kBase + "\\K", ""));
    EXPECT_TRUE(ValueExists(kCU, kBase + "\\K", "Other"));

    engine_.DeleteRegistryValue("HKEY_CURRENT_USER\\TwRootValue");
    engine_.DeleteRegistryValue("HKCU\\" + kBase + "\\K\\Other");
    engine_.DeleteRegistryValue("HKEY_CURRENT_USER");
    EXPECT_TRUE(ValueExists(kCU, "", "TwRootValue"));
    EXPECT_TRUE(ValueExists(kCU, kBase + "\\K", "Other"));
    RegDeleteValueA(kCU, "TwRootValue");
}

TEST_F(EngineRegistry, FailedExportKeepsTheKeyAndSaysSo) {
    // backup asked for, but the run folder is missing: the export cannot be written
    ctx_.Settings.BackupReg = "Yes";
    CreateKey(kCU, kBase + "\\NoBackupQz\\Child");
    engine_.DeleteRegistryKey(kCUBase + "\\NoBackupQz");
    EXPECT_TRUE(KeyExists(kCU, kBase + "\\NoBackupQz\\Child"));
    EXPECT_EQ(lines_.removed, std::vector<std::string>{"T0031 (" + kCUBase + "\\NoBackupQz)"});
    EXPECT_EQ(ctx_.ExportCounter, 1);
}

TEST_F(EngineRegistry, RootNameKeepsItsCaseInTheIndexAndClassesKeysBelowTheRoot) {
    BackupOn();
    CreateKey(kCU, kBase + "\\LowerQz");
    // siblings at every level: each goes, not every other one
    for (const char* sub : {"CurVer", "DefaultIcon", "Shell\\Open", "Shell\\Print", "Shell\\Zoom"})
        CreateKey(HKEY_CLASSES_ROOT, std::string("TwTestProgId.1\\") + sub);
    engine_.DeleteRegistryKey("hkey_current_user\\" + kBase + "\\LowerQz");
    engine_.DeleteRegistryKey("HKEY_CLASSES_ROOT\\TwTestProgId.1");
    EXPECT_EQ(IndexLines(),
              (std::vector<std::string>{"hkey_current_user\\" + kBase + "\\LowerQz, LowerQz1.dat",
                                        "HKEY_CLASSES_ROOT\\TwTestProgId.1, TwTestProgId.12.dat"}));
    EXPECT_TRUE(Exists(RegFolder() + "\\LowerQz1.dat"));
    const std::string data = ReadExportText(RegFolder() + "\\TwTestProgId.12.dat");
    EXPECT_NE(data.find("[HKEY_CLASSES_ROOT\\TwTestProgId.1\\CurVer]"), std::string::npos) << data;
    EXPECT_FALSE(KeyExists(kCU, kBase + "\\LowerQz"));
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, "TwTestProgId.1"));
}

TEST_F(EngineRegistry, SearchEntriesInARowGiveWhatEachGivesAlone) {
    BackupOn();
    const char* searches[] = {"HKEY_LOCAL_MACHINE,TwZq9", "HKEY_CURRENT_USER,Twq9X",
                              "HKEY_LOCAL_MACHINE,Twq9x", "HKLM,TwZq9", "HKEY_CURRENT_USER,TwZq9X"};
    // `between` follows each search entry; a value entry there makes each search run alone
    auto run = [&](const std::string& between) {
        for (HKEY root : {kLM, kCU})
            for (const char* key :
                 {"TwZq9X one\\aTwq9x three", "TwZq9 two\\TwZq9X four", "aTwq9x five"})
                CreateKey(root, kBase + "\\" + key);
        std::string text = "[REGISTRY.SEARCH]\r\n";
        for (const char* entry : searches)
            text += entry + std::string("\r\n") + between;
        engine_.ProcessFilterText(text);
        const std::vector<std::string> found = tw::IndexLines(ReadAll(FoundKeysFile()));
        engine_.DeleteFoundKeys(FoundKeysFile());
        auto outcome = std::make_tuple(found, IndexLines(), FolderNames(RegFolder()));
        RemoveTree(RegFolder());
        CreateDirectoryA(RegFolder().c_str(), nullptr);
        ctx_.ExportCounter = 0;
        return outcome;
    };
    // found keys, index lines, export files
    const auto alone = run("[REGISTRY.VALUE]\r\n" + kCUBase + "\\none\r\n[REGISTRY.SEARCH]\r\n");
    ASSERT_EQ(std::get<0>(alone).size(), 9u);
    EXPECT_EQ(run(""), alone);
    EXPECT_FALSE(KeyExists(kLM, kBase + "\\TwZq9 two"));
}

TEST_F(EngineRegistry, ProgramFilesFolderIsTheMachineKeysStringValue) {
    const char* path = "Software\\Microsoft\\Windows\\CurrentVersion";
    const std::string original = tw::GetProgramFilesDir();
    EXPECT_NE(original.find(":\\"), std::string::npos) << original;
    SetString(HKEY_LOCAL_MACHINE, path, "ProgramFilesDir", "D:\\Apps");
    EXPECT_EQ(tw::GetProgramFilesDir(), "D:\\Apps");
    // read as GetValue reads: strings only
    SetString(HKEY_LOCAL_MACHINE, path, "ProgramFilesDir", "%SystemDrive%\\Apps", REG_EXPAND_SZ);
    EXPECT_EQ(tw::GetProgramFilesDir(), "");
    SetString(HKEY_LOCAL_MACHINE, path, "ProgramFilesDir", original);
    EXPECT_EQ(tw::GetProgramFilesDir(), original);
}

using tw::cRegSearch;
constexpr char kCurrentUser[] = "&H80000001";

// A hit as the recorder keeps it: root|key|value, for a key below kBase.
std::string KeyHit(const std::string& key) {
    return "HKEY_CURRENT_USER|" + kBase + "\\" + key + "|*";
}

struct Recorder : cRegSearch::Events {
    void SearchFound(const std::string& r, const std::string& k, const std::string& v) override {
        hits.push_back(r + "|" + k + "|" + v);
        if (onHit)
            onHit();
    }
    void SearchFinished(long reason) override { finished.push_back(reason); }
    std::vector<std::string> hits;
    std::vector<long> finished;
    std::function<void()> onHit;
};

class Search : public RegistryFixture {
  protected:
    void SetUp() override {
        RegistryFixture::SetUp();
        search_.SetEvents(&rec_);
        search_.YieldInterval(0);
    }
    void Run(const std::string& text) {
        search_.RootKey(kCurrentUser);
        search_.SubKey(kBase);
        search_.SearchString(text);
        search_.SearchFlags(0);
        search_.DoSearch();
    }
    cRegSearch search_;
    Recorder rec_;
};

TEST_F(Search, KeyNamesContainingTheTextInAnyCaseParentsFirst) {
    for (const char* key : {"Radiation\\Inner ati", "Radiation\\Plain", "Other\\Deep\\xATIx", "AT"})
        CreateKey(kCU, kBase + "\\" + key);
    SetString(kCU, kBase + "\\Other", "ATI value name", "ATI data");
    Run("ATI");
    EXPECT_EQ(rec_.hits,
              (std::vector<std::string>{KeyHit("Other\\Deep\\xATIx"), KeyHit("Radiation"),
                                        KeyHit("Radiation\\Inner ati")}));
    EXPECT_EQ(rec_.finished, std::vector<long>{0});
}

TEST_F(Search, AnErrorInTheHandlerEndsTheSearchWithItsNumber) {
    CreateKey(kCU, kBase + "\\Ati1\\Ati2");
    CreateKey(kCU, kBase + "\\Ati3");
    rec_.onHit = [] { throw tw::AppError(1234, "handler", "broken"); };
    Run("Ati");
    EXPECT_EQ(rec_.hits.size(), 1u);
    EXPECT_EQ(rec_.finished, std::vector<long>{1234});

    // the reason is reset: the next search runs whole, past a WM_QUIT met while it yields,
    // which is posted again
    rec_.onHit = nullptr;
    rec_.hits.clear();
    PostQuitMessage(7);
    Run("Ati");
    EXPECT_EQ(rec_.hits.size(), 3u);
    EXPECT_EQ(rec_.finished.back(), 0);
    ExpectQuitWaiting(7);
}

// Closing the window while searches share a walk stops the walk for every entry of the
// group; the next group walks whole again.
TEST_F(Search, ClosingTheWindowDuringASharedWalkStopsIt) {
    // the start key's own loop finishes its direct subkeys; nothing below them is visited
    CreateKey(kCU, kBase + "\\Ati A\\Ati Deep");
    CreateKey(kCU, kBase + "\\Ati B\\Ati Deeper");
    auto run = [&] {
        search_.SubKey(kBase);
        search_.DoSearches({{kCurrentUser, "Ati"}, {kCurrentUser, "Deep"}});
    };
    TestWindow::search = &search_;
    HWND hwnd = TestWindow::Make();
    ASSERT_TRUE(hwnd);
    PostMessageA(hwnd, WM_CLOSE, 0, 0);
    run();
    TestWindow::search = nullptr;
    EXPECT_EQ(TestWindow::destroyed, 1);
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(rec_.hits, (std::vector<std::string>{KeyHit("Ati A"), KeyHit("Ati B")}));
    EXPECT_EQ(rec_.finished, (std::vector<long>{1, 1}));

    rec_.hits.clear();
    run();
    EXPECT_EQ(rec_.hits.size(), 6u);
    EXPECT_EQ(rec_.finished.back(), 0);
}

using tw::RegistryBackupResult;

class StartAndWaitTest : public RegistryFixture {};

// The program's exit code, messages dispatched while it runs, a WM_QUIT met on the way
// kept for the outer loop, and error 53 for a program that cannot start.
TEST_F(StartAndWaitTest, WaitsServingMessagesAndKeepsAQuit) {
    HWND w = TestWindow::Make();
    ASSERT_TRUE(w);
    PostMessageA(w, WM_APP + 1, 0, 0);
    PostQuitMessage(4);
    const std::string out = programFolder_ + "\\out put.txt";
    EXPECT_EQ(tw::StartAndWait("cmd.exe /c echo done>\"" + out + "\"", 0), 0u);
    EXPECT_EQ(ReadAll(out).substr(0, 4), "done");
    EXPECT_EQ(TestWindow::apps, 1);
    ExpectQuitWaiting(4);
    DestroyWindow(w);
    EXPECT_EQ(tw::StartAndWait("cmd.exe /c exit 3", 0), 3u);
    try {
        tw::StartAndWait("tw-no-such-program.exe", 0);
        ADD_FAILURE() << "no error for a program that cannot start";
    } catch (const tw::AppError& e) {
        EXPECT_EQ(e.number(), 53);
    }
}

class RegistryBackup : public RegistryFixture {};

// What an earlier run with the same run name may have left: held open without sharing, the
// registry tool cannot replace it.
TEST_F(RegistryBackup, AStaleFileOfTheSameNameIsNoExport) {
    const std::string folder = tw::RunFolderPath(programFolder_, "R", "F", tw::BackupKind::Reg);
    MakeFiles(programFolder_,
              {"Backup\\R_F_RegBackup\\K1.dat=old", "Backup\\R_F_RegBackup\\K2.dat=old"});
    CreateKey(kCU, kBase + "\\K");
    auto backup = [&](const std::string& counter) {
        return tw::BackupRegistryKey(counter, "F", "R", kBase + "\\K", "HKEY_CURRENT_USER", kCU,
                                     programFolder_);
    };
    const std::string stale = folder + "\\K1.dat", writable = folder + "\\K2.dat";
    HANDLE held = CreateFileA(stale.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_EQ(backup("1"), RegistryBackupResult::ExportFailed);
    CloseHandle(held);
    EXPECT_EQ(ReadAll(stale), "old");
    EXPECT_EQ(backup("2"), RegistryBackupResult::Exported);
    EXPECT_NE(ReadExportText(writable).find("[HKEY_CURRENT_USER"), std::string::npos);
}

} // namespace
