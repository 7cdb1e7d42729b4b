#include "backup/Restore.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

namespace {

using namespace twtest;
using tw::BackupKind;

// "<O>" in a line or path stands for the origin folder of the case.
std::string Fill(std::string text, const std::string& origin) {
    for (size_t at; (at = text.find("<O>")) != std::string::npos;)
        text.replace(at, 3, origin);
    return text;
}

// The files below `folder`, as "\\sub\\name".
std::vector<std::string> Files(const std::string& folder, const std::string& below = "") {
    std::vector<std::string> files;
    for (const std::string& name : FolderNames(folder + below)) {
        const auto more = IsDir(folder + below + "\\" + name)
                              ? Files(folder, below + "\\" + name)
                              : std::vector<std::string>{below + "\\" + name};
        files.insert(files.end(), more.begin(), more.end());
    }
    return files;
}

TEST(FsRestore, RestoreRunPutsBackTheSelectedLinesAndKeepsTheRest) {
    struct Case {
        const char* name;
        BackupKind kind;
        const char* index;               // the index text as written
        std::vector<const char*> copies; // below the run folder
        std::vector<bool> selected;      // per non-empty line
        const char* kept;                // the index text after; nullptr: deleted
        std::vector<const char*> back;   // below the origin folder
        std::vector<const char*> stays;  // copies still in the run folder
        bool runFolder;
    };
    // clang-format off
    const Case cases[] = {
        {"partial", BackupKind::File,
         "\\Windows\\a.dll, <O>\r\n\\Windows\\b.dll, <O>\r\n\\Windows\\c.dll, <O>\r\n",
         {"\\Windows\\a.dll", "\\Windows\\b.dll", "\\Windows\\c.dll"}, {true, false, true},
         "\\Windows\\b.dll, <O>\r\n", {"\\a.dll", "\\c.dll"}, {"\\Windows\\b.dll"}, true},
        {"none selected", BackupKind::File, "\\Windows\\a.dll, <O>\r\n\r\n\\Windows\\b.dll, <O>",
         {"\\Windows\\a.dll", "\\Windows\\b.dll"}, {false, false},
         "\\Windows\\a.dll, <O>\r\n\\Windows\\b.dll, <O>\r\n", {}, {"\\Windows\\a.dll", "\\Windows\\b.dll"}, true},
        {"pattern", BackupKind::File, "\\Windows\\ati*.dll, <O>\r\n\\Windows\\other.dll, <O>\r\n",
         {"\\Windows\\ati1.dll", "\\Windows\\ati2.dll", "\\Windows\\other.dll"}, {true, false},
         "\\Windows\\other.dll, <O>\r\n", {"\\ati1.dll", "\\ati2.dll"}, {"\\Windows\\other.dll"}, true},
        {"comma in the name", BackupKind::File, "\\Inf\\a,b.inf, <O>\\Inf\r\n",
         {"\\Inf\\a,b.inf"}, {true}, nullptr, {"\\Inf\\a,b.inf"}, {}, true},
        {"origin gone", BackupKind::File, "\\Windows\\gone.dll, <O>\\Gone\r\n\\Windows\\d.dll, <O>\r\n",
         {"\\Windows\\gone.dll", "\\Windows\\d.dll"}, {true, true},
         "\\Windows\\gone.dll, <O>\\Gone\r\n", {"\\d.dll"}, {"\\Windows\\gone.dll"}, true},
        {"every directory", BackupKind::Dir, "Tree, <O>\r\nTw*, <O>\\Inf\r\n",
         {"\\Tree\\sub\\f.txt", "\\Tree\\g.txt", "\\Tw1\\x.txt", "\\Tw2\\y.txt"}, {true, true}, nullptr,
         {"\\Inf\\Tw1\\x.txt", "\\Inf\\Tw2\\y.txt", "\\Tree\\g.txt", "\\Tree\\sub\\f.txt"}, {}, false},
        {"same-named folders", BackupKind::Dir, "Tree, <O>\r\nTree, <O>\\Inf\r\n", {"\\Tree\\f.txt"},
         {true, true}, nullptr, {"\\Inf\\Tree\\f.txt", "\\Tree\\f.txt"}, {}, false},
        {"one of two same-named", BackupKind::Dir, "Tree, <O>\r\nTree, <O>\\Inf\r\n", {"\\Tree\\f.txt"},
         {true, false}, "Tree, <O>\\Inf\r\n", {"\\Tree\\f.txt"}, {"\\Tree\\f.txt"}, true},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Scratch prog("restore"), origin("origin");
        MakeDir(origin / "Inf");
        const std::string run = c.kind == BackupKind::File ? "r_F_FileBackup" : "r_F_DirBackup";
        const std::string folder = prog / "Backup\\" + run;
        MakeDir(prog / "Backup");
        MakeDir(folder);
        WriteAll(tw::RunIndexPath(prog.Path(), run, c.kind), Fill(c.index, origin.Path()));
        for (const std::string copy : c.copies) {
            const std::string path = folder + copy;
            for (size_t at = folder.size() + 1; (at = path.find('\\', at)) != std::string::npos;)
                MakeDir(path.substr(0, at++));
            WriteAll(path, copy);
        }

        tw::RestoreRun(prog.Path(), run, c.kind, tw::LoadIndex(prog.Path(), run, c.kind),
                       c.selected);

        const std::string index = tw::RunIndexPath(prog.Path(), run, c.kind);
        EXPECT_EQ(ReadAll(index), c.kept ? Fill(c.kept, origin.Path()) : "");
        EXPECT_EQ(Exists(index), c.kept != nullptr);
        // each file that came back holds its copy's content; nothing else came
        EXPECT_EQ(Files(origin.Path()), std::vector<std::string>(c.back.begin(), c.back.end()));
        for (const std::string path : c.back)
            EXPECT_TRUE(ReadAll(origin.Path() + path).ends_with(path.substr(path.rfind('\\'))))
                << path;
        std::vector<std::string> stays;
        for (const char* copy : c.copies)
            if (Exists(folder + copy))
                stays.push_back(copy);
        EXPECT_EQ(stays, std::vector<std::string>(c.stays.begin(), c.stays.end()));
        EXPECT_EQ(IsDir(folder), c.runFolder);
    }
}

} // namespace
