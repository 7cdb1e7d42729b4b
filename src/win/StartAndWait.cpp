#include "win/StartAndWait.h"

#include "core/AppError.h"
#include "win/Api.h"
#include "win/Handle.h"
#include "win/MessagePump.h"

#include <windows.h>

#include <vector>

namespace tw {

namespace {
constexpr long kFileNotFound = 53;
}

unsigned long StartAndWait(const std::string& commandLine, int windowStyle) {
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = static_cast<WORD>(windowStyle);
    PROCESS_INFORMATION pi{};
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi))
        throw AppError(kFileNotFound, "StartAndWait", "File not found");
    win::UniqueHandle process(pi.hProcess);
    win::UniqueHandle thread(pi.hThread);
    thread.reset();

    HANDLE h = process.get();
    bool pumping = true;
    for (;;) {
        if (!pumping) {
            // WM_QUIT is pending for the outer loop: only the process is waited for now.
            WaitForSingleObject(h, INFINITE);
            break;
        }
        const DWORD r = win::WaitForObjectOrInput(h);
        if (r == WAIT_OBJECT_0)
            break;
        if (r == WAIT_OBJECT_0 + 1)
            pumping = win::PumpMessages();
        else if (r == WAIT_FAILED) {
            WaitForSingleObject(h, INFINITE);
            break;
        }
    }
    DWORD code = 0;
    GetExitCodeProcess(h, &code);
    return code;
}

} // namespace tw
