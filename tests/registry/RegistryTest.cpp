#include "clean/Registry.h"
#include "RegTestUtil.h"

#include <functional>

namespace {

using namespace regtest;
namespace Registry = tw::Registry;

const HKEY kCU = HKEY_CURRENT_USER;
const std::string kBase = std::string(kTestKey) + "\\Reg";

class RegistryAccess : public RegistryFixture {};

TEST_F(RegistryAccess, DeleteSubKeysEmptiesTheTreeAndKeepsTheKeyAndItsValues) {
    CreateKey(kCU, kBase + "\\A\\A1\\A2\\A3");
    CreateKey(kCU, kBase + "\\A\\B1");
    CreateKey(kCU, kBase + "\\C");
    SetString(kCU, kBase, "Kept", "yes");
    SetString(kCU, kBase + "\\A\\A1", "Gone", "with its key");

    EXPECT_TRUE(Registry::DeleteSubKeys(kCU, kBase));
    EXPECT_EQ(Snapshot(kCU, kBase),
              (std::vector<std::string>{"[" + kBase + "]", kBase + " value Kept"}));
    // a missing key or no root: true, nothing changes
    CreateKey(kCU, kBase + "\\Sibling");
    EXPECT_TRUE(Registry::DeleteSubKeys(kCU, kBase + "\\Missing"));
    EXPECT_TRUE(Registry::DeleteSubKeys(nullptr, "Software"));
    EXPECT_TRUE(KeyExists(kCU, kBase + "\\Sibling"));
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
