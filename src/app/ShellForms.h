#pragma once
// The forms of the application shell: frmStart, frmWarning, frmLanguage, frmOptions,
// frmFont and frmAbout.

namespace tw {

// Registers every shell form with the form registry.
void RegisterShellForms();

// The parts of it, by source file.
void RegisterStartForms();  // frmStart, frmWarning
void RegisterDialogForms(); // frmLanguage, frmOptions, frmFont, frmAbout

} // namespace tw
