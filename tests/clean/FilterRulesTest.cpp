// A filter as the rules read it: its text, its directory entries, its driver-package entries.
#include "clean/rules/FileRules.h"
#include "clean/rules/FilterText.h"
#include "clean/rules/InfFile.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

using namespace std::string_literals;
using tw::FilterSection;
using Entries = std::vector<std::pair<FilterSection, std::string>>;

TEST(FilterText, SplitsOnlyAtCrLf) {
    const struct {
        const char* name;
        std::string text;
        std::vector<std::string_view> lines;
    } cases[] = {
        {"empty text has no lines", "", {}},
        {"no line end is one line", "abc", {"abc"}},
        {"final CR LF gives an empty last line", "a\r\nb\r\n", {"a", "b", ""}},
        {"lone LF and lone CR stay in the line", "a\nb\rc\r\nd", {"a\nb\rc", "d"}},
        {"LF CR is not a line end", "a\n\rb", {"a\n\rb"}},
        {"empty lines between", "a\r\n\r\nb", {"a", "", "b"}},
        {"CR CR LF keeps one CR", "a\r\r\nb", {"a\r", "b"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(tw::SplitCrLf(c.text), c.lines) << c.name;
}

TEST(FilterText, OnlyTheSevenExactHeadersAreHeaders) {
    const struct {
        const char* line;
        bool header;
    } cases[] = {
        {"[FILES]", true},          {"[SYSTEMFILES]", true},
        {"[DIRECTORY]", true},      {"[REGISTRY.SECTION]", true},
        {"[REGISTRY.VALUE]", true}, {"[REGISTRY.SEARCH]", true},
        {"[DRIVERPACKAGES]", true}, {"[DriverPackages]", false},
        {"[files]", false},         {"[Files]", false},
        {" [FILES]", false},        {"[FILES] ", false},
        {"[FILES]\t", false},       {"[REGISTRY]", false},
        {"[DIRECTORIES]", false},   {"FILES", false},
        {"[FILES]\n", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(tw::SectionHeader(c.line).has_value(), c.header) << c.line;
}

TEST(FilterText, EntriesKeepFileOrderAndTheirSection) {
    std::string text = "\\before.dll\r\n"
                       "[DIRECTORY]\r\n"
                       "\\Program Files\\ATI\r\n"
                       "\r\n"
                       "[files]\r\n"
                       "   \r\n"
                       "[FILES]\r\n"
                       "; comment-like\r\n"
                       "[REGISTRY.SEARCH]\r\n"
                       "HKEY_LOCAL_MACHINE,ATI\r\n"
                       "[SYSTEMFILES]\r\n"
                       "\\ati2dvag.dll";
    Entries want = {
        {FilterSection::Files, "\\before.dll"},
        {FilterSection::Directory, "\\Program Files\\ATI"},
        {FilterSection::Directory, "[files]"},
        {FilterSection::Directory, "   "},
        {FilterSection::Files, "; comment-like"},
        {FilterSection::RegistrySearch, "HKEY_LOCAL_MACHINE,ATI"},
        {FilterSection::SystemFiles, "\\ati2dvag.dll"},
    };
    Entries got;
    tw::ForEachFilterEntry(
        text, [&](FilterSection s, std::string_view line) { got.emplace_back(s, line); });
    EXPECT_EQ(got, want);
}

TEST(FileRules, DirectoryFullPathFollowsTheProgramFilesPrefix) {
    // Windows on C:, Program Files on D: so both branches are told apart.
    const struct {
        const char* entry;
        const char* want;
    } cases[] = {
        {"\\Program Files\\ATI Technologies", "D:\\Apps\\ATI Technologies"},
        {"\\Program Files", "D:\\Apps"},
        {"\\program files\\ATI", "C:\\program files\\ATI"},
        {"\\PROGRAM FILES\\ATI", "C:\\PROGRAM FILES\\ATI"},
        {"\\Program FilesX", "D:\\AppsX"},
        {"\\Program File", "C:\\Program File"},
        {"\\NVIDIA", "C:\\NVIDIA"},
        {"NVIDIA", "C:NVIDIA"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(tw::DirectoryFullPath(c.entry, "C:\\WINDOWS", "D:\\Apps"), c.want) << c.entry;
}

// The bytes of `text` as UTF-16LE with its byte-order mark.
std::string Utf16(const std::string& text) {
    std::string out = "\xFF\xFE";
    for (char c : text)
        out += {c, '\0'};
    return out;
}

bool Matches(const std::string& entry, const std::string& inf) {
    const auto rule = tw::SplitPackageEntry(entry);
    return rule && tw::PackageMatches(*rule, tw::ReadInfVersion(inf));
}

TEST(InfFile, PackagesMatchTheirEntriesByClassAndProvider) {
    const std::string nvidia = "[Version]\r\nSignature=\"$Windows NT$\"\r\nClass=Display\r\n"
                               "Provider=%NVIDIA%\r\n[Strings]\r\nNVIDIA=\"NVIDIA\"\r\n";
    const std::string amd = "[version]\nClass = MEDIA ; audio\nProvider = %amd% ; the vendor\n"
                            "[Strings.0409]\nAMD = \"Advanced Micro Devices, Inc.\"\n";
    const std::string unknownToken = "[Version]\r\nClass=Display\r\nProvider=%ATI%\r\n";
    const std::string quoted =
        "[Version]\r\nClass=\"Display\"\r\nProvider=\"ATI Technologies Inc.\"\r\n";
    const std::string continued = "[Version]\r\nClass=Display\r\nProvider=ATI \\\r\n Technologies"
                                  " Inc.\r\n";
    const std::string noClass = "[Version]\rProvider=NVIDIA\r";
    const struct {
        const char* entry;
        std::string inf;
        bool match;
    } cases[] = {
        {"Display|NVIDIA", nvidia, true},
        {"display|nvidia", nvidia, true},
        {"*|NVIDIA", nvidia, true},
        {"MEDIA|NVIDIA", nvidia, false},
        {"Display|NVIDIA Corporation", nvidia, false},
        {"Display|NVIDIA ", nvidia, false},
        {"Display", nvidia, false},
        {"|NVIDIA", nvidia, false},
        {"Display|", nvidia, false},
        {"MEDIA|Advanced Micro Devices, Inc.", amd, true},
        {"MEDIA|Advanced Micro Devices", amd, false},
        {"System|Advanced Micro Devices, Inc.", amd, false},
        {"Display|ATI Technologies Inc.", unknownToken, false},
        {"Display|ATI", unknownToken, false},
        {"Display|ATI Technologies Inc.", quoted, true},
        {"Display|ATI Technologies Inc.", continued, true},
        {"*|NVIDIA", noClass, true},
        {"Display|NVIDIA", noClass, false},
        {"*|NVIDIA", "[Manufacturer]\r\nClass=Display\r\nProvider=NVIDIA\r\n", false},
        {"Display|A;B", "[Version]\r\nClass=Display\r\nProvider=\"A;B\"\r\n", true},
        {"*|NVIDIA", "\x7F\x45LF\0\x01[Version\0Provider=NVIDIA\xFF\xFE\r\n\x80\x81"s, false},
        {"*|NVIDIA", ""s, false},
        {"*|?", "\xFF\xFE\x00"s, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.entry) + " on " + c.inf);
        EXPECT_EQ(Matches(c.entry, c.inf), c.match);
        EXPECT_EQ(Matches(c.entry, Utf16(c.inf)), c.match) << "as UTF-16";
    }
}

TEST(InfFile, CatalogOfThePlatform) {
    const struct {
        std::string inf;
        const char* x86;
        const char* amd64;
    } cases[] = {
        {"[Version]\nCatalogFile=all.cat\n", "all.cat", "all.cat"},
        {"[Version]\nCatalogFile=all.cat\nCatalogFile.NT=nt.cat\n", "nt.cat", "nt.cat"},
        {"[Version]\nCatalogFile=all.cat\nCatalogFile.NTamd64=%cat64%\n[Strings]\ncat64=x64.cat\n",
         "all.cat", "x64.cat"},
        {"[Version]\nCatalogFile.NTx86=x86.cat\n", "x86.cat", ""},
        {"[Version]\nCatalogFile=..\\..\\boot.cat\n", "", ""},
        {"[Strings]\nCatalogFile=s.cat\n", "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.inf);
        const tw::InfVersion inf = tw::ReadInfVersion(c.inf);
        EXPECT_EQ(tw::CatalogFor(inf, tw::InfArch::X86), c.x86);
        EXPECT_EQ(tw::CatalogFor(inf, tw::InfArch::Amd64), c.amd64);
    }
}

} // namespace
