#include "RegTestUtil.h"
#include "backup/BackupStore.h"
#include "clean/CleaningEngine.h"
#include "core/TextFile.h"
#include "registry/cRegSearch.h"

#include <cstdlib>
#include <memory>

namespace {

using namespace regtest;

const HKEY kCU = HKEY_CURRENT_USER;
const HKEY kLM = HKEY_LOCAL_MACHINE;
const std::string kBase = std::string(kTestKey) + "\\Eng";
const std::string kCUBase = "HKEY_CURRENT_USER\\" + kBase;
const std::string kLMBase = "HKEY_LOCAL_MACHINE\\" + kBase;

class Lines : public tw::ReportSink {
  public:
    void Removed(const std::string& line) override { removed.push_back(line); }
    void NotFound(const std::string& line) override { notFound.push_back(line); }
    std::vector<std::string> removed, notFound;
};

std::string FakeText(std::string_view id) {
    return "T" + std::string(id);
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find("\r\n", start);
        if (end == std::string::npos)
            end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

class EngineRegistry : public RegistryFixture {
  protected:
    void SetUp() override {
        RegistryFixture::SetUp();
        ctx_.ProgramFolder = programFolder_;
        ctx_.FilterName = "My Filter";
        ctx_.RunName = "05-12-2026_204600";
        ctx_.Sink = &lines_;
        ctx_.Text = FakeText;
        ctx_.Settings.BackupReg = "No";
        engine_ = std::make_unique<tw::CleaningEngine>(ctx_, search_);
    }
    void TearDown() override {
        engine_.reset();
        RegistryFixture::TearDown();
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
        return SplitLines(ReadWholeFile(
            tw::IndexPath(ctx_.ProgramFolder, ctx_.RunName, ctx_.FilterName, tw::BackupKind::Reg)));
    }
    std::string FoundKeysFile() const { return programFolder_ + "\\My Filter.twr"; }
    std::vector<std::string> FoundKeys() const {
        return SplitLines(ReadWholeFile(FoundKeysFile()));
    }

    tw::RunContext ctx_;
    tw::cRegSearch search_;
    Lines lines_;
    std::unique_ptr<tw::CleaningEngine> engine_;
};

TEST_F(EngineRegistry, KeyEntryDeletesTheKeyWithEverythingBelowIt) {
    CreateKey(kCU, kBase + "\\ATI Technologies\\CDS\\0000");
    SetString(kCU, kBase + "\\ATI Technologies", "v", "x");
    CreateKey(kCU, kBase + "\\ATI Technologies2");
    engine_->DeleteRegistryKey(kCUBase + "\\ATI Technologies");
    EXPECT_FALSE(KeyExists(kCU, kBase + "\\ATI Technologies"));
    EXPECT_TRUE(KeyExists(kCU, kBase + "\\ATI Technologies2"));
    EXPECT_TRUE(lines_.removed.empty());
    EXPECT_TRUE(lines_.notFound.empty());
    EXPECT_EQ(ctx_.ExportCounter, 0);
}

TEST_F(EngineRegistry, KeyEntriesThatNameNothingDeleteNothing) {
    CreateKey(kCU, kBase + "\\Keep\\Child");
    const std::string entries[] = {
        "HKCU\\" + kBase + "\\Keep",
        "HKEY_CURRENT_USER" + kBase + "Keep",
        "\\" + kBase + "\\Keep",
        "HKEY_CURRENT_USER\\" + kBase + "\\Keep\\Missing",
        "",
    };
    for (const std::string& e : entries) {
        SCOPED_TRACE(e);
        engine_->DeleteRegistryKey(e);
        EXPECT_TRUE(KeyExists(kCU, kBase + "\\Keep\\Child"));
    }
    engine_->DeleteRegistryKey("hkey_current_user\\" + kBase + "\\Keep");
    EXPECT_FALSE(KeyExists(kCU, kBase + "\\Keep"));
}

TEST_F(EngineRegistry, HostileKeyEntriesAreRefusedAndReported) {
    BackupOn();
    CreateKey(kCU, kBase);
    CreateKey(HKEY_CLASSES_ROOT, "CLSID\\{TwTestClass}");
    const std::string entries[] = {
        "HKEY_CURRENT_USER\\",
        "HKEY_CURRENT_USER\\\\",
        "HKEY_CURRENT_USER\\Software",
        "hkey_current_user\\software\\",
        "HKEY_CURRENT_USER\\Software\\Microsoft",
        "HKEY_LOCAL_MACHINE\\SOFTWARE",
        "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows",
        "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet",
        "HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services",
        "HKEY_LOCAL_MACHINE\\SYSTEM\\ControlSet001\\Control",
        "HKEY_USERS\\.DEFAULT",
        "HKEY_CLASSES_ROOT\\CLSID",
        "HKEY_CLASSES_ROOT\\*",
        "HKEY_CURRENT_CONFIG\\Software",
    };
    std::vector<std::string> expected;
    for (const std::string& e : entries) {
        engine_->DeleteRegistryKey(e);
        expected.push_back("T0030 (" + e + ")");
    }
    EXPECT_EQ(lines_.removed, expected);
    EXPECT_TRUE(KeyExists(kCU, kBase));
    EXPECT_TRUE(KeyExists(kLM, "SYSTEM\\CurrentControlSet\\Services"));
    EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, "CLSID\\{TwTestClass}"));
    EXPECT_TRUE(KeyExists(kLM, "Software\\Microsoft\\Windows\\CurrentVersion"));
    EXPECT_EQ(ctx_.ExportCounter, 0);
    EXPECT_EQ(FileCount(RegFolder()), 0);
    DeleteTree(HKEY_CLASSES_ROOT, "CLSID\\{TwTestClass}");
}

TEST_F(EngineRegistry, GarbageEntriesChangeNothing) {
    BackupOn();
    CreateKey(kCU, kBase + "\\Keep\\Child");
    SetString(kCU, kBase + "\\Keep", "", "default");
    SetString(kCU, kBase + "\\Keep", "Value", "x");
    const std::vector<std::string> before = Snapshot(kCU, kTestKey);

    std::vector<std::string> entries = {
        "HKEY_CURRENT_USER\\" + std::string(100000, 'A'),
        "HKEY_CURRENT_USER\\" + kBase + "\\Keep" + std::string(1, '\0') + "junk",
        "HKEY_CURRENT_USER\\" + kBase + "\\Keep\r",
        "HKEY_CURRENT_USER\\" + kBase + "\\Keep\\..",
        "HKEY_CURRENT_USER\\" + kBase + "\\Keep\\Child\\..\\..",
        "HKEY_CURRENT_USER,\\" + kBase + "\\Keep",
    };
    std::srand(7);
    for (int n = 0; n < 50; ++n) {
        std::string garbage(1 + std::rand() % 300, '\0');
        for (char& c : garbage)
            c = static_cast<char>(std::rand() % 256);
        entries.push_back(garbage);
        entries.push_back("HKEY_CURRENT_USER\\" + kBase + "\\" + garbage);
    }
    for (const std::string& e : entries) {
        engine_->DeleteRegistryKey(e);
        engine_->DeleteRegistryValue(e);
        engine_->DeleteRegistryValue(e + "\\Value");
    }
    engine_->StartRegistrySearch("HKEY_CURRENT_USER," + std::string(100000, 'Q'));
    engine_->StartRegistrySearch("HKEY_CURRENT_USER,Keep" + std::string(1, '\0'));
    engine_->StartRegistrySearch(entries.back());

    EXPECT_EQ(Snapshot(kCU, kTestKey), before);
    EXPECT_TRUE(KeyExists(kCU, "Software\\Wine"));
    EXPECT_FALSE(FileExists(FoundKeysFile()));
    // a key directly below the root is refused before anything is tried
    for (const std::string& line : lines_.removed)
        EXPECT_EQ(line.substr(0, 7), "T0030 (") << line.substr(0, 80);
    EXPECT_EQ(FileCount(RegFolder()), 0);
}

TEST_F(EngineRegistry, ValueEntries) {
    SetString(kCU, kBase + "\\K", "", "default");
    SetString(kCU, kBase + "\\K", "Named", "x");
    SetString(kCU, kBase + "\\K", "Other", "y");
    SetString(kCU, "", "TwRootValue", "on the root key");

    engine_->DeleteRegistryValue(kCUBase + "\\K\\Named");
    EXPECT_FALSE(ValueExists(kCU, kBase + "\\K", "Named"));
    EXPECT_TRUE(ValueExists(kCU, kBase + "\\K", ""));

    engine_->DeleteRegistryValue(kCUBase + "\\K\\");
    EXPECT_FALSE(ValueExists(kCU, kBase + "\\K", ""));
    EXPECT_TRUE(ValueExists(kCU, kBase + "\\K", "Other"));

    engine_->DeleteRegistryValue("HKEY_CURRENT_USER\\TwRootValue");
    engine_->DeleteRegistryValue("HKCU\\" + kBase + "\\K\\Other");
    engine_->DeleteRegistryValue("HKEY_CURRENT_USER");
    EXPECT_TRUE(ValueExists(kCU, "", "TwRootValue"));
    EXPECT_TRUE(ValueExists(kCU, kBase + "\\K", "Other"));
    RegDeleteValueA(kCU, "TwRootValue");
}

TEST_F(EngineRegistry, SearchEntryRecordsHitsInTheFoundKeysFile) {
    CreateKey(kLM, kBase + "\\TwRadiationQz\\Inner TwRadiationQz");
    CreateKey(kLM, kBase + "\\Dev\\Settings\\ATI WDM Configurations");
    CreateKey(kLM, kBase + "\\Dev2\\0000\\ATI WDM Configurations");

    engine_->StartRegistrySearch("HKEY_LOCAL_MACHINE,ATIONQZ");
    engine_->StartRegistrySearch("HKEY_LOCAL_MACHINE,ATI WDM Configurations");
    EXPECT_EQ(FoundKeys(), (std::vector<std::string>{
                               kLMBase + "\\TwRadiationQz",
                               kLMBase + "\\TwRadiationQz\\Inner TwRadiationQz",
                               kLMBase + "\\Dev",
                               kLMBase + "\\Dev2",
                           }));
    EXPECT_TRUE(KeyExists(kLM, kBase + "\\TwRadiationQz"));
}

TEST_F(EngineRegistry, SearchEntriesThatNameNoRootRunNoSearch) {
    CreateKey(kLM, kBase + "\\TwQzKey");
    CreateKey(kLM, kBase + "\\A TwQzKey");
    for (const char* e : {"hkey_local_machine,TwQzKey", "HKLM,TwQzKey",
                          "HKEY_LOCAL_MACHINE TwQzKey", " HKEY_LOCAL_MACHINE,TwQzKey"}) {
        SCOPED_TRACE(e);
        engine_->StartRegistrySearch(e);
        EXPECT_FALSE(FileExists(FoundKeysFile()));
    }
    engine_->StartRegistrySearch("HKEY_LOCAL_MACHINE, TwQzKey");
    EXPECT_EQ(FoundKeys(), std::vector<std::string>{kLMBase + "\\A TwQzKey"});
}

TEST_F(EngineRegistry, HitsAreNotRecordedWhenTheWindowSaysSo) {
    CreateKey(kCU, kBase + "\\TwNoRecordQz");
    ctx_.RecordSearchHits = false;
    engine_->StartRegistrySearch("HKEY_CURRENT_USER,TwNoRecordQz");
    EXPECT_FALSE(FileExists(FoundKeysFile()));
}

TEST_F(EngineRegistry, HandlerAppendsToAnExistingFileAndCutsEndings) {
    ASSERT_TRUE(tw::AppendTextLine(FoundKeysFile().c_str(), "HKEY_LOCAL_MACHINE\\Left\\Over"));
    engine_->cReg_SearchFound("HKEY_LOCAL_MACHINE",
                              "SYSTEM\\Class\\0000\\Display\\shellex\\PropertySheetHandlers\\"
                              "NVIDIA CPL Extension",
                              "*");
    engine_->cReg_SearchFound("HKEY_CLASSES_ROOT", "ATI.ACEFile", "*");
    engine_->cReg_SearchFound("HKEY_CLASSES_ROOT", "ATI.ACEFile", "*");
    EXPECT_EQ(ReadWholeFile(FoundKeysFile()), "HKEY_LOCAL_MACHINE\\Left\\Over\r\n"
                                              "HKEY_LOCAL_MACHINE\\SYSTEM\\Class\r\n"
                                              "HKEY_CLASSES_ROOT\\ATI.ACEFile\r\n"
                                              "HKEY_CLASSES_ROOT\\ATI.ACEFile\r\n");
}

TEST_F(EngineRegistry, FoundKeysLeftByAnInterruptedPassAreReplayedWithTheNewHits) {
    CreateKey(kCU, kBase + "\\LeftOver\\Child");
    CreateKey(kCU, kBase + "\\TwReplayQz\\Child");
    ASSERT_TRUE(tw::AppendTextLine(FoundKeysFile().c_str(), kCUBase + "\\LeftOver"));
    engine_->StartRegistrySearch("HKEY_CURRENT_USER,TwReplayQz");
    EXPECT_EQ(FoundKeys(),
              (std::vector<std::string>{kCUBase + "\\LeftOver", kCUBase + "\\TwReplayQz"}));
    engine_->DeleteFoundKeys(FoundKeysFile());
    EXPECT_FALSE(KeyExists(kCU, kBase + "\\LeftOver"));
    EXPECT_FALSE(KeyExists(kCU, kBase + "\\TwReplayQz"));
    EXPECT_FALSE(FileExists(FoundKeysFile()));
}

TEST_F(EngineRegistry, BackupExportsTheTreeAndIndexesItBeforeDeleting) {
    BackupOn();
    CreateKey(kCU, kBase + "\\ATI Technologies\\CDS\\0000");
    SetString(kCU, kBase + "\\ATI Technologies\\CDS", "Version", "8.1");
    SetDword(kCU, kBase + "\\ATI Technologies", "Flags", 7);
    ctx_.ExportCounter = 2;

    engine_->DeleteRegistryKey(kCUBase + "\\ATI Technologies");
    EXPECT_EQ(ctx_.ExportCounter, 3);
    EXPECT_EQ(IndexLines(),
              std::vector<std::string>{kCUBase + "\\ATI Technologies, ATI Technologies3.dat"});
    const std::string data = ReadExportText(RegFolder() + "\\ATI Technologies3.dat");
    EXPECT_NE(data.find("[" + kCUBase + "\\ATI Technologies\\CDS\\0000]"), std::string::npos)
        << data;
    EXPECT_NE(data.find("\"Version\"=\"8.1\""), std::string::npos) << data;
    EXPECT_NE(data.find("\"Flags\"=dword:00000007"), std::string::npos) << data;
    EXPECT_FALSE(KeyExists(kCU, kBase + "\\ATI Technologies"));
    EXPECT_TRUE(lines_.removed.empty());
}

TEST_F(EngineRegistry, MissingKeyIsNotBackedUpButTheCounterGrows) {
    BackupOn();
    engine_->DeleteRegistryKey(kCUBase + "\\Missing");
    engine_->DeleteRegistryKey("HKCU\\" + kBase + "\\Missing");
    EXPECT_EQ(ctx_.ExportCounter, 2);
    EXPECT_FALSE(FileExists(
        tw::IndexPath(ctx_.ProgramFolder, ctx_.RunName, ctx_.FilterName, tw::BackupKind::Reg)));
    EXPECT_TRUE(lines_.removed.empty());
}

TEST_F(EngineRegistry, DuplicateHitsGiveTwoLinesAndOneBackup) {
    BackupOn();
    CreateKey(kCU, kBase + "\\TwDupQz\\Sub");
    engine_->StartRegistrySearch("HKEY_CURRENT_USER,TwDupQz");
    engine_->StartRegistrySearch("HKEY_CURRENT_USER,twdupqz");
    const std::vector<std::string> found = FoundKeys();
    ASSERT_EQ(found, (std::vector<std::string>{kCUBase + "\\TwDupQz", kCUBase + "\\TwDupQz"}));
    for (const std::string& line : found)
        engine_->DeleteRegistryKey(line);
    EXPECT_FALSE(KeyExists(kCU, kBase + "\\TwDupQz"));
    EXPECT_EQ(ctx_.ExportCounter, 2);
    EXPECT_EQ(IndexLines(), std::vector<std::string>{kCUBase + "\\TwDupQz, TwDupQz1.dat"});
    EXPECT_TRUE(FileExists(RegFolder() + "\\TwDupQz1.dat"));
    EXPECT_FALSE(FileExists(RegFolder() + "\\TwDupQz2.dat"));
}

TEST_F(EngineRegistry, FailedExportKeepsTheKeyAndSaysSo) {
    // backup asked for, but the run folder is missing: the export cannot be written
    ctx_.Settings.BackupReg = "Yes";
    CreateKey(kCU, kBase + "\\NoBackupQz\\Child");
    engine_->DeleteRegistryKey(kCUBase + "\\NoBackupQz");
    EXPECT_TRUE(KeyExists(kCU, kBase + "\\NoBackupQz\\Child"));
    EXPECT_EQ(lines_.removed, std::vector<std::string>{"T0031 (" + kCUBase + "\\NoBackupQz)"});
    EXPECT_EQ(ctx_.ExportCounter, 1);
}

TEST_F(EngineRegistry, IndexLineStaysWhenTheToolCannotWriteTheExport) {
    BackupOn();
    // a key name that cannot be a file name
    CreateKey(kCU, kBase + "\\Bad|Name");
    engine_->DeleteRegistryKey(kCUBase + "\\Bad|Name");
    EXPECT_EQ(IndexLines(), std::vector<std::string>{kCUBase + "\\Bad|Name, Bad|Name1.dat"});
    EXPECT_TRUE(KeyExists(kCU, kBase + "\\Bad|Name"));
    EXPECT_EQ(lines_.removed, std::vector<std::string>{"T0031 (" + kCUBase + "\\Bad|Name)"});
}

TEST_F(EngineRegistry, RootNameKeepsItsCaseInTheIndexAndClassesKeysBelowTheRoot) {
    BackupOn();
    CreateKey(kCU, kBase + "\\LowerQz");
    CreateKey(HKEY_CLASSES_ROOT, "TwTestProgId.1\\CurVer");
    engine_->DeleteRegistryKey("hkey_current_user\\" + kBase + "\\LowerQz");
    engine_->DeleteRegistryKey("HKEY_CLASSES_ROOT\\TwTestProgId.1");
    EXPECT_EQ(IndexLines(),
              (std::vector<std::string>{"hkey_current_user\\" + kBase + "\\LowerQz, LowerQz1.dat",
                                        "HKEY_CLASSES_ROOT\\TwTestProgId.1, TwTestProgId.12.dat"}));
    EXPECT_TRUE(FileExists(RegFolder() + "\\LowerQz1.dat"));
    const std::string data = ReadExportText(RegFolder() + "\\TwTestProgId.12.dat");
    EXPECT_NE(data.find("[HKEY_CLASSES_ROOT\\TwTestProgId.1\\CurVer]"), std::string::npos) << data;
    EXPECT_FALSE(KeyExists(kCU, kBase + "\\LowerQz"));
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, "TwTestProgId.1"));
}

TEST_F(EngineRegistry, TheWizardNeverBacksUp) {
    ctx_.Settings.BackupReg = "Yes";
    ctx_.MakeBackups = false;
    ctx_.MakeReports = false;
    CreateKey(kCU, kBase + "\\WizQz");
    engine_->DeleteRegistryKey(kCUBase + "\\WizQz");
    engine_->DeleteRegistryKey("HKEY_CURRENT_USER\\Software");
    EXPECT_FALSE(KeyExists(kCU, kBase + "\\WizQz"));
    EXPECT_TRUE(KeyExists(kCU, kBase));
    EXPECT_EQ(ctx_.ExportCounter, 0);
    EXPECT_TRUE(lines_.removed.empty());
}

} // namespace
