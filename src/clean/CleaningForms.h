#pragma once

namespace tw {

// Registers the cleaning windows with the form registry: the Normal and Advanced interfaces
// and the two wizard pages.
void RegisterCleaningForms();

// The parts of it, by source file.
void RegisterAdvancedForm(); // frmAdvanced
void RegisterWizardForms();  // frmWiz1, frmWiz2

} // namespace tw
