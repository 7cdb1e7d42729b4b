#include "FilterSource.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>

namespace tw::seed {
namespace {

TEST(FilterSource, SafetyProblemsFlagEntriesThatCouldHitWindows) {
    struct Case {
        Section section;
        const char* entry;
        bool problem;
    } cases[] = {
        {Section::SystemFiles, "\\nv*.dll", true},
        {Section::Files, "\\..\\boot.ini", true},
        {Section::Directory, "\\Program Files\\NVIDIA Corporation", false},
        {Section::Directory, "\\program files\\amd", true},
        {Section::RegistrySection, "HKEY_LOCAL_MACHINE\\SOFTWARE\\NVIDIA Corporation", false},
        {Section::RegistrySection, "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services", true},
        {Section::RegistrySearch, "HKEY_LOCAL_MACHINE,NVIDIA Corporation", false},
        {Section::RegistrySearch, "HKEY_LOCAL_MACHINE,iguration", true},
        {Section::DriverPackages, "*|NVIDIA", false},
        {Section::DriverPackages, "Display|Advanced Micro Devices, Inc.", false},
        {Section::DriverPackages, "*|Advanced Micro Devices, Inc.", true},
        {Section::DriverPackages, "Display", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(!SafetyProblems({c.section, c.entry}).empty(), c.problem) << c.entry;
}

TEST(FilterSource, ShippedFiltersAreSafeAndCoverEverySection) {
    for (const char* name : {"NVIDIA.txt", "ATI.txt"}) {
        SCOPED_TRACE(name);
        std::ifstream source(std::string(TW_FILTER_DIR) + "/" + name, std::ios::binary);
        const std::string text{std::istreambuf_iterator<char>(source), {}};
        ASSERT_FALSE(text.empty());
        std::map<Section, int> counts;
        for (const auto& e : ReadFilterEntries(text)) {
            ++counts[e.section];
            for (const auto& p : SafetyProblems(e))
                ADD_FAILURE() << e.text << ": " << p;
        }
        EXPECT_EQ(counts.size(), 7u) << "every section has entries";
        EXPECT_GE(counts[Section::SystemFiles], 20);
    }
}

} // namespace
} // namespace tw::seed
