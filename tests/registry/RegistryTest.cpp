#include "registry/Registry.h"
#include "RegTestUtil.h"

#include <functional>

namespace {

using namespace regtest;
namespace Registry = tw::Registry;

const HKEY kCU = HKEY_CURRENT_USER;
const std::string kBase = std::string(kTestKey) + "\\Reg";

class RegistryAccess : public RegistryFixture {};

TEST(RootKeyFromName, MapsFullNamesInAnyCaseToThePlatformHandles) {
    struct Case {
        const char* name;
        HKEY handle;
    };
    const Case cases[] = {
        {"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},
        {"HKEY_CURRENT_USER", HKEY_CURRENT_USER},
        {"hkey_local_machine", HKEY_LOCAL_MACHINE},
        {"HKEY_USERS", HKEY_USERS},
        {"HKEY_PERFORMANCE_DATA", HKEY_PERFORMANCE_DATA},
        {"Hkey_Current_Config", HKEY_CURRENT_CONFIG},
        {"HKEY_DYN_DATA", HKEY_DYN_DATA},
        {"HKLM", nullptr},
        {"", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(tw::RootKeyFromName(c.name), c.handle);
    }
}

TEST_F(RegistryAccess, DeleteSubKeysEmptiesTheTreeAndKeepsTheKeyAndItsValues) {
    CreateKey(kCU, kBase + "\\A\\A1\\A2\\A3");
    CreateKey(kCU, kBase + "\\A\\B1");
    CreateKey(kCU, kBase + "\\C");
    SetString(kCU, kBase, "Kept", "yes");
    SetString(kCU, kBase + "\\A\\A1", "Gone", "with its key");

    EXPECT_TRUE(Registry::DeleteSubKeys(kCU, kBase));
    EXPECT_TRUE(KeyExists(kCU, kBase));
    EXPECT_EQ(SubKeyCount(kCU, kBase), 0u);
    EXPECT_TRUE(ValueExists(kCU, kBase, "Kept"));
}

TEST_F(RegistryAccess, DeleteSubKeysOfAMissingKeyIsTrueAndChangesNothing) {
    CreateKey(kCU, kBase + "\\Sibling\\Child");
    EXPECT_TRUE(Registry::DeleteSubKeys(kCU, kBase + "\\Missing"));
    EXPECT_TRUE(Registry::DeleteSubKeys(nullptr, "Software"));
    EXPECT_TRUE(KeyExists(kCU, kBase + "\\Sibling\\Child"));
}

TEST_F(RegistryAccess, DeleteValueNamedAndDefault) {
    SetString(kCU, kBase, "", "default");
    SetString(kCU, kBase, "Named", "x");
    SetString(kCU, kBase, "Other", "y");

    Registry::DeleteValue(kCU, kBase, "Named");
    EXPECT_FALSE(ValueExists(kCU, kBase, "Named"));
    EXPECT_TRUE(ValueExists(kCU, kBase, ""));
    EXPECT_TRUE(ValueExists(kCU, kBase, "Other"));

    Registry::DeleteValue(kCU, kBase, "");
    EXPECT_FALSE(ValueExists(kCU, kBase, ""));
    EXPECT_TRUE(ValueExists(kCU, kBase, "Other"));

    Registry::DeleteValue(kCU, kBase + "\\Missing", "Other");
    Registry::DeleteValue(nullptr, kBase, "Other");
    EXPECT_TRUE(ValueExists(kCU, kBase, "Other"));
}

TEST_F(RegistryAccess, ReadingValuesByType) {
    SetString(kCU, kBase, "Sz", "C:\\Program Files");
    SetString(kCU, kBase, "Expand", "%WINDIR%", REG_EXPAND_SZ);
    SetString(kCU, kBase, "Empty", "");
    SetDword(kCU, kBase, "Dword", 255);
    SetBinary(kCU, kBase, "Bin", {0x34, 0x12, 0x77});
    SetBinary(kCU, kBase, "Negative", {0xFE, 0xFF});
    std::string longText(300, 'L');
    SetString(kCU, kBase, "Long", longText);

    struct Case {
        const char* name;
        std::string text;
    };
    const Case cases[] = {
        {"Sz", "C:\\Program Files"},
        {"Expand", ""},
        {"Empty", ""},
        {"Dword", ""},
        {"Bin", "4660"},
        {"Negative", "-2"},
        {"Long", longText},
        {"Missing", ""},
    };
    HKEY k = nullptr;
    ASSERT_EQ(RegOpenKeyA(kCU, kBase.c_str(), &k), ERROR_SUCCESS);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Registry::QueryValue(k, c.name), c.text);
        EXPECT_EQ(Registry::GetValue(kCU, kBase, c.name), c.text);
    }
    RegCloseKey(k);
    EXPECT_EQ(Registry::GetValue(kCU, kBase + "\\Missing", "Sz"), "");
    EXPECT_EQ(Registry::QueryValue(nullptr, "Sz"), "");
}

TEST_F(RegistryAccess, ProgramFilesFolderIsReadFromTheMachineKey) {
    const std::string dir = Registry::GetValue(
        HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir");
    EXPECT_NE(dir.find(":\\"), std::string::npos) << dir;
}

// The next key opened takes the lowest free handle slot: when an operation leaves a key
// open, the probe's handle value moves on.
HKEY ProbeHandle() {
    HKEY k = nullptr;
    RegOpenKeyA(HKEY_CURRENT_USER, kTestKey, &k);
    RegCloseKey(k);
    return k;
}

TEST_F(RegistryAccess, EveryOperationClosesTheKeysItOpens) {
    CreateKey(kCU, kBase + "\\T");
    SetString(kCU, kBase + "\\T", "V", "x");
    struct Op {
        const char* name;
        std::function<void()> run;
    };
    const Op ops[] = {
        {"GetValue", [] { Registry::GetValue(kCU, kBase + "\\T", "V"); }},
        {"GetValue missing value", [] { Registry::GetValue(kCU, kBase + "\\T", "None"); }},
        {"DeleteValue",
         [] {
             SetString(kCU, kBase + "\\T", "Gone", "x");
             Registry::DeleteValue(kCU, kBase + "\\T", "Gone");
         }},
        {"DeleteSubKeys",
         [] {
             CreateKey(kCU, kBase + "\\T\\Sub\\Deeper");
             Registry::DeleteSubKeys(kCU, kBase + "\\T");
         }},
        {"DeleteSubKeys missing", [] { Registry::DeleteSubKeys(kCU, kBase + "\\None"); }},
        {"DeleteKey", [] { Registry::DeleteKey(kCU, kBase + "\\T\\None"); }},
    };
    // a first round lets the platform make its one-time handles (code page tables ...)
    for (const Op& op : ops)
        op.run();
    const HKEY probe = ProbeHandle();
    {
        // the probe sees a key left open
        HKEY leaked = nullptr;
        ASSERT_EQ(RegOpenKeyA(kCU, kBase.c_str(), &leaked), ERROR_SUCCESS);
        EXPECT_NE(ProbeHandle(), probe);
        RegCloseKey(leaked);
        ASSERT_EQ(ProbeHandle(), probe);
    }
    // (no SCOPED_TRACE here: its first stream makes the runtime open handles of its own)
    for (const Op& op : ops) {
        for (int i = 0; i < 3; ++i) {
            op.run();
            EXPECT_EQ(ProbeHandle(), probe) << op.name;
        }
    }
}

} // namespace
