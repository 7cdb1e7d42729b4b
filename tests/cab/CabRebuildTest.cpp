// The rebuild through the real cab.dll: what it reports when the cabinet or a file fails, and what
// it leaves at the cabinet's path.
#include "cab/CabCleaner.h"
#include "core/Text.h"
#include "win/FileFind.h"
#include "win/Files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace tw {
namespace {

const std::string kDll =
    "Z:" + (std::filesystem::path(TW_PROGRAM_DIR) / kCabDllName).make_preferred().string();

void Write(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Number of files that the cabinet header at `path` counts, -1 when it is no cabinet.
int CabinetFiles(const std::string& path) {
    const std::string header = Read(path);
    if (header.size() < 36 || header.compare(0, 4, "MSCF") != 0)
        return -1;
    return static_cast<unsigned char>(header[28]) | static_cast<unsigned char>(header[29]) << 8;
}

TEST(CabRebuild, ReportsFailuresAndKeepsTheCabinetWhole) {
    SetTextLookup([](std::string_view id) { return "<" + std::string(id) + ">"; });
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string root = std::string(temp) + "twcabrebuild";
    const std::string files = root + "\\files";
    const std::string cabinets = root + "\\cabs";
    DeleteFolder(root); // what an earlier run left
    CreateDirectoryA(root.c_str(), nullptr);
    CreateDirectoryA(files.c_str(), nullptr);
    CreateDirectoryA(cabinets.c_str(), nullptr);
    Write(files + "\\vga.sys", std::string(70000, 'v'));
    Write(files + "\\display.inf", "[Version]\r\n");
    const std::string old = "not replaced";

    struct Case {
        const char* what;
        std::string dll;
        std::string cabinet;
        std::vector<std::string> names;
        std::vector<std::string> reports;
        int filesAfter;           // -1: the old content is still there
        const char* missing = ""; // calls or DLLs that cab.dll is told are missing
    };
    const Case cases[] = {
        {"all files", kDll, cabinets + "\\a.cab", {"vga.sys", "display.inf"}, {}, 2},
        {"missing folder", kDll, root + "\\gone\\c.cab", {"vga.sys"}, {"<0028>"}, -1},
        {"missing file",
         kDll,
         cabinets + "\\d.cab",
         {"ghost.sys", "vga.sys", "sub"},
         {"ghost.sys <0029>", "sub <0029>"},
         1},
        {"no files", kDll, cabinets + "\\e.cab", {}, {}, 0},
        {"blank path", kDll, "  ", {"vga.sys"}, {}, -1},
        // as when cab.dll itself is missing
        {"no cabinet.dll", kDll, cabinets + "\\f.cab", {"vga.sys"}, {"<0027>"}, -1, "cabinet.dll"},
    };
    CreateDirectoryA((files + "\\sub").c_str(), nullptr); // a folder is not a file to add
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const bool folderExists = c.cabinet.find("\\gone\\") == std::string::npos;
        if (folderExists && c.cabinet != "  ")
            Write(c.cabinet, old);
        std::vector<std::string> reports;
        int yields = 0;
        RebuildHooks hooks{[&](const std::string& m) { reports.push_back(m); }, [&] { ++yields; }};
        SetEnvironmentVariableA("TW_PRETEND_MISSING", c.missing);
        RebuildCabinet(CabLibrary(c.dll), c.cabinet, files, c.names, hooks);
        SetEnvironmentVariableA("TW_PRETEND_MISSING", nullptr);
        EXPECT_EQ(reports, c.reports);
        if (c.filesAfter >= 0) {
            EXPECT_EQ(CabinetFiles(c.cabinet), c.filesAfter);
            EXPECT_EQ(yields, static_cast<int>(c.names.size()));
        } else if (folderExists && c.cabinet != "  ") {
            EXPECT_EQ(Read(c.cabinet), old);
        }
    }
    // Nothing but the cabinets is left beside them: the temporary names were moved or removed.
    std::vector<std::string> left;
    for (const auto& found : win::ListDirectory(cabinets + "\\*", win::kListAll))
        if (found.Name[0] != '.')
            left.push_back(found.Name);
    EXPECT_EQ(left, (std::vector<std::string>{"a.cab", "d.cab", "e.cab", "f.cab"}));
}

} // namespace
} // namespace tw
