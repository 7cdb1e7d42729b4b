// Unattended runs of the real Tracewipe.exe: one command line after the other on items seeded
// into the test prefix, each with its exit code, its report file and what it changes.
#include "support/ProgramTest.h"

namespace {

using namespace twtest;

class CommandLineRun : public ProgramTest {};

TEST_F(CommandLineRun, ExitCodesAndReports) {
    const std::string win = WindowsDir();
    const std::string file = win + "\\twcli.dll", folder = win.substr(0, 2) + "\\TwCli Dir";
    const std::string key = "Software\\TwCliFoundKey";
    const auto clear = [&] {
        RemoveTree(file);
        RemoveTree(folder);
        DeleteKeyTree(HKEY_CURRENT_USER, key);
    };
    clear();
    MakeFolder({"Tracewipe.exe", "English.lng"});
    WriteAll(Ini(), "[LANGUAGE]\r\nCurrentLanguage=English\r\n");
    // filters stored unpacked in the container
    const std::string filter = "HE0\r[FILES]\r\n\\twcli.dll\r\n[DIRECTORY]\r\n\\TwCli Dir\r\n";
    WriteAll(folder_ + "\\Cli.twf", filter);
    WriteAll(folder_ + "\\..\\Out.twf", filter);
    WriteAll(folder_ + "\\Prot.twf", "HE0\r[REGISTRY.SECTION]\r\nHKEY_LOCAL_MACHINE\\Software\r\n");
    // what an interrupted run of Cli left: a key its search found
    WriteAll(folder_ + "\\Cli.twr", "HKEY_CURRENT_USER\\" + key + "\r\n");
    ASSERT_TRUE(CreateKey(HKEY_CURRENT_USER, key));
    MakeFiles(win, {"twcli.dll=dll"});
    MakeFiles(win.substr(0, 2), {"TwCli Dir\\a.txt=ab"});

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
         {"    File (" + file + ") 3 bytes", "    Directory (" + folder + ") 1 files, 2 bytes",
          "Cli.twr\r\n    Registry key (HKEY_CURRENT_USER\\" + key + ")"}},
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
    EXPECT_FALSE(Exists(file));
    EXPECT_FALSE(Exists(folder));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, key));
    RemoveTree(folder_ + "\\..\\Out.twf");
    clear();
}

} // namespace
