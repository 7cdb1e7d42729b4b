// The forms layer with real windows: option groups, events, keys, fonts, modality and the
// end of the program.
#include "AppTestUtil.h"
#include "app/forms/Forms.h"
#include "core/Text.h"
#include "win/MessagePump.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

namespace {

using tw::Colour;
using tw::Kind;

const tw::ControlSpec kControls[] = {
    {"lstGreen", Kind::ListBox, 120, 420, 3000, 645, nullptr, "", Colour::Green},
    {"cboPick", Kind::ComboBox, 120, 1140, 3000, 315},
    {"optA", Kind::OptionButton, 3360, 300, 1000, 255, nullptr, "A", Colour::None, tw::kGroup},
    {"optB", Kind::OptionButton, 4440, 300, 1000, 255, nullptr, "B"},
    {"optC", Kind::OptionButton, 3360, 660, 1000, 255, nullptr, "C", Colour::None, tw::kGroup},
    {"optD", Kind::OptionButton, 4440, 660, 1000, 255, nullptr, "D"},
    {"chkBox", Kind::CheckBox, 120, 1560, 3000, 255, "1075", "Check"},
    {"cmdGo", Kind::Button, 3240, 1560, 1215, 375, "1002", "Go", Colour::None, tw::kDefault},
    {"cmdQuit", Kind::Button, 4560, 1560, 1215, 375, "1001", "Quit"},
    {"fraSide", Kind::Frame, 120, 2000, 1000, 255},
    {"Timer1", Kind::Timer, 0, 0, 0, 0},
};

const tw::MenuSpec kMenus[] = {
    {"mnuFile", 0, "1005", "File"},
    {"mnuFileClean", 1, "1006", "&Clean", "Ctrl+R"},
    {"mnuFileBar", 1, nullptr, "-"},
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
              "cboPick_Click", "mnuFileClean_Click", "mnuHelpHelp_Click"})
            On(event, [this, event] { events.push_back(event); });
    }
    std::vector<std::string> events;
};

// A handler bound to a name the window does not have fails as the window is built.
TEST(HandlerName, OnlyEventsTheTableRaisesCanBeBound) {
    // The start of the error that binding `event` raises, as long as it should be; "" if none.
    const auto error = [](const std::string& event) -> std::string {
        tw::Form form(kTestSpec);
        try {
            form.On(event, [] {});
        } catch (const tw::HandlerNameError& e) {
            return std::string(e.what()).substr(0, ("frmTest: the handler " + event).size());
        }
        return "";
    };
    for (const char* event : {"cmdGo_Click", "lstGreen_Click", "lstGreen_DblClick", "Timer1_Timer",
                              "mnuFileClean_Click"})
        EXPECT_EQ(error(event), "") << event;
    for (const std::string event :
         {"cmdGoo_Click", "cmdGo_DblClick", "cmdGo_Timer", "fraSide_Click", "mnuFileBar_Click",
          "mnuFileClen_Click", "cmdGo", "Timer1_Click", "_Click"})
        EXPECT_EQ(error(event), "frmTest: the handler " + event);
}

class FormTest : public ::testing::Test {
  protected:
    void SetUp() override {
        tw::SetTextLookup(nullptr);
        form = static_cast<TestForm*>(tw::Forms::Adopt(std::make_unique<TestForm>()));
        form->Show();
        twtest::Pump();
    }
    void TearDown() override { twtest::UnloadAll(); }
    TestForm* form = nullptr;
};

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
}

TEST_F(FormTest, AnErrorInAHandlerOrAnUnknownCommandDoesNothing) {
    form->On("cmdQuit_Click", [] { throw std::runtime_error("handler failed"); });
    SendMessageA(form->Control("cmdQuit"), BM_CLICK, 0, 0);
    SendMessageA(form->hwnd(), WM_COMMAND, 0, 0); // a menu command of no entry
    SendMessageA(form->Control("cmdGo"), BM_CLICK, 0, 0);
    EXPECT_EQ(form->events, (std::vector<std::string>{"cmdGo_Click"}));
}

struct {
    HWND owner;
    bool ownerDisabledMeanwhile, quit;
} g_probe;

void CALLBACK CloseDialog(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    g_probe.ownerDisabledMeanwhile = !IsWindowEnabled(g_probe.owner);
    if (g_probe.quit)
        PostQuitMessage(7);
    else if (tw::Form* dialog = tw::Forms::Find("frmTest2"))
        dialog->Unload();
}

const tw::FormSpec kDialogSpec{"frmTest2", "Dialog", 3000, 1000, kControls};

// The dialog unloads, or the program quits while it shows: the owner is enabled again, and
// only the quit reaches the outer loop.
TEST_F(FormTest, ModalDialogDisablesItsOwnerUntilItUnloadsOrTheProgramQuits) {
    tw::Forms::Register("frmTest2", [] { return std::make_unique<tw::Form>(kDialogSpec); });
    for (bool quit : {false, true}) {
        SCOPED_TRACE(quit ? "quit" : "unload");
        g_probe = {form->hwnd(), false, quit};
        SetTimer(nullptr, 0, 50, &CloseDialog);
        tw::Forms::ShowModal("frmTest2", form);
        EXPECT_TRUE(g_probe.ownerDisabledMeanwhile);
        EXPECT_TRUE(IsWindowEnabled(form->hwnd()));
        EXPECT_EQ(tw::Forms::Find("frmTest2") == nullptr, !quit);
        MSG msg{};
        EXPECT_EQ(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != 0, quit);
        EXPECT_EQ(msg.wParam, quit ? 7u : 0u);
    }
}

} // namespace
