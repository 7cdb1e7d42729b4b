#include "clean/FsTestSupport.h"
#include "win/FileFind.h"
#include "win/Files.h"
#include "win/SystemFolders.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using namespace tw::test;

TEST(FsGeneral, ProgramFilesDirComesFromTheRegistry) {
    const char* keyPath = "Software\\Microsoft\\Windows\\CurrentVersion";
    std::string original = tw::GetProgramFilesDir();
    ASSERT_FALSE(original.empty());
    EXPECT_TRUE(IsDir(original));
    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_SET_VALUE, &key), ERROR_SUCCESS);
    const char other[] = "D:\\Apps";
    RegSetValueExA(key, "ProgramFilesDir", 0, REG_SZ, reinterpret_cast<const BYTE*>(other),
                   sizeof other);
    std::string changed = tw::GetProgramFilesDir();
    RegSetValueExA(key, "ProgramFilesDir", 0, REG_SZ,
                   reinterpret_cast<const BYTE*>(original.c_str()),
                   static_cast<DWORD>(original.size() + 1));
    RegCloseKey(key);
    EXPECT_EQ(changed, "D:\\Apps");
    EXPECT_EQ(tw::GetProgramFilesDir(), original);
}

class FsListing : public ::testing::Test {
  protected:
    void SetUp() override {
        WriteFile(dir / "plain.txt", "p");
        WriteFile(dir / "ro.txt", "r");
        AddAttributes(dir / "ro.txt", FILE_ATTRIBUTE_READONLY);
        WriteFile(dir / "hidden.txt", "h");
        AddAttributes(dir / "hidden.txt", FILE_ATTRIBUTE_HIDDEN);
        WriteFile(dir / "sys.txt", "s");
        AddAttributes(dir / "sys.txt", FILE_ATTRIBUTE_SYSTEM);
        MakeDir(dir / "sub");
        MakeDir(dir / "hiddendir");
        AddAttributes(dir / "hiddendir", FILE_ATTRIBUTE_HIDDEN);
    }
    Scratch dir{"listing"};
};

TEST_F(FsListing, AttributeRequestDecidesWhatIsSeen) {
    struct Case {
        const char* pattern;
        DWORD request;
        std::vector<std::string> names;
    };
    const Case cases[] = {
        {"*", tw::win::kListNormal, {"plain.txt", "ro.txt"}},
        {"*", tw::win::kListReadOnly, {"plain.txt", "ro.txt"}},
        {"*", tw::win::kListDirectory, {".", "..", "plain.txt", "ro.txt", "sub"}},
        {"*", tw::win::kListHidden, {"hidden.txt", "plain.txt", "ro.txt"}},
        {"*",
         tw::win::kListAll,
         {".", "..", "hidden.txt", "hiddendir", "plain.txt", "ro.txt", "sub", "sys.txt"}},
        {"*.txt", tw::win::kListSystem, {"plain.txt", "ro.txt", "sys.txt"}},
        {"sub", tw::win::kListNormal, {}},
        {"sub", tw::win::kListDirectory, {"sub"}},
        {"sub\\", tw::win::kListDirectory, {".", ".."}},
        {"p?ain.*", tw::win::kListNormal, {"plain.txt"}},
        {"missing*", tw::win::kListAll, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pattern + std::string(" request ") + std::to_string(c.request));
        std::vector<std::string> got;
        for (const auto& f : tw::win::ListDirectory(dir / c.pattern, c.request))
            got.push_back(f.Name);
        std::sort(got.begin(), got.end());
        EXPECT_EQ(got, c.names);
        EXPECT_EQ(tw::win::AnyListed(dir / c.pattern, c.request), !c.names.empty());
    }
}

TEST_F(FsListing, FileFoundAndDirFound) {
    struct Case {
        std::string path;
        bool file;
        bool dir;
    };
    const Case cases[] = {
        {dir / "plain.txt", true, true}, // a plain file counts for DirFound too
        {dir / "ro.txt", true, true},         {dir / "hidden.txt", false, false},
        {dir / "sys.txt", false, false},      {dir / "sub", false, true},
        {dir / "hiddendir", false, false},    {dir / "p*.txt", true, true},
        {dir / "missing.txt", false, false},  {dir / "a|b", false, false},
        {"Q:\\nodrive\\x.txt", false, false}, {"", false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(tw::FileFound(c.path), c.file);
        EXPECT_EQ(tw::DirFound(c.path), c.dir);
    }
}

TEST(FsGeneral, DeleteFolderTakesTheWholeTree) {
    Scratch dir("delete");
    std::string tree = dir / "tree";
    MakeDir(tree);
    MakeDir(tree + "\\a");
    MakeDir(tree + "\\a\\b");
    WriteFile(tree + "\\a\\b\\ro.dll", "x");
    AddAttributes(tree + "\\a\\b\\ro.dll", FILE_ATTRIBUTE_READONLY);
    WriteFile(tree + "\\hidden.sys", "x");
    AddAttributes(tree + "\\hidden.sys", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    MakeDir(tree + "\\rodir");
    WriteFile(tree + "\\rodir\\f", "x");
    AddAttributes(tree + "\\rodir", FILE_ATTRIBUTE_READONLY);
    WriteFile(dir / "treesibling.txt", "keep");
    MakeDir(dir / "tree2");

    tw::DeleteFolder(tree + "\\");
    EXPECT_FALSE(Exists(tree));
    EXPECT_TRUE(Exists(dir / "treesibling.txt"));
    EXPECT_TRUE(IsDir(dir / "tree2"));
}

TEST(FsGeneral, DeleteFolderLeavesAPlainFileAndMissingPathsAlone) {
    Scratch dir("deletefile");
    WriteFile(dir / "file.dat", "keep");
    tw::DeleteFolder(dir / "file.dat");
    EXPECT_TRUE(Exists(dir / "file.dat"));
    tw::DeleteFolder(dir / "missing");
    tw::DeleteDirIfExists(dir / "missing");
    tw::DeleteDirIfExists(dir / "file.dat");
    EXPECT_TRUE(Exists(dir / "file.dat"));
}

TEST(FsGeneral, DeleteFolderWithWildcardTakesEveryMatchingFolder) {
    Scratch dir("deletewild");
    MakeDir(dir / "atiA");
    WriteFile(dir / "atiA\\x", "x");
    MakeDir(dir / "atiB");
    MakeDir(dir / "atiHidden");
    AddAttributes(dir / "atiHidden", FILE_ATTRIBUTE_HIDDEN);
    WriteFile(dir / "atifile", "keep");
    MakeDir(dir / "nvidia");
    tw::DeleteFolder(dir / "ati*");
    EXPECT_FALSE(Exists(dir / "atiA"));
    EXPECT_FALSE(Exists(dir / "atiB"));
    EXPECT_TRUE(IsDir(dir / "atiHidden")) << "never seen, so never backed up: it stays";
    EXPECT_TRUE(Exists(dir / "atifile"));
    EXPECT_TRUE(IsDir(dir / "nvidia"));
}

TEST(FsGeneral, DeleteFolderDoesNotFollowALink) {
    Scratch dir("deletelink");
    MakeDir(dir / "outside");
    WriteFile(dir / "outside\\precious.txt", "keep");
    MakeDir(dir / "tree");
    if (!CreateSymbolicLinkA((dir / "tree\\link").c_str(), (dir / "outside").c_str(),
                             SYMBOLIC_LINK_FLAG_DIRECTORY))
        GTEST_SKIP() << "directory links are not available here";
    tw::DeleteFolder(dir / "tree");
    EXPECT_FALSE(Exists(dir / "tree"));
    EXPECT_EQ(ReadFile(dir / "outside\\precious.txt"), "keep");
}

TEST(FsGeneral, RemoveEmptyDirsPrunesOneLevelPerCall) {
    Scratch dir("prune");
    std::string root = dir / "root";
    MakeDir(root);
    MakeDir(root + "\\empty");
    MakeDir(root + "\\a");
    MakeDir(root + "\\a\\b");
    MakeDir(root + "\\a\\b\\c");
    MakeDir(root + "\\full");
    WriteFile(root + "\\full\\f.txt", "x");
    // Empty folders whose attributes are more than "directory" are not examined.
    const DWORD extra[] = {FILE_ATTRIBUTE_READONLY, FILE_ATTRIBUTE_HIDDEN, FILE_ATTRIBUTE_ARCHIVE};
    std::vector<std::string> marked;
    for (DWORD bit : extra) {
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

TEST(FsGeneral, RemoveEmptyDirsKeepsAFolderWithOneEmptySubfolder) {
    Scratch dir("prune1");
    std::string root = dir / "root";
    MakeDir(root);
    MakeDir(root + "\\only");
    EXPECT_TRUE(tw::RemoveEmptyDirs(root + "\\"));
    EXPECT_FALSE(Exists(root + "\\only"));
    EXPECT_TRUE(IsDir(root));
    EXPECT_TRUE(tw::RemoveEmptyDirs(root + "\\"));
    EXPECT_FALSE(Exists(root));
}

TEST(FsGeneral, RemoveEmptyDirsStopsAtTheFirstFailure) {
    EXPECT_FALSE(tw::RemoveEmptyDirs("Q:\\nodrive\\"));
    Scratch dir("prunefail");
    std::string root = dir / "root";
    MakeDir(root);
    MakeDir(root + "\\a");
    MakeDir(root + "\\b");
    // An open handle without delete sharing keeps the first listed subfolder in place.
    std::vector<std::string> order;
    for (const auto& f : tw::win::ListDirectory(root + "\\*", tw::win::kListAll))
        if (f.Name != "." && f.Name != "..")
            order.push_back(f.Name);
    ASSERT_EQ(order.size(), 2u);
    HANDLE busy = CreateFileA((root + "\\" + order[0]).c_str(), GENERIC_READ, FILE_SHARE_READ,
                              nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    ASSERT_NE(busy, INVALID_HANDLE_VALUE);
    bool result = tw::RemoveEmptyDirs(root + "\\");
    CloseHandle(busy);
    if (!Exists(root + "\\" + order[0]))
        GTEST_SKIP() << "an open folder can be removed here";
    EXPECT_FALSE(result);
    EXPECT_TRUE(IsDir(root + "\\" + order[1])) << "folders after the failure are not handled";
}

TEST(FsGeneral, ReadTextFileReadsEveryByte) {
    Scratch dir("read");
    std::string content("line\r\n\0zero\xff\nend", 16);
    WriteFile(dir / "f.txt", content);
    EXPECT_EQ(tw::ReadTextFile(dir / "f.txt"), content);
    WriteFile(dir / "empty.txt", "");
    EXPECT_EQ(tw::ReadTextFile(dir / "empty.txt"), "");
    EXPECT_EQ(tw::ReadTextFile(dir / "missing.txt"), "");
    EXPECT_EQ(tw::ReadTextFile(dir.Path()), "");
}

} // namespace
