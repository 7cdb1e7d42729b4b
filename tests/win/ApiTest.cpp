// Each call that older Windows lack is run once through the system and once through its
// fallback (the call pretended missing); both must give the same results.
#include "win/Api.h"
#include "app/OSInfo.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

using namespace twtest;
namespace api = tw::win;

// Attributes, size and times of each path ("-" when not found); a root has attributes only.
std::string Attributes(const Scratch& dir) {
    std::string out;
    for (const std::string& path :
         {dir / "Long File Name.txt", ShortName(dir / "Long File Name.txt"), dir / "sub",
          dir / "sub\\", dir / "Long File Name.txt\\", dir / "missing", dir / "missing\\x",
          dir / "Long*.txt", dir / "hidden", std::string("C:\\"), std::string("C:")}) {
        WIN32_FILE_ATTRIBUTE_DATA d;
        out += path + ": ";
        if (!api::FileAttributes(path, d))
            out += "-";
        else if (path.size() <= 3) // a root has no entry of its own
            out += std::to_string(d.dwFileAttributes);
        else
            for (DWORD n : {d.dwFileAttributes, d.nFileSizeHigh, d.nFileSizeLow,
                            d.ftLastWriteTime.dwLowDateTime, d.ftCreationTime.dwLowDateTime,
                            d.ftLastAccessTime.dwHighDateTime})
                out += std::to_string(n) + " ";
        out += "\n";
    }
    return out;
}

std::string LongPaths(const Scratch& dir) {
    const std::string shortSub = ShortName(dir / "Long Folder Name");
    std::string out;
    for (const std::string& path :
         {shortSub + "\\Long File Name.txt", ShortName(shortSub + "\\Long File Name.txt"),
          shortSub + "\\missing\\more", shortSub + "\\", dir / "missing", std::string("C:\\")})
        out += api::LongPathName(path) + "\n";
    return out;
}

std::string VersionAnswers() {
    const tw::OSInfo os;
    std::string out = os.IsVerifySupported() ? "" : "no VerifyVersionInfo ";
    for (int type = 1; type <= 5; ++type)
        for (int major : {4, 5, 6, 10})
            out += os.CompareVersion(major, 0, -1, -1, -1, type, true) ? '1' : '0';
    return out;
}

// The roots of a top-level window, its child, grandchild and owned pop-up, and of no window.
std::string Roots() {
    auto make = [](DWORD style, HWND parent) {
        return CreateWindowExA(0, "STATIC", "", style, 0, 0, 10, 10, parent, nullptr, nullptr,
                               nullptr);
    };
    HWND top = make(WS_OVERLAPPEDWINDOW, nullptr);
    HWND child = make(WS_CHILD, top);
    HWND grandchild = make(WS_CHILD, child);
    HWND popup = make(WS_POPUP, top);
    std::string out;
    for (HWND w : {top, child, grandchild, popup, HWND{}}) {
        HWND root = api::RootWindow(w);
        out += root == top ? "top " : root == popup ? "popup " : root ? "other " : "none ";
    }
    DestroyWindow(top); // and the windows it owns
    return out;
}

// What the wait answers for a signalled event, and for input with the event not signalled.
std::string Waits() {
    HANDLE event = CreateEventA(nullptr, TRUE, TRUE, nullptr);
    std::string out = std::to_string(api::WaitForObjectOrInput(event));
    ResetEvent(event);
    PostThreadMessageA(GetCurrentThreadId(), WM_APP, 0, 0);
    out += " " + std::to_string(api::WaitForObjectOrInput(event));
    for (MSG msg; PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);)
        continue;
    CloseHandle(event);
    return out;
}

// A move over an existing file, and of a missing file.
std::string Moves(const Scratch& dir) {
    WriteAll(dir / "from", "new");
    WriteAll(dir / "to", "old");
    std::string out;
    for (const char* from : {"from", "missing"})
        out += std::to_string(api::MoveReplacing((dir / from).c_str(), (dir / "to").c_str(),
                                                 MOVEFILE_REPLACE_EXISTING)) +
               ReadAll(dir / "to") + std::to_string(Exists(dir / "from")) + " ";
    RemoveTree(dir / "to");
    return out;
}

TEST(Api, EachFallbackGivesWhatTheSystemCallGives) {
    Scratch dir("api");
    WriteAll(dir / "Long File Name.txt", "twelve bytes");
    WriteAll(dir / "hidden", "x");
    AddAttributes(dir / "hidden", FILE_ATTRIBUTE_HIDDEN);
    MakeDir(dir / "sub");
    MakeDir(dir / "Long Folder Name");
    WriteAll(dir / "Long Folder Name\\Long File Name.txt", "x");

    struct Case {
        const char* missing; // the call (or DLL) pretended missing
        std::function<std::string()> run;
        bool ntOnly = false; // 9x has no userenv.dll: its profile folder is %windir%\Profiles
    };
    const Case cases[] = {
        {"GetFileAttributesExA", [&] { return Attributes(dir); }},
        {"GetLongPathNameA", [&] { return LongPaths(dir); }},
        {"VerifyVersionInfoA", VersionAnswers},
        {"AttachConsole", [] { return std::to_string(api::AttachParentConsole()); }},
        {"GetAncestor", Roots},
        {"EnumDisplayDevicesA", api::DisplayAdapterName},
        {"MsgWaitForMultipleObjectsEx", Waits},
        {"GetProfilesDirectoryA", api::ProfilesDirectory, true},
        {"userenv.dll", api::ProfilesDirectory, true},
        {"MoveFileExA", [&] { return Moves(dir); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.missing);
        if (c.ntOnly && (GetVersion() & 0x80000000))
            continue; // Wine pretending 9x still has userenv.dll
        const std::string real = c.run();
        api::PretendMissing(c.missing);
        EXPECT_EQ(c.run(), real);
        api::PretendMissing("");
    }
}

} // namespace
