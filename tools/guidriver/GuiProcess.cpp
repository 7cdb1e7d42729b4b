#include "GuiDriver.h"

#include "WideText.h"

namespace tw::gui {

Process& Process::operator=(Process&& o) noexcept {
    if (this != &o) {
        Kill();
        process_ = std::move(o.process_);
        id_ = std::exchange(o.id_, 0);
    }
    return *this;
}

Process::~Process() {
    Kill();
}

Process Process::Launch(const std::string& commandLine, const std::string& workDir,
                        const std::string& outputFile) {
    STARTUPINFOA si{};
    si.cb = sizeof si;
    tw::win::UniqueFileHandle out;
    if (!outputFile.empty()) {
        SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
        out.reset(CreateFileA(outputFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &sa,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!out)
            throw DriverError("cannot create " + outputFile);
        si.dwFlags = STARTF_USESTDHANDLES;
        si.hStdOutput = out.get();
        si.hStdError = out.get();
    }
    PROCESS_INFORMATION pi{};
    std::string cmd = commandLine;
    if (!CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, out ? TRUE : FALSE, 0, nullptr,
                        workDir.empty() ? nullptr : workDir.c_str(), &si, &pi))
        throw DriverError("cannot start: " + commandLine + " (error " +
                          std::to_string(GetLastError()) + ")");
    CloseHandle(pi.hThread);
    Process p;
    p.process_.reset(pi.hProcess);
    p.id_ = pi.dwProcessId;
    return p;
}

bool Process::Running() const noexcept {
    return process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT;
}

std::optional<DWORD> Process::WaitForExit(DWORD timeoutMs) {
    if (!process_ || WaitForSingleObject(process_.get(), timeoutMs) != WAIT_OBJECT_0)
        return std::nullopt;
    DWORD code = 0;
    GetExitCodeProcess(process_.get(), &code);
    return code;
}

std::string Process::State() const {
    if (!process_)
        return "not started";
    if (Running())
        return "running";
    DWORD code = 0;
    GetExitCodeProcess(process_.get(), &code);
    return "ended with exit code " + std::to_string(code);
}

void Process::Kill() noexcept {
    if (Running()) {
        TerminateProcess(process_.get(), 1);
        WaitForSingleObject(process_.get(), kSendTimeoutMs);
    }
}

} // namespace tw::gui
