#include "clean/CleaningForms.h"

#include "app/forms/Forms.h"
#include "clean/frmMain.h"

#include <memory>

namespace tw {

void RegisterCleaningForms() {
    Forms::Register("frmMain", [] { return std::make_unique<frmMain>(); });
    RegisterAdvancedForm();
    RegisterWizardForms();
}

} // namespace tw
