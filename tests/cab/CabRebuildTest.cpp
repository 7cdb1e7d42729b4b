// The rebuild through the real cab.dll: what it reports when the cabinet or a file fails, and what
// it leaves at the cabinet's path.
#include "cab/CabCleaner.h"
#include "core/Text.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace tw {
namespace {

using twtest::ReadAll;
using twtest::WriteAll;

const std::string kDll =
    "Z:" + (std::filesystem::path(TW_PROGRAM_DIR) / kCabDllName).make_preferred().string();

// Number of files that the cabinet header at `path` counts, -1 when it is no cabinet.
int CabinetFiles(const std::string& path) {
    const std::string header = ReadAll(path);
    if (header.size() < 36 || header.compare(0, 4, "MSCF") != 0)
        return -1;
    return static_cast<unsigned char>(header[28]) | static_cast<unsigned char>(header[29]) << 8;
}

TEST(CabRebuild, ReportsFailuresAndKeepsTheCabinetWhole) {
    SetTextLookup([](std::string_view id) { return "<" + std::string(id) + ">"; });
    const twtest::Scratch root("cabrebuild");
    const std::string files = root / "files", cabs = root / "cabs";
    // files\sub: a folder is not a file to add
    twtest::MakeFiles(root.Path(),
                      {"cabs\\", "files\\sub\\", "files\\vga.sys=" + std::string(70000, 'v'),
                       "files\\display.inf=[Version]\r\n"});

    struct Case {
        const char* what;
        std::string cabinet;
        std::vector<std::string> names, reports;
        int filesAfter;           // -1: the old content is still there
        const char* missing = ""; // calls or DLLs that cab.dll is told are missing
    };
    const Case cases[] = {
        {"all files", cabs + "\\a.cab", {"vga.sys", "display.inf"}, {}, 2},
        {"missing folder", root / "gone\\c.cab", {"vga.sys"}, {"<0028>"}, -1},
        // a cabinet short of a file is never written: the old one stays whole
        {"missing file",
         cabs + "\\d.cab",
         {"ghost.sys", "vga.sys", "sub"},
         {"ghost.sys <0029>", "sub <0029>"},
         -1},
        {"no files", cabs + "\\e.cab", {}, {}, 0},
        {"blank path", "  ", {"vga.sys"}, {}, -1},
        // as when cab.dll itself is missing
        {"no cabinet.dll", cabs + "\\f.cab", {"vga.sys"}, {"<0027>"}, -1, "cabinet.dll"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.cabinet != "  ")
            WriteAll(c.cabinet, "not replaced");
        const std::string before = ReadAll(c.cabinet);
        std::vector<std::string> reports;
        int yields = 0;
        RebuildHooks hooks{[&](const std::string& m) { reports.push_back(m); }, [&] { ++yields; }};
        SetEnvironmentVariableA("TW_PRETEND_MISSING", c.missing);
        EXPECT_EQ(RebuildCabinet(CabLibrary(kDll), c.cabinet, files, c.names, hooks),
                  c.filesAfter >= 0);
        SetEnvironmentVariableA("TW_PRETEND_MISSING", nullptr);
        EXPECT_EQ(reports, c.reports);
        if (c.filesAfter >= 0) {
            EXPECT_EQ(CabinetFiles(c.cabinet), c.filesAfter);
            EXPECT_EQ(yields, static_cast<int>(c.names.size()));
        } else {
            EXPECT_EQ(ReadAll(c.cabinet), before);
        }
    }
    // Nothing but the cabinets is left beside them: the temporary names were moved or removed.
    EXPECT_EQ(twtest::FolderNames(cabs),
              (std::vector<std::string>{"a.cab", "d.cab", "e.cab", "f.cab"}));
}

TEST(CabRebuild, DriverFilesGoInSubfoldersAndReadOnlyToo) {
    const twtest::Scratch root("cabdrivers");
    twtest::MakeDir(root / "sub");
    for (const char* name : {"ATI2.SYS", "vga.sys", "sub\\nvdisp.dll", "sub\\keep.inf"}) {
        WriteAll(root / name, name);
        SetFileAttributesA((root / name).c_str(), FILE_ATTRIBUTE_READONLY);
    }
    DeleteDriverFiles(root.Path());
    EXPECT_EQ(FilesIn(root.Path()), (std::vector<std::string>{"vga.sys", "sub\\keep.inf"}));
}

} // namespace
} // namespace tw
