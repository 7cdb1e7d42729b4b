#include "backup/rules/FileBackupRules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(FileBackupRules, SpecialFolderTable) {
    const struct {
        const char* entry;
        const char* kind;
        const char* subFolder;
        std::vector<std::string> makeFirst;
        bool onlyWhenMissing = false;
    } cases[] = {
        {"\\Inf\\Other\\x.pnf", "1", "\\Inf\\Other", {"\\Inf", "\\Inf\\Other"}, true},
        {"\\Inf\\OtherStuff.pnf", "1", "\\Inf\\Other", {"\\Inf", "\\Inf\\Other"}, true},
        {"\\Inf\\oem3.inf", "1", "\\Inf", {"\\Inf"}},
        {"\\Information\\x.dat", "1", "\\Inf", {"\\Inf"}},
        {"\\INF\\x.inf", "1", "\\Windows", {"\\Windows"}},
        {"\\Help\\nv.chm", "1", "\\Help", {"\\Help"}},
        {"\\Prefetch\\ATI.pf", "1", "\\Prefetch", {"\\Prefetch"}},
        {"\\ServicePackFiles\\a.sys", "1", "\\ServicePackFiles", {"\\ServicePackFiles"}},
        {"\\ReinstallBackups\\a.inf", "1", "\\ReinstallBackups", {"\\ReinstallBackups"}},
        {"\\Drivers\\x.sys", "2", "\\Drivers", {"\\Drivers"}},
        {"\\nview\\a.tvp", "2", "\\nview", {"\\nview"}},
        {"\\NView\\a.tvp", "2", "\\System", {"\\System"}},
        {"\\LastGood\\System32\\a",
         "1",
         "\\LastGood\\System32",
         {"\\LastGood", "\\LastGood\\System32"}},
        {"\\LastGood\\a.dll", "1", "\\Windows", {"\\Windows"}},
        {"\\Catroot\\{x}\\nv.cat", "2", "\\Catroot", {"\\Catroot"}},
        {"\\System32\\Drivers\\x.sys", "1", "\\Windows", {"\\Windows"}},
        {"\\ati2dvag.dll", "2", "\\System", {"\\System"}},
        {"\\ati2dvag.dll", "3", "\\System", {"\\System"}},
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
