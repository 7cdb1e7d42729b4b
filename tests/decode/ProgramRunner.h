#pragma once
// Runs a program of this build and returns its exit code, its error output in a file.
#include <filesystem>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/wait.h>
#endif

namespace tw::testing {

inline std::string Quote(const std::string& s) {
    return "\"" + s + "\"";
}

inline int RunProgram(const std::string& program, const std::vector<std::string>& args,
                      const std::filesystem::path& errorOutput) {
#ifdef _WIN32
    std::string command = Quote(program);
    for (const auto& a : args)
        command += " " + Quote(a);
    // The program gets the error file and nothing else of ours: not our own output (the
    // test runner waits for it to close), and no console of its own (a new console would
    // start helper processes that outlive the test).
    for (DWORD std : {STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE})
        SetHandleInformation(GetStdHandle(std), HANDLE_FLAG_INHERIT, 0);
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    HANDLE err = CreateFileA(errorOutput.string().c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                             CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    HANDLE nul = CreateFileA("NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                             OPEN_EXISTING, 0, nullptr);
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = nul;
    si.hStdOutput = err;
    si.hStdError = err;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, DETACHED_PROCESS, nullptr,
                        nullptr, &si, &pi)) {
        CloseHandle(nul);
        CloseHandle(err);
        return -1;
    }
    WaitForSingleObject(pi.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    CloseHandle(nul);
    CloseHandle(err);
    return static_cast<int>(code);
#else
    std::string command = Quote(program);
    for (const auto& a : args)
        command += " " + Quote(a);
    command += " 2>" + Quote(errorOutput.string()) + " >&2";
    int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
}

// The path of a program of this build as the test sees it (a Z: path under Wine).
inline std::string BuildPath(std::string unixPath) {
#ifdef _WIN32
    for (char& c : unixPath)
        if (c == '/')
            c = '\\';
    return "Z:" + unixPath;
#else
    return unixPath;
#endif
}

} // namespace tw::testing
