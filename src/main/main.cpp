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
#include "core/ArgumentSplit.h"
#include "core/Text.h"
#include "win/Api.h"
#include "win/CommonControls.h"

#include <windows.h>

#include <string>
#include <vector>

namespace {

// The arguments after the program's name. CommandLineToArgvW is a stub on the 9x line, so the
// ANSI command line is split here by its rules.
std::vector<std::string> Arguments() {
    return tw::SplitArguments(GetCommandLineA(),
                              [](unsigned char c) { return IsDBCSLeadByte(c) != FALSE; });
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    try {
        tw::win::DeclareDpiAware(); // as the manifest would, where XP would refuse it
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
