#include "registry/rules/RegistryRules.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

TEST(RootNames, TheFourMappingsDifferAsTheTableSays) {
    struct Case {
        const char* name;
        std::uint32_t fromName; // RootHandleFromName
        const char* handleText; // RootHandleText
        std::uint32_t readPath; // ReadPathRootHandle
    };
    const Case cases[] = {
        {"HKEY_CLASSES_ROOT", 0x80000000u, "&H80000000", 0x80000000u},
        {"HKEY_LOCAL_MACHINE", 0x80000002u, "&H80000002", 0x80000002u},
        {"Hkey_Users", 0x80000003u, "", 0x80000001u},
        {"HKLM", 0, "", 0x80000002u},
        {" HKLM ", 0, "", 0x80000002u},
        {"HKEY_PERFORMANCE_DATA", 0x80000004u, "&H80000004", 0x80000001u},
        {"HKEY_CURRENT_CONFIG", 0x80000005u, "&H80000005", 0x80000001u},
        {"", 0, "", 0x80000001u},
        {"HKEY_LOCAL_MACHINE2", 0, "", 0x80000001u},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(tw::RootHandleFromName(c.name), c.fromName);
        EXPECT_EQ(tw::RootHandleText(c.name), c.handleText);
        EXPECT_EQ(tw::ReadPathRootHandle(c.name), c.readPath);
    }
}

TEST(RootKeyText, DecimalAndHexadecimalNumbers) {
    struct Case {
        const char* text;
        bool ok;
        std::int32_t value;
    };
    const Case cases[] = {
        {"0", true, 0},
        {"&H80000002", true, static_cast<std::int32_t>(0x80000002u)},
        {" 42 ", true, 42},
        {"-2147483646", true, static_cast<std::int32_t>(0x80000002u)},
        {"", false, 0},
        {"&H1000000000", false, 0},
        {"99999999999", false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const auto v = tw::ParseRootKeyText(c.text);
        ASSERT_EQ(v.has_value(), c.ok);
        if (v) {
            EXPECT_EQ(*v, c.value);
        }
    }
}

TEST(Matching, ContainsOrEqualsIgnoringCase) {
    struct Case {
        const char* text;
        const char* search;
        bool whole;
        bool match;
    };
    const Case cases[] = {
        {"Radiation", "ATI", false, true},
        {"AT", "ATI", false, false},
        {"AATI", "ATI", false, true}, // a partial first start must not hide the second
        {"Radiation", "ATI", true, false},
        {"aTi", "ATI", true, true},
        {"anything", "", false, true},
        {"x", "", true, false},
        {"ATI Technologies", " ATI", false, false},
        {"My ATI", " ATI", false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " / " + c.search);
        EXPECT_EQ(tw::MatchesSearch(c.text, tw::UpperAscii(c.search), c.whole), c.match);
    }
}

TEST(HitEndings, TheFirstMatchingEndingIsCutCaseSensitively) {
    struct Case {
        const char* key;
        const char* recorded;
    };
    const Case cases[] = {
        {"SYSTEM\\X\\0000\\ATI WDM Configurations", "SYSTEM\\X"},
        {"SYSTEM\\Class\\{4D36E968}\\0000\\Display\\shellex\\PropertySheetHandlers\\NVIDIA CPL "
         "Extension",
         "SYSTEM\\Class\\{4D36E968}"},
        {"SYSTEM\\X\\settings\\ATI WDM Configurations",
         "SYSTEM\\X\\settings\\ATI WDM Configurations"},
        {"SYSTEM\\X\\ATI WDM Configurations", "SYSTEM\\X\\ATI WDM Configurations"},
        {"SYSTEM\\X\\0000\\ATI WDM Configurations\\Sub",
         "SYSTEM\\X\\0000\\ATI WDM Configurations\\Sub"},
        {"\\0000\\ATI WDM Configurations", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        EXPECT_EQ(tw::CutHitEnding(c.key), c.recorded);
    }
}

} // namespace
