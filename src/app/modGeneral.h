#pragma once
// Shared procedures of the windows: choosing the interface, the operating-system label.
#include "app/forms/Form.h"

#include <string>

namespace tw {

// Shows the window the settings name: the wizard when [PROGRAM] Wizard is "Yes", else
// with Wizard "No" the Normal or Advanced interface as [PROGRAM] Interface says. Any
// other value shows nothing.
void OpenInterface();
// Shows the Normal or Advanced interface as [PROGRAM] Interface says (Wizard unread).
void ReturnToInterface();

// Shows `message` in a message box with an OK button and the title "Error", owned by the
// active window; returns 1. Mode 1 is the only mode there is.
int ReportError(int mode, const std::string& message);

// The help file named by text 0019: a file of the program folder (no folder part) with a
// help file's extension (.htm, .html, .chm, .hlp); "" when the text names anything else.
std::string HelpFilePath();
// Opens HelpFilePath(): a WinHelp file with WinHelpA, a page or compiled help with the
// shell. Nothing else is ever opened or run.
void OpenHelpFile(HWND owner);

// Fill the form's label lblOS with the Windows version: ShowOSLabel with the platform's
// service-pack text, ShowOSLabelSP with the text of 0314 and the service-pack number.
void ShowOSLabel(Form& form);
void ShowOSLabelSP(Form& form);

} // namespace tw
