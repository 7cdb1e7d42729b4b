// The forms layer with real windows: creation from the table, names, captions, option
// groups, keys, modality and the end of the program.
#include "AppTestUtil.h"
#include "app/Captions.h"
#include "app/Version.h"
#include "app/forms/Forms.h"
#include "core/Text.h"
#include "win/ControlName.h"
#include "win/MessagePump.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <vector>

namespace {

using tw::Colour;
using tw::ControlSpec;
using tw::Kind;

const ControlSpec kControls[] = {
    {"lblInfo", Kind::Label, 120, 120, 3000, 255, "1043", "design info"},
    {"lstGreen", Kind::ListBox, 120, 420, 3000, 645, nullptr, "", Colour::Green},
    {"cboPick", Kind::ComboBox, 120, 1140, 3000, 315},
    {"fraA", Kind::Frame, 3240, 60, 2500, 1300, "", "Frame design"},
    {"optA", Kind::OptionButton, 3360, 300, 1000, 255, nullptr, "A", Colour::None, tw::kGroup},
    {"optB", Kind::OptionButton, 4440, 300, 1000, 255, nullptr, "B"},
    {"optC", Kind::OptionButton, 3360, 660, 1000, 255, nullptr, "C", Colour::None, tw::kGroup},
    {"optD", Kind::OptionButton, 4440, 660, 1000, 255, nullptr, "D"},
    {"chkBox", Kind::CheckBox, 120, 1560, 3000, 255, "1075", "Check"},
    {"cmdGo", Kind::Button, 3240, 1560, 1215, 375, "1002", "Go", Colour::None, tw::kDefault},
    {"cmdQuit", Kind::Button, 4560, 1560, 1215, 375, "1001", "Quit"},
    {"lblVersion", Kind::Label, 120, 2040, 3000, 255, "0006", "v", Colour::Blue, tw::kWithVersion},
    {"lblHidden", Kind::Label, 0, 0, 0, 0, nullptr, "", Colour::None, tw::kHidden},
    {"Timer1", Kind::Timer, 0, 0, 0, 0},
};

const tw::MenuSpec kMenus[] = {
    {"mnuFile", 0, "1005", "File"},
    {"mnuFileClean", 1, "1006", "&Clean", "Ctrl+R"},
    {"mnuFileBar1", 1, nullptr, "-"},
    {"mnuFileExit", 1, "1007", "E&xit", "Ctrl+X"},
    {"mnuOptions", 0, "1008", "Options"},
    {"mnuOptionsBC", 1, "1010", "Backup Cleaner"},
    {"mnuOptionsBCFD", 2, "1011", "File / Directory"},
    {"mnuHelp", 0, "1021", "Help"},
    {"mnuHelpHelp", 1, "1022", "&Help", "F1"},
};

const tw::FormSpec kTestSpec{"frmTest", "Design caption",   6000,   2500, kControls,
                             kMenus,    tw::Border::Dialog, "1000", true, "0005"};

class TestForm : public tw::Form {
  public:
    TestForm() : Form(kTestSpec) {
        for (const char* event :
             {"optA_Click", "optB_Click", "optC_Click", "optD_Click", "chkBox_Click", "cmdGo_Click",
              "cboPick_Click", "mnuFileClean_Click", "mnuHelpHelp_Click", "mnuOptionsBCFD_Click",
              "Timer1_Timer"})
            On(event, [this, event] { events.push_back(event); });
    }
    std::vector<std::string> events;
};

class FormTest : public ::testing::Test {
  protected:
    void SetUp() override {
        tw::SetTextLookup(nullptr);
        form = static_cast<TestForm*>(tw::Forms::Adopt(std::make_unique<TestForm>()));
        form->Show();
        twtest::Pump();
    }
    void TearDown() override {
        tw::SetTextLookup(nullptr);
        twtest::UnloadAll();
    }
    TestForm* form = nullptr;
};

TEST_F(FormTest, ControlsAreMadeFromTheTableAndFoundByName) {
    HDC dc = GetDC(nullptr);
    int dpiX = GetDeviceCaps(dc, LOGPIXELSX), dpiY = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(nullptr, dc);

    EXPECT_EQ(tw::ControlName(form->hwnd()), "frmTest");
    RECT client{};
    GetClientRect(form->hwnd(), &client);
    EXPECT_EQ(client.right, MulDiv(6000, dpiX, 1440));
    EXPECT_EQ(client.bottom, MulDiv(2500, dpiY, 1440));

    std::vector<int> ids;
    for (const ControlSpec& c : kControls) {
        SCOPED_TRACE(c.name);
        HWND h = form->Control(c.name);
        if (c.kind == Kind::Timer) {
            EXPECT_EQ(h, nullptr);
            continue;
        }
        ASSERT_NE(h, nullptr);
        EXPECT_EQ(GetParent(h), form->hwnd());
        EXPECT_EQ(tw::ControlName(h), c.name);
        EXPECT_EQ(IsWindowVisible(h) != FALSE, !(c.flags & tw::kHidden));
        RECT r{};
        GetWindowRect(h, &r);
        MapWindowPoints(nullptr, form->hwnd(), reinterpret_cast<POINT*>(&r), 2);
        EXPECT_EQ(r.left, MulDiv(c.left, dpiX, 1440));
        EXPECT_EQ(r.top, MulDiv(c.top, dpiY, 1440));
        if (c.kind != Kind::ComboBox) {
            EXPECT_EQ(r.right - r.left, MulDiv(c.width, dpiX, 1440));
            EXPECT_EQ(r.bottom - r.top, MulDiv(c.height, dpiY, 1440));
        }
        ids.push_back(GetDlgCtrlID(h));
    }
    std::sort(ids.begin(), ids.end());
    EXPECT_EQ(std::adjacent_find(ids.begin(), ids.end()), ids.end()) << "control ids repeat";
    EXPECT_EQ(form->Control("lblNothing"), nullptr);
    EXPECT_EQ(form->Caption("cmdGo"), "Go");
}

TEST_F(FormTest, CaptionsComeFromTheLanguage) {
    auto& texts = twtest::FakeTexts();
    texts = {{"1000", "Tracewipe"}, {"0005", "Advanced"}, {"1043", "Info text"},
             {"1075", "Show it"},   {"1002", "Clean"},    {"0006", "Version"},
             {"1005", "&File"},     {"1006", "&Clean"},   {"1021", "&Help"},
             {"1011", "&Files"}};
    tw::SetTextLookup(&twtest::FakeLookup);
    tw::SetCaptions(*form);

    EXPECT_EQ(form->FormCaption(), "Tracewipe " + tw::VersionText() + " Advanced");
    EXPECT_EQ(form->Caption("lblInfo"), "Info text");
    EXPECT_EQ(form->Caption("chkBox"), "Show it");
    EXPECT_EQ(form->Caption("cmdGo"), "Clean");
    EXPECT_EQ(form->Caption("cmdQuit"), "?") << "an id the language lacks shows as ?";
    EXPECT_EQ(form->Caption("fraA"), "") << "an empty id clears the design caption";
    EXPECT_EQ(form->Caption("optA"), "A") << "no id: the design caption stays";
    EXPECT_EQ(form->Caption("lblVersion"), "Version " + tw::VersionText());
    EXPECT_EQ(form->Caption("mnuFile"), "&File");
    EXPECT_EQ(form->Caption("mnuFileClean"), "&Clean");
    EXPECT_EQ(form->Caption("mnuOptionsBCFD"), "&Files");

    // the shortcut text stays beside a new menu caption
    char text[64] = {};
    HMENU file = GetSubMenu(GetMenu(form->hwnd()), 0);
    GetMenuStringA(file, 0, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, "&Clean\tCtrl+R");
}

TEST_F(FormTest, OptionButtonsFormIndependentPairs) {
    form->SetValue("optA", 1);
    form->SetValue("optC", 1);
    EXPECT_EQ(form->Value("optA"), 1);
    EXPECT_EQ(form->Value("optC"), 1);
    form->SetValue("optB", 1);
    EXPECT_EQ(form->Value("optA"), 0);
    EXPECT_EQ(form->Value("optB"), 1);
    EXPECT_EQ(form->Value("optC"), 1) << "the other pair is untouched";
    form->SetValue("optB", 1);                           // no change, no event
    SendMessageA(form->Control("optD"), BM_CLICK, 0, 0); // a click by the user
    EXPECT_EQ(form->Value("optC"), 0);
    EXPECT_EQ(form->Value("optD"), 1);
    EXPECT_EQ(form->Value("optB"), 1);
    EXPECT_EQ(form->events,
              (std::vector<std::string>{"optA_Click", "optC_Click", "optB_Click", "optD_Click"}));
}

TEST_F(FormTest, CheckBoxAndListsRaiseClickOnChange) {
    form->SetValue("chkBox", 1);
    form->SetValue("chkBox", 0);
    form->SetValue("chkBox", 0);
    for (const char* item : {"Default", "Tahoma"})
        form->AddItem("cboPick", item);
    EXPECT_EQ(form->ListCount("cboPick"), 2);
    EXPECT_EQ(form->ListIndex("cboPick"), -1);
    EXPECT_EQ(form->Text("cboPick"), "");
    form->SetListIndex("cboPick", 1);
    EXPECT_EQ(form->Text("cboPick"), "Tahoma");
    form->AddItem("lstGreen", "line one");
    EXPECT_EQ(form->List("lstGreen", 0), "line one");
    EXPECT_EQ(form->events,
              (std::vector<std::string>{"chkBox_Click", "chkBox_Click", "cboPick_Click"}));
}

TEST_F(FormTest, KeysReachTheDefaultButtonAndMenuShortcutsInEveryPump) {
    // the main loop, and the yield of long work (registry search, waiting for a program)
    const std::pair<const char*, bool (*)()> pumps[] = {{"main loop", &twtest::Pump},
                                                        {"yield", &tw::win::PumpMessages}};
    HWND list = form->Control("lstGreen");
    for (const auto& [name, pump] : pumps) {
        SCOPED_TRACE(name);
        form->events.clear();
        form->SetEnabled("mnuHelpHelp", true);
        SetFocus(list);
        PostMessageA(list, WM_KEYDOWN, VK_RETURN, 0);
        pump();
        PostMessageA(list, WM_KEYDOWN, VK_F1, 0);
        pump();
        form->SetEnabled("mnuHelpHelp", false);
        EXPECT_FALSE(form->Enabled("mnuHelpHelp"));
        PostMessageA(list, WM_KEYDOWN, VK_F1, 0);
        pump();
        EXPECT_EQ(form->events, (std::vector<std::string>{"cmdGo_Click", "mnuHelpHelp_Click"}));
    }

    // a menu command by its entry
    form->events.clear();
    SendMessageA(form->hwnd(), WM_COMMAND, 0, 0); // no such entry: nothing
    EXPECT_TRUE(form->events.empty());
}

TEST_F(FormTest, TabMovesBetweenControlsInTableOrder) {
    HWND list = form->Control("lstGreen");
    SetFocus(list);
    ASSERT_EQ(GetFocus(), list);
    PostMessageA(list, WM_KEYDOWN, VK_TAB, 0);
    twtest::Pump();
    EXPECT_EQ(GetFocus(), form->Control("cboPick"));
    PostMessageA(GetFocus(), WM_KEYDOWN, VK_TAB, 0);
    twtest::Pump();
    EXPECT_EQ(tw::ControlName(GetFocus()).substr(0, 3), "opt");
}

TEST_F(FormTest, EscapeClosesADialog) {
    PostMessageA(form->Control("cmdGo"), WM_KEYDOWN, VK_ESCAPE, 0);
    bool quit = twtest::Pump();
    EXPECT_EQ(tw::Forms::Find("frmTest"), nullptr);
    EXPECT_TRUE(quit) << "the last form unloaded ends the program";
}

TEST_F(FormTest, AnErrorInAHandlerStaysInsideTheWindowProcedure) {
    form->On("cmdQuit_Click", [] { throw std::runtime_error("handler failed"); });
    SendMessageA(form->Control("cmdQuit"), BM_CLICK, 0, 0);
    SendMessageA(form->Control("cmdGo"), BM_CLICK, 0, 0);
    EXPECT_EQ(form->events, (std::vector<std::string>{"cmdGo_Click"}));
}

TEST_F(FormTest, TimerTicksReachTheTimerEvent) {
    form->SetTimer("Timer1", 10, true);
    DWORD until = GetTickCount() + 2000;
    while (form->events.empty() && GetTickCount() < until) {
        twtest::Pump();
        Sleep(5);
    }
    form->SetTimer("Timer1", 0, false);
    ASSERT_FALSE(form->events.empty());
    EXPECT_EQ(form->events.front(), "Timer1_Timer");
}

TEST_F(FormTest, FontFaceChangesKeepSizeAndWeight) {
    auto height = [&](const char* name) {
        LOGFONTA lf{};
        GetObjectA(reinterpret_cast<HFONT>(SendMessageA(form->Control(name), WM_GETFONT, 0, 0)),
                   sizeof lf, &lf);
        return lf.lfHeight;
    };
    LONG before = height("cmdGo");
    EXPECT_NE(form->FontFace("cmdGo"), "Tahoma");
    form->SetFontFace("Tahoma");
    EXPECT_EQ(form->FontFace(), "Tahoma");
    for (const ControlSpec& c : kControls) {
        if (c.kind == Kind::Timer)
            continue;
        SCOPED_TRACE(c.name);
        EXPECT_EQ(form->FontFace(c.name), "Tahoma");
    }
    EXPECT_EQ(height("cmdGo"), before);
}

// ---- modality and the registry --------------------------------------------------------

struct ModalProbe {
    HWND owner = nullptr;
    bool ownerDisabledMeanwhile = false;
    bool quit = false;
};
ModalProbe g_probe;

void CALLBACK CloseDialog(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    g_probe.ownerDisabledMeanwhile = !IsWindowEnabled(g_probe.owner);
    if (g_probe.quit)
        PostQuitMessage(7);
    else if (tw::Form* dialog = tw::Forms::Find("frmTest2"))
        dialog->Unload();
}

const tw::FormSpec kDialogSpec{"frmTest2", "Dialog", 3000, 1000, kControls};

TEST_F(FormTest, ModalDialogDisablesItsOwnerUntilItUnloads) {
    tw::Forms::Register("frmTest2", [] { return std::make_unique<tw::Form>(kDialogSpec); });
    g_probe = {form->hwnd(), false, false};
    SetTimer(nullptr, 0, 50, &CloseDialog);
    tw::Forms::ShowModal("frmTest2", form);
    EXPECT_TRUE(g_probe.ownerDisabledMeanwhile);
    EXPECT_TRUE(IsWindowEnabled(form->hwnd()));
    EXPECT_EQ(tw::Forms::Find("frmTest2"), nullptr);
    EXPECT_FALSE(twtest::Pump()) << "the owner is still loaded: the program goes on";
}

TEST_F(FormTest, QuitDuringAModalDialogReachesTheOuterLoop) {
    tw::Forms::Register("frmTest2", [] { return std::make_unique<tw::Form>(kDialogSpec); });
    g_probe = {form->hwnd(), false, true};
    SetTimer(nullptr, 0, 50, &CloseDialog);
    tw::Forms::ShowModal("frmTest2", form);
    EXPECT_TRUE(IsWindowEnabled(form->hwnd()));
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 7u);
}

TEST_F(FormTest, RegistryKeepsOneInstancePerNameAndIgnoresUnknownNames) {
    tw::Forms::Register("frmTest2", [] { return std::make_unique<tw::Form>(kDialogSpec); });
    EXPECT_EQ(tw::Forms::Find("frmTest2"), nullptr);
    tw::Form* first = tw::Forms::Load("frmTest2");
    ASSERT_NE(first, nullptr);
    EXPECT_FALSE(IsWindowVisible(first->hwnd())) << "loaded, not shown";
    EXPECT_EQ(tw::Forms::Show("frmTest2"), first);
    EXPECT_TRUE(IsWindowVisible(first->hwnd()));
    EXPECT_EQ(tw::Forms::LoadedCount(), 2);
    EXPECT_EQ(tw::Forms::Show("frmNotThere"), nullptr);
    EXPECT_EQ(tw::Forms::LoadedCount(), 2);

    first->Unload();
    EXPECT_FALSE(twtest::Pump());
    form->Unload();
    EXPECT_TRUE(twtest::Pump()) << "the last form has gone";
    EXPECT_EQ(tw::Forms::LoadedCount(), 0);
}

} // namespace
