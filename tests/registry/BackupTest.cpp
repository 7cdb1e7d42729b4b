#include "RegTestUtil.h"
#include "backup/BackupStore.h"
#include "backup/RegistryBackup.h"
#include "core/AppError.h"
#include "core/TextFile.h"
#include "win/StartAndWait.h"

namespace {

using namespace regtest;
using tw::RegistryBackupResult;

const HKEY kCU = HKEY_CURRENT_USER;
const std::string kBase = std::string(kTestKey) + "\\Bak";

class StartAndWaitTest : public RegistryFixture {};

struct Recorder {
    static inline int seen = 0;
    static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
        seen += m == WM_APP + 1;
        return DefWindowProcA(h, m, w, l);
    }
};

// The program's exit code, messages dispatched while it runs, a WM_QUIT met on the way
// kept for the outer loop, and error 53 for a program that cannot start.
TEST_F(StartAndWaitTest, WaitsServingMessagesAndKeepsAQuit) {
    HWND w = MessageWindow("TwWaitTestWindow", Recorder::Proc);
    ASSERT_TRUE(w);
    Recorder::seen = 0;
    PostMessageA(w, WM_APP + 1, 0, 0);
    PostQuitMessage(4);
    const std::string out = programFolder_ + "\\out put.txt";
    EXPECT_EQ(tw::StartAndWait("cmd.exe /c echo done>\"" + out + "\"", 0), 0u);
    EXPECT_EQ(ReadAll(out).substr(0, 4), "done");
    EXPECT_EQ(Recorder::seen, 1);
    ExpectQuitWaiting(4);
    DestroyWindow(w);
    EXPECT_EQ(tw::StartAndWait("cmd.exe /c exit 3", 0), 3u);
    try {
        tw::StartAndWait("tw-no-such-program.exe", 0);
        ADD_FAILURE() << "no error for a program that cannot start";
    } catch (const tw::AppError& e) {
        EXPECT_EQ(e.number(), 53);
    }
}

class RegistryBackup : public RegistryFixture {};

// What an earlier run with the same run name may have left: held open without sharing, the
// registry tool cannot replace it.
TEST_F(RegistryBackup, AStaleFileOfTheSameNameIsNoExport) {
    const std::string folder = tw::RunFolderPath(programFolder_, "R", "F", tw::BackupKind::Reg);
    MakeDir(programFolder_ + "\\Backup");
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    CreateKey(kCU, kBase + "\\K");
    auto backup = [&](const std::string& counter) {
        return tw::BackupRegistryKey(counter, "F", "R", kBase + "\\K", "HKEY_CURRENT_USER", kCU,
                                     programFolder_);
    };
    const std::string stale = folder + "\\K1.dat", writable = folder + "\\K2.dat";
    ASSERT_TRUE(tw::AppendTextLine(stale.c_str(), "old"));
    ASSERT_TRUE(tw::AppendTextLine(writable.c_str(), "old"));
    HANDLE held = CreateFileA(stale.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_EQ(backup("1"), RegistryBackupResult::ExportFailed);
    CloseHandle(held);
    EXPECT_EQ(ReadAll(stale), "old\r\n");
    EXPECT_EQ(backup("2"), RegistryBackupResult::Exported);
    EXPECT_NE(ReadExportText(writable).find("[HKEY_CURRENT_USER"), std::string::npos);
}

} // namespace
