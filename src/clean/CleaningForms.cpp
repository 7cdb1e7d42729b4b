#include "clean/CleaningForms.h"

#include "app/forms/Forms.h"
#include "clean/frmMain.h"
#include "clean/frmPreview.h"

#include <memory>

namespace tw {

void RegisterCleaningForms() {
    Forms::Register("frmMain", [] { return std::make_unique<frmMain>(); });
    Forms::Register("frmPreview", [] { return std::make_unique<frmPreview>(); });
    RegisterAdvancedForm();
    RegisterWizardForms();
}

} // namespace tw
