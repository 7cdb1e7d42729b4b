#include "RegTestUtil.h"
#include "backup/BackupStore.h"
#include "backup/rules/RestoreRules.h"
#include "clean/CleaningEngine.h"
#include "core/TextFile.h"
#include "registry/Registry.h"
#include "registry/cRegSearch.h"

#include <cstdlib>

namespace {

using namespace regtest;

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
    SetString(kCU, kBase + "\\K", "", "default");
    SetString(kCU, kBase + "\\K", "Named", "x");
    SetString(kCU, kBase + "\\K", "Other", "y");
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
        for (HKEY root : {kLM, kCU}) {
            CreateKey(root, kBase + "\\TwZq9X one\\aTwq9x three");
            CreateKey(root, kBase + "\\TwZq9 two\\TwZq9X four");
            CreateKey(root, kBase + "\\aTwq9x five");
        }
        std::string text = "[REGISTRY.SEARCH]\r\n";
        for (const char* entry : searches)
            text += entry + std::string("\r\n") + between;
        const std::string copy = programFolder_ + "\\cdtwf.dll";
        EXPECT_TRUE(tw::AppendTextLine(copy.c_str(), text));
        engine_.ProcessFilter(copy);
        DeleteFileA(copy.c_str());
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

} // namespace
