#include "clean/rules/FilterText.h"
#include "clean/rules/FileRules.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

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

} // namespace
