#include "win/Console.h"

#include "win/Api.h"

#include <algorithm>

namespace tw::win {

ConsoleOutput::ConsoleOutput() {
    HANDLE std = GetStdHandle(STD_OUTPUT_HANDLE);
    if (std && std != INVALID_HANDLE_VALUE && GetFileType(std) != FILE_TYPE_UNKNOWN) {
        out_ = std;
    } else if (AttachParentConsole()) {
        attached_ = true;
        console_.reset(CreateFileA("CONOUT$", GENERIC_READ | GENERIC_WRITE,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                   nullptr));
        if (console_)
            out_ = console_.get();
    }
    DWORD mode = 0;
    isConsole_ = out_ && GetConsoleMode(out_, &mode);
}

ConsoleOutput::~ConsoleOutput() {
    console_.reset();
    if (attached_)
        FreeConsole();
}

void ConsoleOutput::Write(std::string_view text) {
    while (out_ && !text.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(text.size(), 16384));
        DWORD written = 0;
        const bool ok = isConsole_ ? WriteConsoleA(out_, text.data(), chunk, &written, nullptr)
                                   : WriteFile(out_, text.data(), chunk, &written, nullptr);
        if (!ok || written == 0)
            return;
        text.remove_prefix(written);
    }
}

} // namespace tw::win
