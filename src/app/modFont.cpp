#include "app/modFont.h"

#include "app/INI.h"

namespace tw {

namespace {
std::string g_appFont;
}

const std::string& AppFont() {
    return g_appFont;
}

void ApplyFont(Form& form) {
    std::string name = ReadINI(kIniFile, "FONT", "Name", "?");
    if (name == "Default" || name == "?")
        return;
    g_appFont = name;
    form.SetFontFace(g_appFont);
}

} // namespace tw
