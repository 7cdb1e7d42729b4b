// The cab cleaner of the real Tracewipe.exe, opened from the Normal interface's Tools menu in
// English and German: driver cabinets seeded in Wine's Windows folder, cleaned, read back.
#include "cab/CabLibrary.h"
#include "support/ProgramTest.h"
#include "win/SystemFolders.h"

#include <filesystem>

namespace {

using namespace twtest;

constexpr DWORD kRunWait = 60000;

// The path of a file of this prefix as the build machine's own tools see it.
std::string Unix(const std::string& winPath) {
    using ToUnix = char*(CDECL*)(LPCWSTR);
    static const auto toUnix = reinterpret_cast<ToUnix>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    std::wstring wide(winPath.begin(), winPath.end());
    char* unix = toUnix ? toUnix(wide.c_str()) : nullptr;
    std::string s = unix ? unix : winPath;
    HeapFree(GetProcessHeap(), 0, unix);
    return s;
}

// The output of a shell script (no double quotes in it) run with the build machine's tools, or
// a text naming its failure; its exit code comes in a file (a Linux process has no handle).
std::string Shell(const std::string& script, const std::string& output) {
    const std::string rc = output + ".rc";
    DeleteFileA(rc.c_str());
    std::string line =
        "/bin/sh -c \"(" + script + ") >'" + Unix(output) + "' 2>&1; echo $? >'" + Unix(rc) + "'\"";
    STARTUPINFOA si{sizeof si};
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi))
        return "<cannot start " + script + ">";
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    std::string code;
    WaitUntil([&] { return (code = ReadAll(rc)).find('\n') != std::string::npos; }, kWait);
    return code == "0\n" ? ReadAll(output) : "<" + script + ": " + code + ReadAll(output) + ">";
}

class CabCleaner : public ProgramTest {
  protected:
    void SetUp() override {
        MakeFolder({"Tracewipe.exe", "English.lng", "German.lng", tw::kCabDllName, "extract.exe",
                    "ATI.twf", "driver.cab.ccf", "sp2.cab.ccf", "sp3.cab.ccf"});
        // named after a cabinet base name only: never offered
        WriteAll(folder_ + "\\driver.ccf", ReadAll(folder_ + "\\driver.cab.ccf"));
        WriteSettings("Interface=Normal\r\nWizard=No", language_);
        ClearWindows();
    }
    void TearDown() override {
        ProgramTest::TearDown();
        ClearWindows();
    }
    void ClearWindows() {
        for (const char* cabinets : {"\\Driver Cache", "\\ServicePackFiles"})
            RemoveTree(win_ + cabinets);
    }

    // gcab writes `cabinet` of `names` ("sub/name": in a folder of the cabinet, unless `flat`),
    // their files kept in folder_\files for comparison.
    void SeedCabinet(const std::string& cabinet, const std::vector<std::string>& names,
                     bool flat = false) {
        const std::string files = folder_ + "\\files";
        std::string list;
        for (const std::string& name : names) {
            std::string data;
            while (data.size() < 40000)
                data += name + " " + std::to_string(data.size() * data.size()) + "\r\n";
            std::filesystem::create_directories(
                std::filesystem::path(files + "\\" + name).parent_path());
            WriteAll(files + "\\" + name, data);
            list += " '" + name + "'";
        }
        std::filesystem::create_directories(cabinet.substr(0, cabinet.find_last_of('\\')));
        DeleteFileA(cabinet.c_str());
        ASSERT_EQ(Shell("cd '" + Unix(files) + "' && gcab -c -z " + (flat ? "-n '" : "'") +
                            Unix(cabinet) + "'" + list,
                        folder_ + "\\gcab.out"),
                  "");
    }

    // The names in the cabinet as cabextract lists them, then as gcab does, each sorted.
    std::string Listed(const std::string& cabinet) {
        const std::string c = Unix(cabinet);
        return Shell("cabextract -q -l '" + c + "' | awk -F' [|] ' 'NR>2 && NF==3 {print $3}' | " +
                         "sort; gcab -l '" + c +
                         "' | sed -E 's/ [0-9]+ [0-9-]+ [0-9:]+ 0x[0-9a-f]+$//' | sort",
                     folder_ + "\\list.out");
    }

    // Each named file, unpacked by cabextract, is byte-identical to its seed.
    void ExpectSameContents(const std::string& cabinet, const std::vector<std::string>& names) {
        for (const std::string& name : names)
            EXPECT_EQ(Shell("cabextract -q -p -F '" + name + "' '" + Unix(cabinet) + "'",
                            folder_ + "\\x.out"),
                      ReadAll(folder_ + "\\files\\" + name))
                << name;
    }

    // Starts the program and opens the cab cleaner from the Normal interface.
    void OpenCabCleaner() {
        ASSERT_NO_FATAL_FAILURE(Launch("frmMain"));
        HWND main = window_;
        ASSERT_TRUE(PostMenuCommand(main, {Lang("1019"), Lang("1020")}));
        window_ = WaitForFrm("frmCC");
        ASSERT_NE(window_, nullptr);
        ASSERT_TRUE(WaitForWindowGone(main, kWait)) << "the Normal interface stays";
        ASSERT_TRUE(WaitUntil([&] { return !WindowText(Control("lblOS")).empty(); }, kWait));
    }

    // Chooses `entry`, presses Clean (or its shortcut) and confirms; the messages of the run
    // are answered and collected in `messages`.
    void Clean(const std::string& entry, std::vector<std::string>* messages = nullptr,
               bool byShortcut = false) {
        ASSERT_TRUE(SelectCombo(Control("cboConfig"), entry));
        if (byShortcut)
            ASSERT_TRUE(Activate(window_) && SendKey('R', true)); // Ctrl+R: File, Clean
        else
            ASSERT_TRUE(Click(Control("cmdClean")));
        ASSERT_TRUE(AnswerBox(Lang("0009"), Lang("0010"), {IDYES, IDNO}, IDYES))
            << "no confirmation";
        ASSERT_TRUE(WaitUntil(
            [&] {
                if (auto error = messages ? WaitForMessageBox(app_.id(), 50) : std::nullopt) {
                    messages->push_back(error->title + ": " + error->text);
                    SaveScreenshot(ScreenshotPath("frmCC-error-" + language_));
                    AnswerMessageBox(error->hwnd, IDOK);
                }
                // the end status names the entry, as the status during the run does
                const std::string status = Status();
                return status.ends_with(" " + entry + " !") &&
                       status != Lang("0020") + " " + entry + " !" &&
                       IsEnabled(Control("cmdClean")) && IsEnabled(Control("cmdClose"));
            },
            kRunWait))
            << "the run did not end; status: " << Status();
    }

    std::string win_ = tw::GetWindowsDir();
};

class CabCleanerIn : public CabCleaner, public ::testing::WithParamInterface<const char*> {
  protected:
    CabCleanerIn() { language_ = GetParam(); }
};

// Files in a folder of a cabinet keep it; a cab filter line that climbs out of the Windows
// folder is skipped; a hidden folder where the extraction folder goes is not unpacked into.
TEST_P(CabCleanerIn, DriverFilesLeaveTheCabinetsAndEverythingElseStays) {
    const std::string driverCab = win_ + "\\Driver Cache\\i386\\driver.cab";
    const std::string sp2Cab = win_ + "\\ServicePackFiles\\i386\\sp2.cab";
    const std::string outside = win_.substr(0, 2) + "\\twoutside\\driver.cab";
    ASSERT_NO_FATAL_FAILURE(SeedCabinet(outside, {"atikmdag.sys", "vga.sys"}));
    ASSERT_NO_FATAL_FAILURE(SeedCabinet(driverCab, {"atikmdag.sys", "ATIDDC.DLL", "nv4_disp.dll",
                                                    "vga.sys", "sub/kbdclass.sys", "sub/nv.sys"}));
    ASSERT_NO_FATAL_FAILURE(SeedCabinet(sp2Cab, {"kbdclass.sys", "display.inf", "mnvlook.dll"}));
    WriteAll(folder_ + "\\driver.cab.ccf",
             "HE0\r\\..\\twoutside\\driver.cab\r\n\\Driver Cache\\i386\\driver.cab\r\n");
    const std::string outsideBefore = ReadAll(outside);
    // tmpSP3: what an interrupted earlier run left; the window clears it when it goes
    const std::string temp = tw::GetTempDir(), stale = temp + "tmpSP3";
    MakeFiles(temp.substr(0, temp.size() - 1), {"tmpdriver\\planted.sys", "tmpSP3\\nv4_disp.dll"});
    SetFileAttributesA((temp + "tmpdriver").c_str(), FILE_ATTRIBUTE_HIDDEN);
    ASSERT_NO_FATAL_FAILURE(OpenCabCleaner());

    std::vector<std::string> offered = ComboItems(Control("cboConfig"));
    std::sort(offered.begin(), offered.end());
    EXPECT_EQ(offered, (std::vector<std::string>{"driver.cab", "sp2.cab"}));
    EXPECT_EQ(ComboSelection(Control("cboConfig")), 0);
    Shoot("frmCC-" + language_ + "-before-run");

    Clean("driver.cab");
    EXPECT_EQ(Status(), Lang("0026") + " driver.cab !");
    EXPECT_EQ(WindowText(Control("lblStatus2")), "");
    Shoot("frmCC-" + language_ + "-after-run");
    EXPECT_EQ(Listed(driverCab), "sub/kbdclass.sys\nvga.sys\nsub\\kbdclass.sys\nvga.sys\n");
    ExpectSameContents(driverCab, {"vga.sys"});
    EXPECT_TRUE(ReadAll(outside) == outsideBefore)
        << "a cabinet outside the Windows folder changed";
    RemoveTree(outside.substr(0, outside.find_last_of('\\')));

    Clean("sp2.cab", nullptr, true);
    EXPECT_EQ(Status(), Lang("0026") + " sp2.cab !");
    EXPECT_EQ(Listed(sp2Cab), "display.inf\nkbdclass.sys\nmnvlook.dll\n"
                              "display.inf\nkbdclass.sys\nmnvlook.dll\n");
    ExpectSameContents(sp2Cab, {"display.inf", "kbdclass.sys", "mnvlook.dll"});

    for (const std::string& gone : {temp + "tmpdriver", temp + "tmpsp2", win_ + "\\cdccf.dll"})
        EXPECT_FALSE(Exists(gone)) << gone;
    // Close hands back to the interface the settings name
    ASSERT_TRUE(Click(Control("cmdClose")));
    EXPECT_NE(WaitForFrm("frmMain"), nullptr);
    EXPECT_TRUE(WaitForWindowGone(window_, kWait));
    EXPECT_FALSE(Exists(stale));
}

// A rebuild that cannot run or an extraction short of the whole cabinet leaves the old cabinet
// as it was, and the status says so; a library failure is shown as an error message.
TEST_F(CabCleaner, AFailedRebuildKeepsTheOldCabinet) {
    const std::string cabinet = win_ + "\\Driver Cache\\i386\\driver.cab";
    const std::vector<std::string> usual = {"atikmdag.sys", "vga.sys", "kbdclass.sys",
                                            "mouclass.sys", "i8042prt.sys"};
    struct Case {
        const char* what;
        size_t keep;     // bytes of the cabinet kept: a damaged or cut-short cabinet
        bool withoutDll; // the cabinet library is missing from the program folder
        bool flat;       // each file stored under its name alone
        std::vector<std::string> names;
        const char* status;
        std::vector<std::string> messages;
    };
    const std::vector<std::string> twins = {"atikmdag.sys", "vga.sys", "twin/VGA.SYS"};
    const Case cases[] = {
        {"names in two cases: one file here", std::string::npos, false, true, twins, "0032", {}},
        {"no cabinet at all", 4, false, false, usual, "0032", {}},
        {"cut short: the first files unpack, the last not", 20000, false, false, usual, "0032", {}},
        // last: the library stays missing
        {"no library", std::string::npos, true, false, usual, "0037", {"Error: " + Lang("0027")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_NO_FATAL_FAILURE(SeedCabinet(cabinet, c.names, c.flat));
        WriteAll(cabinet, ReadAll(cabinet).substr(0, c.keep));
        if (c.withoutDll)
            DeleteFileA((folder_ + "\\" + tw::kCabDllName).c_str());
        const std::string before = ReadAll(cabinet);
        ASSERT_NO_FATAL_FAILURE(OpenCabCleaner());
        std::vector<std::string> messages;
        Clean("driver.cab", &messages);
        EXPECT_EQ(messages, c.messages);
        EXPECT_EQ(Status(), Lang(c.status) + " driver.cab !");
        EXPECT_TRUE(ReadAll(cabinet) == before) << "the old cabinet changed";
        app_.Kill();
    }
}

INSTANTIATE_TEST_SUITE_P(Languages, CabCleanerIn, ::testing::Values("English", "German"),
                         [](const auto& info) { return std::string(info.param); });

} // namespace
