#include "app/modGeneral.h"

#include "app/INI.h"
#include "app/OSInfo.h"
#include "app/forms/Forms.h"
#include "core/Paths.h"
#include "core/Text.h"
#include "win/ProgramFolder.h"

#include <shellapi.h>

#include <cstdio>

namespace tw {

void ReturnToInterface() {
    std::string gui = ReadINI(kIniFile, "PROGRAM", "Interface", "?");
    if (gui == "Normal")
        Forms::Show("frmMain");
    else if (gui == "Advanced")
        Forms::Show("frmAdvanced");
}

namespace {

// WinHelp files begin with the bytes 3F 5F 03 00.
bool IsWinHelpFile(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return false;
    unsigned char magic[4] = {};
    bool ok = std::fread(magic, 1, 4, f) == 4 && magic[0] == 0x3F && magic[1] == 0x5F &&
              magic[2] == 0x03 && magic[3] == 0x00;
    std::fclose(f);
    return ok;
}

} // namespace

std::string HelpFilePath() {
    const std::string name = LookupText("0019");
    const auto dot = name.rfind('.');
    if (!IsPlainFileName(name) || dot == std::string::npos)
        return {};
    const std::string extension = name.substr(dot);
    bool known = false;
    for (const char* help : {".htm", ".html", ".chm", ".hlp"})
        known = known || lstrcmpiA(extension.c_str(), help) == 0;
    const std::string path = ProgramFolder() + "\\" + name;
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (!known || attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return {};
    return path;
}

void OpenHelpFile(HWND owner) {
    const std::string file = HelpFilePath();
    if (file.empty())
        return;
    if (IsWinHelpFile(file))
        WinHelpA(owner, file.c_str(), 11, 0);
    else if (lstrcmpiA(file.substr(file.size() - 4).c_str(), ".hlp") != 0)
        ShellExecuteA(owner, "open", file.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

int ReportError(int mode, const std::string& message) {
    (void)mode;
    MessageBoxA(GetActiveWindow(), message.c_str(), "Error", MB_OK);
    return 1;
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
