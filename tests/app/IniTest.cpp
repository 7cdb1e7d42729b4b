#include "app/INI.h"
#include "win/ProgramFolder.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace {

class IniTest : public ::testing::Test {
  protected:
    void SetUp() override { DeleteFileA(Path().c_str()); }
    void TearDown() override { DeleteFileA(Path().c_str()); }
    static std::string Path() { return tw::ProgramFolder() + "\\initest.ini"; }
};

TEST_F(IniTest, MissingKeyGivesTheDefault) {
    EXPECT_EQ(tw::ReadINI("initest.ini", "PROGRAM", "Interface", "?"), "?");
    tw::WriteINI("initest.ini", "PROGRAM", "Interface", "Normal");
    EXPECT_EQ(tw::ReadINI("initest.ini", "PROGRAM", "Interface", "?"), "Normal");
    EXPECT_EQ(tw::ReadINI("initest.ini", "PROGRAM", "Wizard", "?"), "?");
}

TEST_F(IniTest, LongValueReadsBackAs254Characters) {
    std::string value(300, 'x');
    for (size_t i = 0; i < value.size(); ++i)
        value[i] = static_cast<char>('a' + i % 26);
    WritePrivateProfileStringA("PROGRAM", "Long", value.c_str(), Path().c_str());
    EXPECT_EQ(tw::ReadINI("initest.ini", "PROGRAM", "Long", "?"), value.substr(0, 254));
}

TEST_F(IniTest, LineBreaksAreStoredAsSpaces) {
    tw::WriteINI("initest.ini", "PROGRAM", "Text", "one\r\ntwo\nthree\rfour");
    EXPECT_EQ(tw::ReadINI("initest.ini", "PROGRAM", "Text", "?"), "one  two three four");
}

} // namespace
