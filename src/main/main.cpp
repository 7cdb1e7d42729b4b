// Tracewipe.exe: registers the forms, shows the splash and runs the message loop until
// the last form has unloaded.
#include "app/ShellForms.h"
#include "app/forms/Forms.h"
#include "app/modLanguage.h"
#include "cab/frmCC.h"
#include "clean/CleaningForms.h"
#include "core/Text.h"

#include <windows.h>

#include <commctrl.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    try {
        InitCommonControls();
        tw::SetTextLookup(&tw::GetLanguageText);
        tw::RegisterShellForms();
        tw::RegisterCleaningForms();
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
