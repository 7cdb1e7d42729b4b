// OSInfo against the real GetVersionExA: the probe program is started under each
// Windows version that Wine can pretend to be.
#include "win/Handle.h"
#include "win/ProgramFolder.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr const char* kProbeKey = "Software\\Wine\\AppDefaults\\osinfo_probe.exe";
constexpr const char* kHotfixKey =
    "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Hotfix\\Q246009";

std::map<std::string, std::string> RunProbe(const std::string& version) {
    tw::win::UniqueKey key;
    RegCreateKeyA(HKEY_CURRENT_USER, kProbeKey, key.put());
    RegSetValueExA(key.get(), "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(version.c_str()),
                   static_cast<DWORD>(version.size() + 1));
    std::string folder = tw::ProgramFolder();
    std::string out = folder + "\\osinfo_probe.txt";
    DeleteFileA(out.c_str());
    std::string cmd = "\"" + folder + "\\osinfo_probe.exe\" \"" + out + "\"";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::map<std::string, std::string> fields;
    if (!CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                        &si, &pi))
        return fields;
    tw::win::UniqueHandle process(pi.hProcess), thread(pi.hThread);
    WaitForSingleObject(process.get(), 30000);
    std::ifstream in(out);
    for (std::string line; std::getline(in, line);) {
        auto eq = line.find('=');
        if (eq != std::string::npos)
            fields[line.substr(0, eq)] = line.substr(eq + 1);
    }
    return fields;
}

class OSInfoWine : public ::testing::Test {
  protected:
    void SetUp() override { RestoreHotfix(); }
    void TearDown() override {
        RegDeleteKeyA(HKEY_CURRENT_USER, kProbeKey);
        RestoreHotfix();
    }
    // the hotfix value as Wine's own registry has it
    static void RestoreHotfix() {
        tw::win::UniqueKey key;
        RegCreateKeyA(HKEY_LOCAL_MACHINE, kHotfixKey, key.put());
        RegSetValueExA(key.get(), "Installed", 0, REG_SZ, reinterpret_cast<const BYTE*>("1"), 2);
    }
};

TEST_F(OSInfoWine, VersionsWineCanPretendToBe) {
    struct Case {
        const char* version;
        const char* platform;
        const char* name;
        const char* versionString;
        const char* productType;
        const char* label;   // ShowOSLabel
        const char* labelSP; // ShowOSLabelSP
    };
    const std::vector<Case> cases = {
        {"win95", "1", "Windows 95", "4.0.0950", "0", "Windows 95 ", "Windows 95 "},
        {"win98", "4", "Windows 98 Release 2", "4.10.2222", "0", "Windows 98 Release 2 ",
         "Windows 98 Release 2 "},
        {"winme", "5", "Windows Millenium Edition", "4.90.3000", "0", "Windows Millenium Edition ",
         "Windows Millenium Edition "},
        // Wine's registry holds the Q246009 hotfix: its NT 4.0 has Service Pack 6a
        {"nt40", "9", "Windows NT 4.0", "4.0.1381 Service Pack 6a", "0", "Windows NT 4.0 ",
         "Windows NT 4.0 "},
        {"win2k", "10", "Windows 2000", "5.0.2195 Service Pack 4", "1",
         "Windows 2000 Workstation  (Service Pack 4)", "Windows 2000 Workstation  (SP4)"},
        {"winxp", "11", "Windows XP", "5.1.2600 Service Pack 3", "1",
         "Windows XP Workstation  (Service Pack 3)", "Windows XP Workstation  (SP3)"},
        {"win2003", "12", "Windows 2003", "5.2.3790 Service Pack 2", "3",
         "Windows 2003 Server  (Service Pack 2)", "Windows 2003 Server  (SP2)"},
        {"vista", "13", "[Unknown]", "6.0.6002 Service Pack 2", "1",
         "[Unknown] Workstation  (Service Pack 2)", "[Unknown] Workstation  (SP2)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.version);
        auto f = RunProbe(c.version);
        ASSERT_FALSE(f.empty()) << "the probe wrote nothing";
        EXPECT_EQ(f["Platform"], c.platform);
        EXPECT_EQ(f["Name"], c.name);
        EXPECT_EQ(f["VersionString"], c.versionString);
        EXPECT_EQ(f["ProductType"], c.productType);
        EXPECT_EQ(f["Label"], c.label);
        EXPECT_EQ(f["LabelSP"], c.labelSP);
        EXPECT_EQ(f["AtLeastOwnVersion"], "1");
        EXPECT_EQ(f["NewerThanOwnVersion"], "0");
    }
}

TEST_F(OSInfoWine, NT4WithoutTheQ246009HotfixIsServicePack6) {
    auto f = RunProbe("nt40");
    EXPECT_EQ(f["ServicePack"], "6.1");
    ASSERT_EQ(RegDeleteKeyA(HKEY_LOCAL_MACHINE, kHotfixKey), ERROR_SUCCESS);
    f = RunProbe("nt40");
    EXPECT_EQ(f["VersionString"], "4.0.1381 Service Pack 6");
    EXPECT_EQ(f["ServicePack"], "6.0");
}

TEST_F(OSInfoWine, TheDisplayAdapterHasAName) {
    auto f = RunProbe("winxp");
    EXPECT_FALSE(f["Display"].empty());
}

} // namespace
