#include "FilterSource.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>

namespace tw::seed {
namespace {

std::string ReadSource(const std::string& name) {
    std::ifstream f(std::string(TW_FILTER_DIR) + "/" + name, std::ios::binary);
    std::stringstream ss;
    ss << f.rdbuf();
    return ss.str();
}

TEST(FilterSource, ReadsSectionsSkippingCommentsAndEmptyLines) {
    auto e = ReadFilterEntries("\\before.dll\r\n# note\r\n[SYSTEMFILES]\n\\a.dll\r\n\r\n"
                               "[DIRECTORY]\r\n [FILES]\r\n[registry.value]\r\n"
                               "[REGISTRY.SEARCH]\r\nHKEY_USERS,text\r\n[FILES]\r\n\\last");
    std::vector<std::pair<Section, std::string>> got;
    for (const auto& x : e)
        got.emplace_back(x.section, x.text);
    std::vector<std::pair<Section, std::string>> want{
        {Section::Files, "\\before.dll"},
        {Section::SystemFiles, "\\a.dll"},
        {Section::Directory, " [FILES]"},         // not a header: a blank before it
        {Section::Directory, "[registry.value]"}, // headers are case-sensitive
        {Section::RegistrySearch, "HKEY_USERS,text"},
        {Section::Files, "\\last"}};
    EXPECT_EQ(got, want);
}

TEST(FilterSource, WildcardMatchFollowsFileNameRules) {
    struct Case {
        const char* pattern;
        const char* name;
        bool match;
    } cases[] = {
        {"NVCPLUI.EXE-*.pf", "NVCPLUI.EXE-1A2B3C4D.pf", true},
        {"NVCPLUI.EXE-*.pf", "nvcplui.exe-.PF", true},
        {"NVCPLUI.EXE-*.pf", "NVCPLUIX.EXE-1A2B3C4D.pf", false},
        {"CCC.EXE-*.pf", "ACCC.EXE-1.pf", false},
        {"nvcpl??.dll", "nvcplxx.dll", true},
        {"nvcpl??.dll", "nvcpl1234.dll", false},
        {"aticalcl*.dll", "aticalcl64.dll", true},
        {"aticalcl*.dll", "aticalcl.sys", false},
        {"a*b*c", "aXbYbZc", true},
        {"a*b*c", "aXbYbZ", false},
        {"*", "", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.pattern) + " ~ " + c.name);
        EXPECT_EQ(WildcardMatch(c.pattern, c.name), c.match);
    }
}

TEST(FilterSource, SafetyProblemsFlagEntriesThatCouldHitWindows) {
    struct Case {
        Section section;
        const char* entry;
        bool problem;
    } cases[] = {
        {Section::SystemFiles, "\\nvcpl.dll", false},
        {Section::SystemFiles, "\\nvcpl??.dll", false},
        {Section::SystemFiles, "\\*.dll", true},
        {Section::SystemFiles, "\\nv*.dll", true},
        {Section::Files, "\\Prefetch\\*.pf", true},
        {Section::Files, "\\Pre*\\NVCPLUI.EXE-*.pf", true},
        {Section::Files, "nvcpl.dll", true},
        {Section::Files, "\\..\\boot.ini", true},
        {Section::Directory, "\\Program Files\\NVIDIA Corporation", false},
        {Section::Directory, "\\Program Files", true},
        {Section::Directory, "\\Program Files (x86)\\", true},
        {Section::Directory, "\\program files\\amd", true},
        {Section::Directory, "\\", true},
        {Section::Directory, "\\WINDOWS\\Help\\nvcpl", true},
        {Section::Directory, "\\ProgramData", true},
        {Section::Directory, "\\NVIDIA", false},
        {Section::RegistrySection, "HKEY_LOCAL_MACHINE\\SOFTWARE\\NVIDIA Corporation", false},
        {Section::RegistrySection, "HKEY_LOCAL_MACHINE\\SOFTWARE", true},
        {Section::RegistrySection, "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft", true},
        {Section::RegistrySection, "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet", true},
        {Section::RegistrySection, "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services", true},
        {Section::RegistrySection, "HKLM\\SOFTWARE\\NVIDIA Corporation", true},
        {Section::RegistrySection, "HKEY_LOCAL_MACHINE\\SOFTWARE\\AMD", true},
        {Section::RegistryValue,
         "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run\\NvCplDaemon",
         false},
        {Section::RegistryValue, "HKEY_LOCAL_MACHINE\\SOFTWARE\\Run", true},
        {Section::RegistryValue, "HKEY_LOCAL_MACHINE\\SOFTWARE\\Key\\", true},
        {Section::RegistrySearch, "HKEY_LOCAL_MACHINE,NVIDIA Corporation", false},
        {Section::RegistrySearch, "HKEY_LOCAL_MACHINE,ATI", true},
        {Section::RegistrySearch, "HKEY_LOCAL_MACHINE,AMD", true},
        {Section::RegistrySearch, "HKEY_LOCAL_MACHINE,NV", true},
        {Section::RegistrySearch, "HKEY_LOCAL_MACHINE,iguration", true},
        {Section::RegistrySearch, "HKEY_LOCAL_MACHINE NVIDIA Corporation", true},
        {Section::RegistrySearch, "hkey_local_machine,NVIDIA Corporation", true},
        {Section::RegistrySearch, "HKEY_LOCAL_MACHINE, NVIDIA", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.entry);
        EXPECT_EQ(!SafetyProblems({c.section, c.entry}).empty(), c.problem);
    }
}

TEST(FilterSource, ShippedFiltersAreSafeAndCoverEverySection) {
    for (const char* name : {"NVIDIA.txt", "ATI.txt"}) {
        SCOPED_TRACE(name);
        std::string text = ReadSource(name);
        ASSERT_FALSE(text.empty());
        std::map<Section, int> counts;
        for (const auto& e : ReadFilterEntries(text)) {
            ++counts[e.section];
            for (const auto& p : SafetyProblems(e))
                ADD_FAILURE() << e.text << ": " << p;
        }
        EXPECT_EQ(counts.size(), 6u) << "every section has entries";
        EXPECT_GE(counts[Section::SystemFiles], 20);
    }
}

} // namespace
} // namespace tw::seed
