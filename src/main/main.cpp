// Tracewipe.exe: with arguments, an unattended run of the command line; without, it
// registers the forms, shows the splash and runs the message loop until the last form
// has unloaded.
#include "HandOver.h"
#include "app/ShellForms.h"
#include "app/forms/Forms.h"
#include "app/modLanguage.h"
#include "backup/forms/BackupForms.h"
#include "cab/frmCC.h"
#include "clean/CleaningForms.h"
#include "clean/CommandRun.h"
#include "core/Text.h"
#include "win/CommonControls.h"

#include <windows.h>

#include <shellapi.h>

#include <string>
#include <vector>

namespace {

// The arguments after the program's name, as ANSI text.
std::vector<std::string> Arguments() {
    std::vector<std::string> args;
    int count = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!argv)
        return args;
    for (int i = 1; i < count; ++i) {
        const int size = WideCharToMultiByte(CP_ACP, 0, argv[i], -1, nullptr, 0, nullptr, nullptr);
        std::string arg(size > 0 ? size : 1, '\0');
        WideCharToMultiByte(CP_ACP, 0, argv[i], -1, arg.data(), size, nullptr, nullptr);
        arg.resize(arg.find('\0'));
        args.push_back(std::move(arg));
    }
    LocalFree(argv);
    return args;
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    try {
        tw::SetTextLookup(&tw::GetLanguageText);
        const std::vector<std::string> args = Arguments();
#ifndef _WIN64
        if (tw::RunsOnWow64())
            return tw::HandOverTo64Bit(args);
#endif
        if (!args.empty())
            return tw::RunCommandLine(args);
        tw::win::InitCommonControls();
        tw::RegisterShellForms();
        tw::RegisterCleaningForms();
        tw::RegisterBackupForms();
        tw::RegisterCabForms();
        if (!tw::Forms::Show("frmStart"))
            return 0; // a second instance: it ends silently
        return tw::Forms::RunMessageLoop();
    } catch (const tw::HandlerNameError& e) {
        FatalAppExitA(0, e.what()); // a window bound a handler to a name it does not have
        return 1;
    } catch (...) {
        return 1;
    }
}
