#include "registry/rules/RegistryRules.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

using tw::IsProtectedKey;

std::vector<unsigned char> Bytes(std::initializer_list<int> values) {
    std::vector<unsigned char> out;
    for (int v : values)
        out.push_back(static_cast<unsigned char>(v));
    return out;
}

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
        {"hkey_local_machine", 0x80000002u, "", 0x80000001u},
        {"Hkey_Users", 0x80000003u, "", 0x80000001u},
        {"HKLM", 0, "", 0x80000002u},
        {"HKCR", 0, "", 0x80000000u},
        {"HKU", 0, "", 0x80000003u},
        {" HKLM ", 0, "", 0x80000002u},
        {" HKEY_LOCAL_MACHINE", 0, "", 0x80000002u},
        {"HKEY_PERFORMANCE_DATA", 0x80000004u, "&H80000004", 0x80000001u},
        {"HKEY_CURRENT_CONFIG", 0x80000005u, "&H80000005", 0x80000001u},
        {"HKEY_DYN_DATA", 0x80000006u, "&H80000006", 0x80000001u},
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

TEST(RootNames, HandleToNameKnowsTheSevenHandlesOnly) {
    EXPECT_EQ(tw::RootNameFromHandle(0x80000000u), "HKEY_CLASSES_ROOT");
    EXPECT_EQ(tw::RootNameFromHandle(0x80000006u), "HKEY_DYN_DATA");
    EXPECT_EQ(tw::RootNameFromHandle(0x80000007u), "");
    EXPECT_EQ(tw::RootNameFromHandle(0), "");
    ASSERT_EQ(tw::RootNames().size(), 7u);
    EXPECT_EQ(tw::RootNames().front().Full, "HKEY_CLASSES_ROOT");
    EXPECT_EQ(tw::RootNames().back().Full, "HKEY_DYN_DATA");
}

TEST(Splitting, KeyEntries) {
    struct Case {
        const char* entry;
        bool valid;
        const char* root;
        const char* path;
    };
    const Case cases[] = {
        {"HKEY_LOCAL_MACHINE\\SOFTWARE\\ATI Technologies", true, "HKEY_LOCAL_MACHINE",
         "SOFTWARE\\ATI Technologies"},
        {"HKEY_LOCAL_MACHINE\\", true, "HKEY_LOCAL_MACHINE", ""},
        {"\\SOFTWARE", true, "", "SOFTWARE"},
        {"HKEY_LOCAL_MACHINE", false, "", ""},
        {"", false, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.entry);
        const auto k = tw::SplitKeyEntry(c.entry);
        ASSERT_EQ(k.has_value(), c.valid);
        if (k) {
            EXPECT_EQ(k->Root, c.root);
            EXPECT_EQ(k->Path, c.path);
        }
    }
}

TEST(Splitting, ValueEntriesAndReadPaths) {
    struct Case {
        const char* text;
        bool value; // SplitValueEntry gives something
        const char* vRoot;
        const char* vPath;
        const char* vName;
        bool read; // SplitReadRegistryPath gives something
        const char* rRoot;
        const char* rPath;
        const char* rName;
    };
    const Case cases[] = {
        {"HKEY_LOCAL_MACHINE\\SOFTWARE\\ATI\\Version", true, "HKEY_LOCAL_MACHINE", "SOFTWARE\\ATI",
         "Version", true, "HKEY_LOCAL_MACHINE", "SOFTWARE\\ATI", "Version"},
        // a trailing backslash names the default value
        {"HKEY_CURRENT_USER\\Software\\X\\", true, "HKEY_CURRENT_USER", "Software\\X", "", true,
         "HKEY_CURRENT_USER", "Software\\X", ""},
        // one backslash: no subkey path for a value entry; the root's own value when read
        {"HKEY_CURRENT_USER\\Name", false, "", "", "", true, "HKEY_CURRENT_USER", "", "Name"},
        {"NoBackslash", false, "", "", "", false, "", "", ""},
        // blanks: kept by value entries, trimmed around root and path when read
        {" HKLM \\ SOFTWARE\\Sub \\ Name ", true, " HKLM ", " SOFTWARE\\Sub ", " Name ", true,
         "HKLM", "SOFTWARE\\Sub", " Name "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const auto v = tw::SplitValueEntry(c.text);
        ASSERT_EQ(v.has_value(), c.value);
        if (v) {
            EXPECT_EQ(v->Root, c.vRoot);
            EXPECT_EQ(v->Path, c.vPath);
            EXPECT_EQ(v->Value, c.vName);
        }
        const auto r = tw::SplitReadRegistryPath(c.text);
        ASSERT_EQ(r.has_value(), c.read);
        if (r) {
            EXPECT_EQ(r->Root, c.rRoot);
            EXPECT_EQ(r->Path, c.rPath);
            EXPECT_EQ(r->Value, c.rName);
        }
    }
}

TEST(Splitting, SearchEntriesSplitAtTheFirstCommaWithoutTrimming) {
    auto s = tw::SplitSearchEntry("HKEY_LOCAL_MACHINE, ATI,WDM");
    ASSERT_TRUE(s);
    EXPECT_EQ(s->Root, "HKEY_LOCAL_MACHINE");
    EXPECT_EQ(s->Text, " ATI,WDM");
    s = tw::SplitSearchEntry("HKEY_LOCAL_MACHINE,");
    ASSERT_TRUE(s);
    EXPECT_EQ(s->Text, "");
    EXPECT_FALSE(tw::SplitSearchEntry("HKEY_LOCAL_MACHINE ATI"));
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
        {"&h80000000", true, static_cast<std::int32_t>(0x80000000u)},
        {"&HFF", true, 255},
        {" 42 ", true, 42},
        {"-2147483646", true, static_cast<std::int32_t>(0x80000002u)},
        {"", false, 0},
        {"&H", false, 0},
        {"&H1000000000", false, 0},
        {"&HXYZ", false, 0},
        {"HKEY_LOCAL_MACHINE", false, 0},
        {"99999999999", false, 0},
        {"12a", false, 0},
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
        {"ati", "ATI", false, true},
        {"AT", "ATI", false, false},
        {"xxATi", "ATI", false, true},
        {"AATI", "ATI", false, true}, // a partial first start must not hide the second
        {"Radiation", "ATI", true, false},
        {"aTi", "ATI", true, true},
        {"anything", "", false, true},
        {"", "", false, true},
        {"x", "", true, false},
        {"ATI Technologies", " ATI", false, false},
        {"My ATI", " ATI", false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " / " + c.search);
        EXPECT_EQ(tw::MatchesSearch(c.text, tw::UpperAscii(c.search), c.whole), c.match);
    }
}

TEST(Formatting, ValueTextByType) {
    struct Case {
        std::uint32_t type;
        std::vector<unsigned char> data;
        const char* text;
    };
    const std::vector<Case> cases = {
        {4, Bytes({0xFF, 0, 0, 0}), "0x000000FF(255)"},
        {4, Bytes({0xFF, 0xFF, 0xFF, 0xFF}), "0xFFFFFFFF(-1)"},
        {4, Bytes({0, 0, 0, 0x80}), "0x80000000(-2147483648)"},
        {4, Bytes({1}), "0x00000001(1)"},
        {3, Bytes({}), "00"},
        {3, Bytes({0x0A, 0x1B, 0xFF}), "0A 1B FF"},
        {3, Bytes({0}), "00"},
        {1, Bytes({'a', 'b', 0, 'c'}), "ab"},
        {1, Bytes({}), ""},
        {7, Bytes({'o', 'n', 'e', 0, 't', 'w', 'o', 0, 0}), "one"},
        {2, Bytes({'%', 'x', '%', 0}), "Temporary unsupported"},
        {0, Bytes({1}), "Temporary unsupported"},
        {5, Bytes({1, 2, 3, 4}), "Temporary unsupported"},
        {6, Bytes({}), "Temporary unsupported"},
        {8, Bytes({}), "Temporary unsupported"},
        {11, Bytes({1, 0, 0, 0, 0, 0, 0, 0}), "Temporary unsupported"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(tw::ValueText(c.type, c.data), c.text);
    }
}

TEST(Formatting, QueryValueText) {
    struct Case {
        std::uint32_t type;
        std::vector<unsigned char> data;
        const char* text;
    };
    const std::vector<Case> cases = {
        {1, Bytes({'C', ':', '\\', 0}), "C:\\"},
        {1, Bytes({}), ""},
        {3, Bytes({0x34, 0x12, 0x99}), "4660"},
        {3, Bytes({0xFF, 0xFF}), "-1"},
        {3, Bytes({0x05}), "5"},
        {3, Bytes({}), "0"},
        {2, Bytes({'x', 0}), ""},
        {4, Bytes({1, 0, 0, 0}), ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(tw::QueryValueText(c.type, c.data), c.text);
    }
}

TEST(HitEndings, TheFirstMatchingEndingIsCutCaseSensitively) {
    struct Case {
        const char* key;
        const char* recorded;
    };
    const Case cases[] = {
        {"SYSTEM\\X\\0000\\ATI WDM Configurations", "SYSTEM\\X"},
        {"SYSTEM\\X\\Settings\\ATI WDM Configurations", "SYSTEM\\X"},
        {"SYSTEM\\Class\\{4D36E968}\\0000\\Display\\shellex\\PropertySheetHandlers\\NVIDIA CPL "
         "Extension",
         "SYSTEM\\Class\\{4D36E968}"},
        {"SYSTEM\\X\\settings\\ATI WDM Configurations",
         "SYSTEM\\X\\settings\\ATI WDM Configurations"},
        {"SYSTEM\\X\\ATI WDM Configurations", "SYSTEM\\X\\ATI WDM Configurations"},
        {"SYSTEM\\X\\0000\\ATI WDM Configurations\\Sub",
         "SYSTEM\\X\\0000\\ATI WDM Configurations\\Sub"},
        {"\\0000\\ATI WDM Configurations", ""},
        {"ATI", "ATI"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        EXPECT_EQ(tw::CutHitEnding(c.key), c.recorded);
    }
}

TEST(ProtectedKeys, HostileEntriesAreRefused) {
    struct Case {
        const char* root;
        const char* path;
    };
    const Case cases[] = {
        {"HKEY_LOCAL_MACHINE", ""},
        {"HKEY_LOCAL_MACHINE", "\\"},
        {"HKEY_LOCAL_MACHINE", "\\\\\\"},
        {"hkey_local_machine", "SOFTWARE"},
        {"HKEY_LOCAL_MACHINE", "SOFTWARE\\"},
        {"HKEY_LOCAL_MACHINE", "\\SOFTWARE"},
        {"HKEY_LOCAL_MACHINE", "SYSTEM"},
        {"HKEY_LOCAL_MACHINE", "Anything"},
        {"HKEY_LOCAL_MACHINE", "software\\classes"},
        {"HKEY_LOCAL_MACHINE", "SOFTWARE\\\\Microsoft"},
        {"HKEY_LOCAL_MACHINE", "SOFTWARE\\Microsoft\\Windows\\"},
        {"HKEY_LOCAL_MACHINE", "SOFTWARE\\Classes\\CLSID"},
        {"HKEY_LOCAL_MACHINE", "SYSTEM\\CurrentControlSet"},
        {"HKEY_LOCAL_MACHINE", "SYSTEM\\CurrentControlSet\\Services"},
        {"HKEY_LOCAL_MACHINE", "SYSTEM\\ControlSet001"},
        {"HKEY_LOCAL_MACHINE", "system\\controlset002\\control"},
        {"HKEY_LOCAL_MACHINE", "SYSTEM\\ControlSet003\\Enum\\"},
        {"HKEY_LOCAL_MACHINE",
         "SYSTEM\\CurrentControlSet\\Control\\Class\\{4d36e968-e325-11ce-bfc1-08002be10318}"},
        {"HKEY_LOCAL_MACHINE", "SYSTEM\\ControlSet001\\Enum\\PCI\\"},
        {"HKEY_CURRENT_USER", ""},
        {"HKEY_CURRENT_USER", "Software"},
        {"HKEY_CURRENT_USER", "Software\\Microsoft"},
        {"HKEY_CURRENT_USER", "Software\\Classes\\Interface"},
        {"HKEY_USERS", ".DEFAULT"},
        {"HKEY_USERS", ".DEFAULT\\Software"},
        {"HKEY_USERS", "S-1-5-21-1\\Software\\Microsoft\\Windows"},
        {"HKEY_USERS", "S-1-5-21-1_Classes\\CLSID"},
        {"HKEY_CURRENT_CONFIG", "System"},
        {"HKEY_CLASSES_ROOT", ""},
        {"HKEY_CLASSES_ROOT", "CLSID"},
        {"HKEY_CLASSES_ROOT", "clsid\\"},
        {"HKEY_CLASSES_ROOT", "Interface"},
        {"HKEY_CLASSES_ROOT", "TypeLib"},
        {"HKEY_CLASSES_ROOT", "AppID"},
        {"HKEY_CLASSES_ROOT", "*"},
        {"HKEY_CLASSES_ROOT", "Directory"},
        {"HKEY_CLASSES_ROOT", "Folder"},
        {"HKEY_PERFORMANCE_DATA", ""},
        {"HKEY_DYN_DATA", "\\"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.root) + "\\" + c.path);
        EXPECT_TRUE(IsProtectedKey(c.root, c.path));
    }
}

TEST(ProtectedKeys, OrdinaryDriverKeysMayGo) {
    struct Case {
        const char* root;
        const char* path;
    };
    const Case cases[] = {
        {"HKEY_LOCAL_MACHINE", "SOFTWARE\\ATI Technologies"},
        {"HKEY_LOCAL_MACHINE", "SOFTWARE\\NVIDIA Corporation\\Global"},
        {"HKEY_LOCAL_MACHINE", "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\ATI"},
        {"HKEY_LOCAL_MACHINE", "SOFTWARE\\Classes\\CLSID\\{1234}"},
        {"HKEY_LOCAL_MACHINE", "SYSTEM\\CurrentControlSet\\Services\\ati2mtag"},
        {"HKEY_LOCAL_MACHINE", "SYSTEM\\ControlSet001\\Services\\nv"},
        {"HKEY_LOCAL_MACHINE", "SYSTEM\\CurrentControlSet\\Control\\Class\\{4d36e968-e325-11ce-"
                               "bfc1-08002be10318}\\0000\\Settings"},
        {"HKEY_LOCAL_MACHINE", "SYSTEM\\ControlSet001\\Enum\\PCI\\VEN_10DE&DEV_1234"},
        {"HKEY_LOCAL_MACHINE", "SYSTEM\\ControlSet1\\Services"}, // not a control set name
        {"HKEY_CURRENT_USER", "Software\\ATI"},
        {"HKEY_USERS", ".DEFAULT\\Software\\ATI"},
        {"HKEY_CURRENT_CONFIG", "System\\CurrentControlSet\\ATI"},
        {"HKEY_CLASSES_ROOT", "ATI.ACEFile"},
        {"HKEY_CLASSES_ROOT", "CLSID\\{5A9B7C0E}"},
        {"HKEY_CLASSES_ROOT", "*\\shellex\\ContextMenuHandlers\\NvCpl"},
        {"HKEY_PERFORMANCE_DATA", "x"},
        // not a root at all: the registry refuses every call, nothing to protect
        {"HKLM", ""},
        {"HKLM", "SOFTWARE"},
        {"", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.root) + "\\" + c.path);
        EXPECT_FALSE(IsProtectedKey(c.root, c.path));
    }
}

} // namespace
