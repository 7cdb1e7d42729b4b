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
        if (m == WM_APP + 1) {
            ++seen;
            return 0;
        }
        return DefWindowProcA(h, m, w, l);
    }
};

TEST_F(StartAndWaitTest, ReturnsTheExitCodeAndAProgramThatCannotStartIsAnError) {
    const std::string out = programFolder_ + "\\out put.txt";
    EXPECT_EQ(tw::StartAndWait("cmd.exe /c echo done>\"" + out + "\"", 0), 0u);
    EXPECT_EQ(ReadAll(out).substr(0, 4), "done");
    EXPECT_EQ(tw::StartAndWait("cmd.exe /c exit 3", 0), 3u);
    try {
        tw::StartAndWait("tw-no-such-program.exe", 0);
        ADD_FAILURE() << "no error for a program that cannot start";
    } catch (const tw::AppError& e) {
        EXPECT_EQ(e.number(), 53);
    }
}

TEST_F(StartAndWaitTest, DispatchesMessagesWhileItWaits) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = Recorder::Proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "TwWaitTestWindow";
    RegisterClassA(&wc);
    HWND w = CreateWindowA("TwWaitTestWindow", "", 0, 0, 0, 1, 1, HWND_MESSAGE, nullptr,
                           wc.hInstance, nullptr);
    ASSERT_TRUE(w);
    Recorder::seen = 0;
    PostMessageA(w, WM_APP + 1, 0, 0);
    tw::StartAndWait("cmd.exe /c exit 0", 0);
    EXPECT_EQ(Recorder::seen, 1);
    DestroyWindow(w);
}

TEST_F(StartAndWaitTest, AQuitMessageIsKeptForTheOuterLoop) {
    const std::string out = programFolder_ + "\\quit.txt";
    PostQuitMessage(4);
    tw::StartAndWait("cmd.exe /c echo x>\"" + out + "\"", 0);
    EXPECT_TRUE(Exists(out));
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(msg.wParam, 4u);
}

class RegistryBackup : public RegistryFixture {
  protected:
    std::string Folder() const {
        return tw::RunFolderPath(programFolder_, "R", "F", tw::BackupKind::Reg);
    }
    std::string Index() const {
        return tw::IndexPath(programFolder_, "R", "F", tw::BackupKind::Reg);
    }
    void MakeFolders() {
        CreateDirectoryA((programFolder_ + "\\Backup").c_str(), nullptr);
        ASSERT_TRUE(CreateDirectoryA(Folder().c_str(), nullptr));
    }
    RegistryBackupResult Backup(const std::string& counter, const std::string& path,
                                HKEY root = HKEY_CURRENT_USER,
                                const std::string& rootName = "HKEY_CURRENT_USER") {
        return tw::BackupRegistryKey(counter, "F", "R", path, rootName, root, programFolder_);
    }
};

TEST_F(RegistryBackup, AStaleFileOfTheSameNameIsNoExport) {
    // what an earlier run with the same run name may have left
    MakeFolders();
    CreateKey(kCU, kBase + "\\K");
    const std::string stale = Folder() + "\\K1.dat";
    ASSERT_TRUE(tw::AppendTextLine(stale.c_str(), "old"));
    {
        // held open without sharing: the registry tool cannot replace it
        HANDLE held =
            CreateFileA(stale.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
        EXPECT_EQ(Backup("1", kBase + "\\K"), RegistryBackupResult::ExportFailed);
        CloseHandle(held);
    }
    EXPECT_EQ(ReadAll(stale), "old\r\n");

    const std::string writable = Folder() + "\\K2.dat";
    ASSERT_TRUE(tw::AppendTextLine(writable.c_str(), "old"));
    EXPECT_EQ(Backup("2", kBase + "\\K"), RegistryBackupResult::Exported);
    EXPECT_NE(ReadExportText(writable).find("[HKEY_CURRENT_USER"), std::string::npos);
}

} // namespace
