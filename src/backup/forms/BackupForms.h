#pragma once

namespace tw {

// Registers the restore dialogs (frmRestore, frmRegRest) and the clean-up dialogs
// (frmClearB, frmClearR, frmClearL) with the form registry.
void RegisterBackupForms();

// The parts of it, by source file.
void RegisterRestoreForms();
void RegisterClearForms();

} // namespace tw
