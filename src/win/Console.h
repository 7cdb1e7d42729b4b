#pragma once
// Text for whoever started the program from a command prompt: its standard output when
// that was redirected to a file or pipe, otherwise the console of the parent process.
// Started from the desktop there is neither, and the text goes nowhere.
#include "win/Handle.h"

#include <string_view>

namespace tw::win {

class ConsoleOutput {
  public:
    ConsoleOutput();
    ConsoleOutput(const ConsoleOutput&) = delete;
    ConsoleOutput& operator=(const ConsoleOutput&) = delete;
    ~ConsoleOutput();

    bool Available() const noexcept { return out_ != nullptr; }
    // Writes ANSI text as it is (the caller ends its lines).
    void Write(std::string_view text);

  private:
    HANDLE out_ = nullptr;     // the target; not owned when it is the standard output
    UniqueFileHandle console_; // CONOUT$ of the parent's console
    bool attached_ = false;
    bool isConsole_ = false;
};

} // namespace tw::win
