#include "backup/rules/FileBackupRules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(FileBackupRules, SpecialFolderTable) {
    struct Case {
        const char* entry;
        const char* kind;
        const char* subFolder;
        std::vector<std::string> makeFirst;
        bool onlyWhenMissing;
    };
    const Case cases[] = {
        {"\\Inf\\Other\\x.pnf", "1", "\\Inf\\Other", {"\\Inf", "\\Inf\\Other"}, true},
        {"\\Inf\\OtherStuff.pnf", "1", "\\Inf\\Other", {"\\Inf", "\\Inf\\Other"}, true},
        {"\\Inf\\oem3.inf", "1", "\\Inf", {"\\Inf"}, false},
        {"\\Information\\x.dat", "1", "\\Inf", {"\\Inf"}, false},
        {"\\INF\\x.inf", "1", "\\Windows", {"\\Windows"}, false},
        {"\\Help\\nv.chm", "1", "\\Help", {"\\Help"}, false},
        {"\\Prefetch\\ATI.pf", "1", "\\Prefetch", {"\\Prefetch"}, false},
        {"\\ServicePackFiles\\a.sys", "1", "\\ServicePackFiles", {"\\ServicePackFiles"}, false},
        {"\\ReinstallBackups\\a.inf", "1", "\\ReinstallBackups", {"\\ReinstallBackups"}, false},
        {"\\Drivers\\x.sys", "2", "\\Drivers", {"\\Drivers"}, false},
        {"\\nview\\a.tvp", "2", "\\nview", {"\\nview"}, false},
        {"\\NView\\a.tvp", "2", "\\System", {"\\System"}, false},
        {"\\LastGood\\System32\\a.dll",
         "1",
         "\\LastGood\\System32",
         {"\\LastGood", "\\LastGood\\System32"},
         false},
        {"\\LastGood\\a.dll", "1", "\\Windows", {"\\Windows"}, false},
        {"\\Catroot\\{x}\\nv.cat", "2", "\\Catroot", {"\\Catroot"}, false},
        {"\\System32\\Drivers\\x.sys", "1", "\\Windows", {"\\Windows"}, false},
        {"\\ati2dvag.dll", "2", "\\System", {"\\System"}, false},
        {"\\ati2dvag.dll", "3", "\\System", {"\\System"}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.entry) + " kind " + c.kind);
        auto row = tw::BackupSubFolderFor(c.entry, c.kind);
        EXPECT_EQ(row.SubFolder, c.subFolder);
        EXPECT_EQ(std::vector<std::string>(row.MakeFirst.begin(), row.MakeFirst.end()),
                  c.makeFirst);
        EXPECT_EQ(row.MakeFirstOnlyWhenMissing, c.onlyWhenMissing);
    }
}

} // namespace
