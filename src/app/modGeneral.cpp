#include "app/modGeneral.h"

#include "app/INI.h"
#include "app/OSInfo.h"
#include "app/forms/Forms.h"
#include "core/Text.h"

namespace tw {

void ReturnToInterface() {
    std::string gui = ReadINI(kIniFile, "PROGRAM", "Interface", "?");
    if (gui == "Normal")
        Forms::Show("frmMain");
    else if (gui == "Advanced")
        Forms::Show("frmAdvanced");
}

void OpenInterface() {
    std::string wizard = ReadINI(kIniFile, "PROGRAM", "Wizard", "?");
    if (wizard == "Yes")
        Forms::Show("frmWiz1");
    else if (wizard == "No")
        ReturnToInterface();
}

namespace {

void FillOSLabel(Form& form, bool servicePackNumber) {
    OSInfo os;
    std::string label = os.Name() + " ";
    const char* id = nullptr;
    switch (os.ProductType()) {
    case 1:
        id = "0003";
        break;
    case 2:
        id = "0002";
        break;
    case 3:
        id = "0001";
        break;
    default:
        break;
    }
    if (id)
        label += LookupText(id) + "  " +
                 (servicePackNumber ? os.SupportInformation2() : os.SupportInformation());
    form.SetCaption("lblOS", label);
}

} // namespace

void ShowOSLabel(Form& form) {
    FillOSLabel(form, false);
}
void ShowOSLabelSP(Form& form) {
    FillOSLabel(form, true);
}

} // namespace tw
