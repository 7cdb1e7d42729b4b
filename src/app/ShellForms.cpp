#include "app/ShellForms.h"

namespace tw {

void RegisterShellForms() {
    RegisterStartForms();
    RegisterDialogForms();
}

} // namespace tw
