// Started by the system detection tests under a Windows version that Wine pretends to
// be: writes what OSInfo and the label procedures make of it, one "key=value" a line.
// Started as "record FILE ARG" (as the shell's handler of a link), it writes ARG to FILE.
#include "app/Display.h"
#include "app/OSInfo.h"
#include "app/forms/Form.h"
#include "app/modGeneral.h"
#include "core/Text.h"

#include <fstream>
#include <map>
#include <string>

namespace {

std::string ProductTexts(std::string_view id) {
    static const std::map<std::string, std::string, std::less<>> texts = {
        {"0001", "Server"}, {"0002", "Domain Controller"}, {"0003", "Workstation"}, {"0314", "SP"}};
    auto it = texts.find(id);
    return it == texts.end() ? "?" : it->second;
}

const tw::ControlSpec kControls[] = {{"lblOS", tw::Kind::Label, 0, 0, 6000, 255}};
const tw::FormSpec kProbe{"frmProbe", "probe", 6000, 300, kControls};

} // namespace

int main(int argc, char** argv) {
    if (argc < 2)
        return 2;
    if (std::string(argv[1]) == "record" && argc >= 4) {
        std::ofstream(argv[2], std::ios::binary | std::ios::trunc) << argv[3];
        return 0;
    }
    tw::SetTextLookup(&ProductTexts);
    tw::OSInfo os;
    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    out << "Platform=" << os.Platform() << "\n"
        << "Name=" << os.Name() << "\n"
        << "VersionString=" << os.VersionString() << "\n"
        << "Family=" << os.Family() << "\n"
        << "ProductType=" << os.ProductType() << "\n"
        << "ServicePack=" << os.ServicePackMajor() << "." << os.ServicePackMinor() << "\n"
        << "Verify=" << os.IsVerifySupported() << "\n"
        << "AtLeastOwnVersion="
        << os.CompareVersion(os.MajorVersion(), os.MinorVersion(), -1, -1, -1, 3, true) << "\n"
        << "NewerThanOwnVersion="
        << os.CompareVersion(os.MajorVersion(), os.MinorVersion(), -1, -1, -1, 2, true) << "\n"
        << "Display=" << tw::GetDisplayName() << "\n";
    tw::Form form(kProbe);
    form.Load();
    tw::ShowOSLabel(form);
    out << "Label=" << form.Caption("lblOS") << "\n";
    tw::ShowOSLabelSP(form);
    out << "LabelSP=" << form.Caption("lblOS") << "\n";
    return 0;
}
