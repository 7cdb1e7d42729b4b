// Every caption of every window fits its control in every language the program ships, in
// the design font and in Tahoma, with room to spare: a label that wraps beyond its height or
// a button narrower than its text cuts words off on the user's screen, and a caption that
// fits by a pixel is cut off on a machine whose fonts render a little wider. The fonts are
// checked to be the ones asked for, not a stand-in the system picked.
#include "AppTestUtil.h"
#include "GuiDriver.h"
#include "app/INI.h"
#include "app/ShellForms.h"
#include "app/modLanguage.h"
#include "backup/forms/BackupForms.h"
#include "clean/CleaningForms.h"
#include "core/Text.h"
#include "win/ControlName.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using twtest::ProgramFile;
using twtest::Pump;

// Width every caption must leave free, in pixels.
constexpr int kSpare = 4;

// Room a control needs around its text: a push button's frame, a check box's box.
int Padding(HWND control, bool& wraps) {
    char cls[32] = {};
    GetClassNameA(control, cls, sizeof cls);
    const LONG style = GetWindowLongA(control, GWL_STYLE);
    wraps = false;
    if (lstrcmpiA(cls, "Static") == 0) {
        wraps = (style & SS_TYPEMASK) != SS_LEFTNOWORDWRAP && (style & SS_TYPEMASK) != SS_SIMPLE;
        return 0;
    }
    switch (style & BS_TYPEMASK) {
    case BS_PUSHBUTTON:
    case BS_DEFPUSHBUTTON:
        return 2 * GetSystemMetrics(SM_CXEDGE) + 4;
    case BS_GROUPBOX:
        return 2 * GetSystemMetrics(SM_CXEDGE) + 12;
    default: // check boxes and option buttons: the box and the gap after it
        return GetSystemMetrics(SM_CXMENUCHECK) + 6;
    }
}

// A callback of the system's calling convention (stdcall on 32-bit Windows, which a lambda
// does not convert to).
BOOL CALLBACK CollectControl(HWND h, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(h);
    return TRUE;
}

// The visible captions of `top` that do not fit their controls with kSpare pixels to spare,
// as "name: text", and those drawn in another face than `face`.
std::vector<std::string> ClippedCaptions(HWND top, const std::string& face) {
    std::vector<std::string> clipped;
    std::vector<HWND> controls;
    EnumChildWindows(top, CollectControl, reinterpret_cast<LPARAM>(&controls));
    for (HWND control : controls) {
        char cls[32] = {};
        GetClassNameA(control, cls, sizeof cls);
        if (!IsWindowVisible(control) ||
            (lstrcmpiA(cls, "Static") != 0 && lstrcmpiA(cls, "Button") != 0))
            continue;
        char text[1024] = {};
        GetWindowTextA(control, text, sizeof text);
        RECT room{};
        GetClientRect(control, &room);
        if (!*text || room.right == 0)
            continue;
        bool wraps = false;
        const int padding = Padding(control, wraps);
        HDC dc = GetDC(control);
        HGDIOBJ old =
            SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)));
        RECT need{0, 0, room.right - padding - kSpare, 0};
        DrawTextA(dc, text, -1, &need, DT_CALCRECT | (wraps ? DT_WORDBREAK : DT_SINGLELINE));
        char drawn[LF_FACESIZE] = {};
        GetTextFaceA(dc, sizeof drawn, drawn);
        SelectObject(dc, old);
        ReleaseDC(control, dc);
        if (face != drawn)
            clipped.push_back(tw::ControlName(control) + ": drawn in " + drawn + ", not " + face);
        if (need.right + padding + kSpare > room.right || need.bottom > room.bottom)
            clipped.push_back(tw::ControlName(control) + ": " + text + " (" +
                              std::to_string(need.right + padding + kSpare) + "x" +
                              std::to_string(need.bottom) + " in " + std::to_string(room.right) +
                              "x" + std::to_string(room.bottom) + ")");
    }
    return clipped;
}

class CaptionFit : public ::testing::TestWithParam<const char*> {
  protected:
    void SetUp() override {
        tw::DeleteLanguageCopy();
        for (const char* file : {"English.lng", "German.lng", "NVIDIA.twf"})
            CopyFileA((std::string(TW_PROGRAM_DIR_WIN) + "\\" + file).c_str(),
                      ProgramFile(file).c_str(), FALSE);
        tw::SetTextLookup(&tw::GetLanguageText);
        tw::RegisterShellForms();
        tw::RegisterCleaningForms();
        tw::RegisterBackupForms();
    }
    void TearDown() override {
        twtest::UnloadAll();
        tw::DeleteLanguageCopy();
        tw::SetTextLookup(nullptr);
        for (const char* file : {"English.lng", "German.lng", "NVIDIA.twf", tw::kIniFile})
            twtest::RemoveTree(ProgramFile(file));
    }
};

TEST_P(CaptionFit, EveryWindowInEveryLanguageAndFont) {
    for (const char* language : {"English", "German"}) {
        for (const char* font : {"Default", "Tahoma"}) {
            tw::DeleteLanguageCopy();
            tw::WriteINI(tw::kIniFile, "LANGUAGE", "CurrentLanguage", language);
            tw::WriteINI(tw::kIniFile, "FONT", "Name", font);
            SCOPED_TRACE(std::string(language) + ", " + font);
            tw::Form* form = tw::Forms::Show(GetParam());
            ASSERT_NE(form, nullptr);
            Pump();
            const std::string face = std::string(font) == "Tahoma" ? font : "MS Sans Serif";
            EXPECT_EQ(ClippedCaptions(form->hwnd(), face), std::vector<std::string>{});
            if (std::string(font) == "Default")
                tw::gui::SaveScreenshot(
                    tw::gui::ScreenshotPath(std::string(GetParam()) + "_" + language),
                    form->hwnd());
            twtest::UnloadAll();
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Windows, CaptionFit,
                         ::testing::Values("frmMain", "frmAdvanced", "frmWiz1", "frmWiz2",
                                           "frmWarning", "frmLanguage", "frmOptions", "frmFont",
                                           "frmAbout", "frmPreview", "frmRestore", "frmRegRest",
                                           "frmClearB", "frmClearR", "frmClearL"),
                         [](const auto& info) { return std::string(info.param); });

} // namespace
