#include "HandOver.h"

#include "app/modLanguage.h"
#include "clean/CommandRun.h"
#include "clean/rules/CommandLine.h"
#include "core/Text.h"
#include "win/Api.h"
#include "win/Handle.h"
#include "win/ProgramFolder.h"

#include <windows.h>

namespace tw {

namespace {

// The command line after the program's own name (with the blank before it): quoted or
// not, the name ends where the system's own parsing ends it.
std::string ArgumentText() {
    const char* p = GetCommandLineA();
    if (*p == '"') {
        ++p;
        while (*p && *p != '"')
            ++p;
        if (*p)
            ++p;
    } else {
        while (*p && *p != ' ' && *p != '\t')
            ++p;
    }
    return p;
}

// An inheritable copy of a standard handle of this process (null when it has none).
win::UniqueHandle InheritableStd(DWORD which) {
    HANDLE h = GetStdHandle(which);
    win::UniqueHandle copy;
    if (h && h != INVALID_HANDLE_VALUE)
        DuplicateHandle(GetCurrentProcess(), h, GetCurrentProcess(), copy.put(), 0, TRUE,
                        DUPLICATE_SAME_ACCESS);
    return copy;
}

int Refuse(const std::vector<std::string>& args, const std::string& program) {
    UseLanguageInMemory();
    const std::string text = LookupText("2140") + " " + program;
    if (args.empty()) {
        MessageBoxA(nullptr, text.c_str(), "Tracewipe", MB_OK | MB_ICONSTOP);
    } else {
        const std::optional<CommandLine> line = ParseCommandLine(args);
        EmitCommandOutput({text}, line ? line->Report : std::string());
    }
    return kExitNo64Bit;
}

} // namespace

bool RunsOnWow64() {
    // XP SP2 and later: older Windows has no 64-bit half either
    static const win::LateCall<BOOL(WINAPI*)(HANDLE, PBOOL)> isWow64Process("kernel32.dll",
                                                                            "IsWow64Process");
    const auto isWow64 = isWow64Process.get();
    BOOL wow64 = FALSE;
    return isWow64 && isWow64(GetCurrentProcess(), &wow64) && wow64;
}

int HandOverTo64Bit(const std::vector<std::string>& args) {
    const std::string program = ProgramFolder() + "\\" + k64BitProgram;
    const DWORD attributes = GetFileAttributesA(program.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return Refuse(args, program);

    STARTUPINFOA si{};
    GetStartupInfoA(&si);
    STARTUPINFOA child{};
    child.cb = sizeof child;
    child.dwFlags = si.dwFlags & STARTF_USESHOWWINDOW;
    child.wShowWindow = si.wShowWindow;
    // Output redirected to a file or pipe goes on there; a console this process was started
    // from is joined first, so that the child finds it as its parent's console.
    win::UniqueHandle in = InheritableStd(STD_INPUT_HANDLE);
    win::UniqueHandle out = InheritableStd(STD_OUTPUT_HANDLE);
    win::UniqueHandle err = InheritableStd(STD_ERROR_HANDLE);
    if (out && GetFileType(out.get()) != FILE_TYPE_UNKNOWN) {
        child.dwFlags |= STARTF_USESTDHANDLES;
        child.hStdInput = in.get();
        child.hStdOutput = out.get();
        child.hStdError = err ? err.get() : out.get();
    } else {
        win::AttachParentConsole();
    }

    std::string line = "\"" + program + "\"" + ArgumentText();
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(program.c_str(), line.data(), nullptr, nullptr,
                        (child.dwFlags & STARTF_USESTDHANDLES) ? TRUE : FALSE, 0, nullptr, nullptr,
                        &child, &pi))
        return Refuse(args, program);
    win::UniqueHandle process(pi.hProcess);
    win::UniqueHandle thread(pi.hThread);
    WaitForSingleObject(process.get(), INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(process.get(), &code);
    return static_cast<int>(code);
}

} // namespace tw
