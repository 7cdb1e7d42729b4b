#include "backup/BackupStore.h"
#include "backup/FileBackup.h"
#include "backup/Restore.h"
#include "clean/CleaningEngine.h"
#include "clean/Preview.h"
#include "decode/Encoder.h"
#include "registry/cRegSearch.h"
#include "support/TestFiles.h"
#include "win/SystemFolders.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

namespace {

using namespace twtest;

constexpr const char* kRun = "06-12-2026_101010";
constexpr const char* kFilter = "Packages";
constexpr const char* kCatalogs = "\\Catroot\\{F750E6C3-38EE-11D1-85E5-00C04FC295EE}";

class RecordingSink : public tw::ReportSink {
  public:
    void Removed(const std::string& line) override { removed.push_back(line); }
    void NotFound(const std::string& line) override { notFound.push_back(line); }
    std::vector<std::string> removed;
    std::vector<std::string> notFound;
};

std::string IdAsText(std::string_view id) {
    return "#" + std::string(id);
}

std::string Utf16(const std::string& text) {
    std::string out = "\xFF\xFE";
    for (char c : text)
        out += {c, '\0'};
    return out;
}

// Packages in the Inf folder of this prefix, each file holding its own bytes; only the
// first two match the filter, with their .pnf and catalog.
class PackageEngine : public ::testing::Test {
  protected:
    void SetUp() override {
        const std::string inf = win + "\\Inf\\";
        const std::string cat = sys + kCatalogs + "\\";
        MakeDir(sys + "\\Catroot");
        MakeDir(cat);
        const std::string version = "[Version]\r\nSignature=\"$Windows NT$\"\r\n";
        // the provider through [Strings], the catalog named in the .inf
        Seed(inf + "oem7101.inf",
             version + "Class=Display\r\nProvider=%ACME%\r\n"
                       "CatalogFile=acmedisp.cat\r\n[Strings]\r\n"
                       "ACME=\"Acme Graphics, Inc.\"\r\n",
             true);
        Seed(inf + "oem7101.pnf", "pnf 7101\x01\x02", true);
        Seed(cat + "acmedisp.cat", "catalog 7101", true);
        // quoted, UTF-16, LF only; the catalog under the name of the installed .inf
        Seed(inf + "oem7102.inf",
             Utf16("[Version]\nClass=MEDIA\nProvider=\"Acme Graphics, Inc.\" ; audio\n"), true);
        Seed(inf + "oem7102.pnf", "pnf 7102", true);
        Seed(cat + "oem7102.cat", "catalog 7102", true);
        // a look-alike provider, the provider in a class the filter does not name, another
        // vendor, a package that Windows did not install, a file that is no text at all
        Seed(inf + "oem7103.inf", version + "Class=Display\r\nProvider=Acme Graphics\r\n", false);
        Seed(inf + "oem7103.pnf", "pnf 7103", false);
        Seed(inf + "oem7104.inf",
             version +
                 "Class=System\r\nProvider=\"Acme Graphics, Inc.\"\r\nCatalogFile=acmechip.cat\r\n",
             false);
        Seed(cat + "acmechip.cat", "catalog 7104", false);
        Seed(inf + "oem7105.inf", version + "Class=Display\r\nProvider=Other Vendor\r\n", false);
        Seed(inf + "acme7106.inf", version + "Class=Display\r\nProvider=Acme Graphics, Inc.\r\n",
             false);
        Seed(inf + "oem7107.inf", std::string("\x7F\x45LF\0\xFF\xFE[Version]\0\x80", 16), false);

        const std::string filter = "[DRIVERPACKAGES]\r\nDisplay|Acme Graphics, Inc.\r\n"
                                   "MEDIA|Acme Graphics, Inc.\r\nDisplay|Nobody\r\n";
        const auto packed =
            tw::EncodeStored({reinterpret_cast<const std::uint8_t*>(filter.data()), filter.size()});
        WriteAll(prog / (std::string(kFilter) + ".twf"), std::string(packed.begin(), packed.end()));

        ctx.ProgramFolder = prog.Path();
        ctx.FilterName = kFilter;
        ctx.RunName = kRun;
        ctx.WorkingCopy = prog / "cdtwf.dll";
        ctx.Sink = &sink;
        ctx.Text = IdAsText;
        ctx.Settings = {"Yes", "No", "No", "No"};
        tw::PrepareBackupFolders(prog.Path(), kRun, kFilter, "Yes", "No", "No", "No");
    }
    void TearDown() override {
        for (const auto& [path, content] : seeded)
            DeleteFileA(path.c_str());
        RemoveDirectoryA((win + "\\Inf\\Other").c_str()); // when this test made it
    }
    void Seed(const std::string& path, const std::string& content, bool goes) {
        WriteAll(path, content);
        seeded[path] = content;
        if (goes)
            going.push_back(path);
    }

    const std::string win = tw::GetWindowsDir();
    const std::string sys = tw::GetSystemDir();
    Scratch prog{"packages"};
    std::map<std::string, std::string> seeded;
    std::vector<std::string> going;
    RecordingSink sink;
    tw::RunContext ctx;
    tw::cRegSearch search;
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

    {
        tw::CleaningEngine engine(ctx, search);
        engine.RunFilterPass();
    }
    std::vector<std::string> removed;
    for (const std::string& path : going)
        removed.push_back(tw::DetailLine("#0015", path));
    EXPECT_EQ(sink.removed, removed);
    EXPECT_EQ(sink.notFound, std::vector<std::string>{tw::DetailLine("#2131", "Display|Nobody")});
    for (const auto& [path, content] : seeded) {
        const bool goes = std::find(going.begin(), going.end(), path) != going.end();
        EXPECT_EQ(Exists(path), !goes) << path;
    }

    const std::string run = tw::RunFolderName(kRun, kFilter, tw::BackupKind::File);
    const auto lines = tw::LoadIndex(prog.Path(), run, tw::BackupKind::File);
    EXPECT_EQ(lines.size(), going.size());
    EXPECT_TRUE(tw::RestoreRun(prog.Path(), run, tw::BackupKind::File, lines,
                               std::vector<bool>(lines.size(), true))
                    .empty());
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
