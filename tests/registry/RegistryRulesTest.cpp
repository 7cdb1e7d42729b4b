#include "registry/rules/RegistryRules.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace {

TEST(RootNames, TheFourMappingsDifferAsTheTableSays) {
    const struct {
        const char* name;
        std::uint32_t fromName; // RootHandleFromName
        const char* handleText; // RootHandleText
        std::uint32_t readPath; // ReadPathRootHandle
    } cases[] = {
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
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(tw::RootHandleFromName(c.name), c.fromName);
        EXPECT_EQ(tw::RootHandleText(c.name), c.handleText);
        EXPECT_EQ(tw::ReadPathRootHandle(c.name), c.readPath);
    }
}

TEST(RootKeyText, DecimalAndHexadecimalNumbers) {
    const std::pair<const char*, std::optional<std::int32_t>> cases[] = {
        {"0", 0},
        {"&H80000002", static_cast<std::int32_t>(0x80000002u)},
        {" 42 ", 42},
        {"-2147483646", static_cast<std::int32_t>(0x80000002u)},
        {"", std::nullopt},
        {"&H1000000000", std::nullopt},
        {"99999999999", std::nullopt},
    };
    for (const auto& [text, value] : cases)
        EXPECT_EQ(tw::ParseRootKeyText(text), value) << text;
}

TEST(Matching, ContainsOrEqualsIgnoringCase) {
    const struct {
        const char* text;
        const char* search;
        bool whole, match;
    } cases[] = {
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
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " / " + c.search);
        EXPECT_EQ(tw::MatchesSearch(c.text, tw::UpperAscii(c.search), c.whole), c.match);
    }
}

TEST(HitEndings, TheFirstMatchingEndingIsCutCaseSensitively) {
    const std::pair<const char*, const char*> cases[] = {
        // key, what is recorded
        {"SYSTEM\\X\\0000\\ATI WDM Configurations", "SYSTEM\\X"},
        {"SYSTEM\\Class\\{4D36E968}\\0000\\Display\\shellex\\PropertySheetHandlers\\NVIDIA CPL "
         "Extension",
         "SYSTEM\\Class\\{4D36E968}"},
        {"SYSTEM\\X\\settings\\ATI WDM Configurations", nullptr},
        {"SYSTEM\\X\\ATI WDM Configurations", nullptr},
        {"SYSTEM\\X\\0000\\ATI WDM Configurations\\Sub", nullptr},
        {"\\0000\\ATI WDM Configurations", ""},
    };
    for (const auto& [key, recorded] : cases)
        EXPECT_EQ(tw::CutHitEnding(key), recorded ? recorded : key) << key;
}

} // namespace
