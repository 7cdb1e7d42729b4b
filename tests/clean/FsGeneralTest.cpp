#include "support/TestFiles.h"
#include "win/Files.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace twtest;

// Each case deletes `target` below a fresh folder holding a tree with read-only and hidden
// parts, a look-alike file, a hidden look-alike folder and a link to a folder outside it.
TEST(FsGeneral, DeleteFolderCases) {
    const struct {
        const char* target;
        std::vector<std::string> gone, kept;
    } cases[] = {
        {"ati\\", {"ati"}, {"ati2", "atifile", "atiHidden", "outside\\precious.txt"}},
        {"ati*", {"ati", "ati2"}, {"atifile", "atiHidden", "outside\\precious.txt"}},
        {"atifile", {}, {"atifile", "ati"}},
        {"missing", {}, {"ati", "atifile"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.target);
        Scratch dir("delete");
        MakeFiles(dir.Path(), {"ati\\a\\b\\ro.dll", "ati\\hidden.sys", "ati\\rodir\\f", "ati2\\",
                               "atifile=keep", "outside\\precious.txt=keep", "atiHidden\\"});
        AddAttributes(dir / "ati\\a\\b\\ro.dll", FILE_ATTRIBUTE_READONLY);
        AddAttributes(dir / "ati\\hidden.sys", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
        AddAttributes(dir / "ati\\rodir", FILE_ATTRIBUTE_READONLY);
        AddAttributes(dir / "atiHidden", FILE_ATTRIBUTE_HIDDEN); // never seen: it stays
        CreateSymbolicLinkA((dir / "ati\\link").c_str(), (dir / "outside").c_str(),
                            SYMBOLIC_LINK_FLAG_DIRECTORY);
        tw::DeleteFolder(dir / c.target);
        tw::DeleteDirIfExists(dir / "atifile");
        for (const std::string& p : c.gone)
            EXPECT_FALSE(Exists(dir / p)) << p;
        for (const std::string& p : c.kept)
            EXPECT_TRUE(Exists(dir / p)) << p;
        EXPECT_EQ(ReadAll(dir / "outside\\precious.txt"), "keep") << "the link was followed";
    }
}

TEST(FsGeneral, RemoveEmptyDirsPrunesOneLevelPerCall) {
    Scratch dir("prune");
    const std::string root = dir / "root";
    MakeFiles(dir.Path(), {"root\\empty\\", "root\\a\\b\\c\\", "root\\full\\f.txt"});
    // Empty folders whose attributes are more than "directory" are not examined.
    std::vector<std::string> marked;
    for (DWORD bit : {FILE_ATTRIBUTE_READONLY, FILE_ATTRIBUTE_HIDDEN, FILE_ATTRIBUTE_ARCHIVE}) {
        std::string path = root + "\\marked" + std::to_string(bit);
        MakeDir(path);
        AddAttributes(path, bit);
        if (GetFileAttributesA(path.c_str()) & bit)
            marked.push_back(path);
    }
    ASSERT_FALSE(marked.empty());

    EXPECT_TRUE(tw::RemoveEmptyDirs(root + "\\"));
    EXPECT_FALSE(Exists(root + "\\empty"));
    EXPECT_FALSE(Exists(root + "\\a\\b\\c"));
    EXPECT_TRUE(IsDir(root + "\\a\\b")); // became empty by this call: stays till the next
    EXPECT_TRUE(IsDir(root + "\\full"));
    for (const auto& path : marked)
        EXPECT_TRUE(IsDir(path)) << path;

    EXPECT_TRUE(tw::RemoveEmptyDirs(root + "\\"));
    EXPECT_FALSE(Exists(root + "\\a\\b"));
    EXPECT_TRUE(IsDir(root + "\\a"));
}

} // namespace
