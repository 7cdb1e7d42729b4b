#include "app/OSClassify.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct VersionCase {
    const char* label;
    tw::RawVersion raw;
    bool hotfix;
    std::int32_t platform, family;
    const char* name;
    const char* versionText;
    std::int32_t build, spMajor, spMinor, productType;
    bool verify;
};

TEST(OSClassify, VersionTable) {
    const std::vector<VersionCase> cases = {
        // 9x builds carry major and minor in their high word, as the platform reports them.
        // clang-format off
        {"95 build 950", {1, 4, 0, 0x04000000 + 950, ""},
         false, 1, 0, "Windows 95", "4.0.0950", 950, 0, 0, 0, false},
        {"95 OSR2", {1, 4, 0, 0x04000000 + 1111, " B "},
         false, 2, 0, "Windows 95 Release 2", "4.0.1111", 1111, 0, 0, 0, false},
        {"98 SE", {1, 4, 10, 0x040A0000 + 2222, " A "},
         false, 4, 0, "Windows 98 Release 2", "4.10.2222", 2222, 0, 0, 0, false},
        {"Me", {1, 4, 90, 0x045A0000 + 3000, ""},
         false, 5, 0, "Windows Millenium Edition", "4.90.3000", 3000, 0, 0, 0, false},
        {"Win32s", {0, 1, 30, 0, ""},
         false, 0, 0, "Windows 3.x With Win32s", "1.30.0000", 0, 0, 0, 0, false},
        {"9x build read as a signed 16-bit number", {1, 4, 10, 0x0000FFFEu, ""},
         false, 4, 0, "Windows 98 Release 2", "4.10.00-2", -2, 0, 0, 0, false},
        {"NT 3.1", {2, 3, 1, 528, "Service Pack 3"},
         false, 7, 1, "Windows NT 3.1", "3.1.0528 Service Pack 3", 528, 3, 0, 0, false},
        {"NT 3.51 is not in the table", {2, 3, 51, 1057, "Service Pack 5"},
         false, 13, 1, "[Unknown]", "3.51.1057 Service Pack 5", 1057, 5, 0, 0, false},
        {"NT 4.0 SP6 with Q246009", {2, 4, 0, 1381, "Service Pack 6"},
         true, 9, 1, "Windows NT 4.0", "4.0.1381 Service Pack 6a", 1381, 6, 1, 0, false},
        {"NT 4.0 SP6 without Q246009", {2, 4, 0, 1381, "Service Pack 6"},
         false, 9, 1, "Windows NT 4.0", "4.0.1381 Service Pack 6", 1381, 6, 0, 0, false},
        {"NT 4.0 SP3, text padded", {2, 4, 0, 1381, std::string("  Service Pack 3  \0junk", 23)},
         false, 9, 1, "Windows NT 4.0", "4.0.1381 Service Pack 3", 1381, 3, 0, 0, false},
        {"NT 4.0 without a service pack", {2, 4, 0, 1381, ""},
         true, 9, 1, "Windows NT 4.0", "4.0.1381", 1381, 0, 0, 0, false},
        {"2000 SP4", {2, 5, 0, 2195, "Service Pack 4", 4, 0, 1},
         false, 10, 2, "Windows 2000", "5.0.2195 Service Pack 4", 2195, 4, 0, 1, true},
        {"XP SP2", {2, 5, 1, 2600, "Service Pack 2", 2, 0, 1},
         false, 11, 3, "Windows XP", "5.1.2600 Service Pack 2", 2600, 2, 0, 1, true},
        {"2003 domain controller", {2, 5, 2, 3790, "Service Pack 1", 1, 0, 2},
         false, 12, 4, "Windows 2003", "5.2.3790 Service Pack 1", 3790, 1, 0, 2, true},
        {"NT 5.x service pack 1.1", {2, 5, 1, 2600, "Service Pack 1a", 1, 1, 1},
         false, 11, 3, "Windows XP", "5.1.2600 Service Pack 1.1", 2600, 1, 1, 1, true},
        {"6.x", {2, 6, 0, 6002, "Service Pack 2", 2, 0, 1},
         false, 13, 0, "[Unknown]", "6.0.6002 Service Pack 2", 6002, 2, 0, 1, true},
        {"NT build above 65535", {2, 5, 1, 65536 + 2600, "", 0, 0, 1},
         false, 11, 3, "Windows XP", "5.1.2600", 2600, 0, 0, 1, true},
        // clang-format on
    };
    for (const VersionCase& c : cases) {
        SCOPED_TRACE(c.label);
        tw::OSFields os = tw::ClassifyVersion(c.raw, [&] { return c.hotfix; });
        EXPECT_EQ(os.platform, c.platform);
        EXPECT_EQ(os.family, c.family);
        EXPECT_EQ(tw::PlatformName(os.platform), c.name);
        EXPECT_EQ(os.versionText, c.versionText);
        EXPECT_EQ(os.build, c.build);
        EXPECT_EQ(os.servicePackMajor, c.spMajor);
        EXPECT_EQ(os.servicePackMinor, c.spMinor);
        EXPECT_EQ(os.productType, c.productType);
        EXPECT_EQ(os.verifySupported, c.verify);
    }
}

TEST(OSClassify, CompareVersionTuple) {
    // the system: XP SP2, 5.1.2600 2.0
    tw::OSFields xp = tw::ClassifyVersion({2, 5, 1, 2600, "Service Pack 2", 2, 0, 1}, nullptr);
    struct Case {
        std::int32_t major, minor, build, spMajor, spMinor, type;
        bool expected;
    };
    const std::vector<Case> cases = {
        {5, 1, -1, -1, -1, 1, true},  {5, 1, -1, -1, -1, 2, false}, {5, 0, -1, -1, -1, 2, true},
        {5, 0, -1, -1, -1, 3, true},  {5, 2, -1, -1, -1, 4, true},  {5, 2, -1, -1, -1, 5, true},
        {5, 1, 2600, 2, 0, 1, true},  {5, 1, 2600, 3, -1, 4, true}, {5, 1, 2600, 1, -1, 2, true},
        {4, 9, 9999, 9, 9, 2, true},  {6, 0, 0, 0, 0, 4, true},     {-1, -1, 2600, -1, -1, 1, true},
        {-1, 1, -1, -1, -1, 1, true}, {5, 1, -1, -1, -1, 0, false}, {5, 1, -1, -1, -1, 6, false},
        {5, 1, -1, 2, -1, 5, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.major << "." << c.minor << "." << c.build << " sp "
                                        << c.spMajor << "." << c.spMinor << " type " << c.type);
        EXPECT_EQ(
            tw::CompareVersionTuple(xp, c.major, c.minor, c.build, c.spMajor, c.spMinor, c.type),
            c.expected);
    }
}

} // namespace
