// Unattended runs of the real Tracewipe.exe: one command line after the other on items
// seeded into the test prefix, each with its exit code, its report file and what it
// changes.
#include "support/ProgramTest.h"

#include <string>
#include <vector>

namespace {

using namespace twtest;

const std::string kKey = "Software\\TwCliFoundKey";

class CommandLineRun : public ProgramTest {
  protected:
    void SetUp() override {
        char dir[MAX_PATH];
        win_.assign(dir, GetWindowsDirectoryA(dir, MAX_PATH));
        file_ = win_ + "\\twcli.dll";
        dir_ = win_.substr(0, 2) + "\\TwCli Dir";
        Clear();
    }
    void TearDown() override {
        ProgramTest::TearDown();
        Clear();
    }
    void Clear() {
        RemoveTree(file_);
        RemoveTree(dir_);
        DeleteKeyTree(HKEY_CURRENT_USER, kKey);
    }
    // A filter file, stored unpacked in the container.
    static void WriteFilter(const std::string& path, const std::string& text) {
        WriteAll(path, "HE0\r" + text);
    }
    std::string win_, file_, dir_;
};

TEST_F(CommandLineRun, ExitCodesAndReports) {
    MakeFolder({"Tracewipe.exe", "English.lng"});
    WriteAll(Ini(), "[LANGUAGE]\r\nCurrentLanguage=English\r\n");
    const std::string filter = "[FILES]\r\n\\twcli.dll\r\n[DIRECTORY]\r\n\\TwCli Dir\r\n";
    WriteFilter(folder_ + "\\Cli.twf", filter);
    WriteFilter(folder_ + "\\..\\Out.twf", filter);
    WriteFilter(folder_ + "\\Prot.twf", "[REGISTRY.SECTION]\r\nHKEY_LOCAL_MACHINE\\Software\r\n");
    // what an interrupted run of Cli left: a key its search found
    WriteAll(folder_ + "\\Cli.twr", "HKEY_CURRENT_USER\\" + kKey + "\r\n");
    ASSERT_TRUE(CreateKey(HKEY_CURRENT_USER, kKey));
    WriteAll(file_, "dll");
    MakeDir(dir_);
    WriteAll(dir_ + "\\a.txt", "ab");

    const std::string report = folder_ + "\\report.txt";
    struct Case {
        std::string args;
        DWORD exit;
        std::vector<std::string> reported; // in the report file, or on the console
    };
    const Case cases[] = {
        {"/preview ..\\Out", 3, {"The filter is missing or cannot be unpacked: ..\\Out"}},
        {"/preview Cli /report \"" + folder_ + "\\gone\\r.txt\"",
         5,
         {"The report file cannot be written: " + folder_ + "\\gone\\r.txt"}},
        {"/preview", 5, {"Usage: "}},
        {"/preview Cli",
         0,
         {"    File (" + file_ + ") 3 bytes", "    Directory (" + dir_ + ") 1 files, 2 bytes",
          "Cli.twr\r\n    Registry key (HKEY_CURRENT_USER\\" + kKey + ")"}},
        {"/clean Prot", 2, {"Not removed, protected (HKEY_LOCAL_MACHINE\\Software)"}},
        {"/clean Cli", 0, {"Left after cleaning:\r\nTotal: 0 items"}},
        {"/clean Cli", 1, {"Total: 0 items"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        DeleteFileA(report.c_str());
        const std::string console = folder_ + "\\console.txt";
        const bool toReport = c.args.find("/report") == std::string::npos && c.exit != 5;
        Process run = Process::Launch("\"" + folder_ + "\\Tracewipe.exe\" " + c.args +
                                          (toReport ? " /report \"" + report + "\"" : ""),
                                      folder_, console);
        EXPECT_EQ(run.WaitForExit(60000), c.exit);
        const std::string text = ReadAll(toReport ? report : console);
        for (const std::string& line : c.reported)
            EXPECT_NE(text.find(line), std::string::npos) << line << "\nin:\n" << text;
    }
    EXPECT_FALSE(Exists(file_));
    EXPECT_FALSE(Exists(dir_));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kKey));
    RemoveTree(folder_ + "\\..\\Out.twf");
}

} // namespace
