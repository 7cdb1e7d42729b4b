// The Advanced interface: four filter slots carried out one after the other, slot 1 to 4,
// into one pair of lists and one log. Everything else is the Normal interface's.
#include "app/forms/Forms.h"
#include "clean/CleaningForms.h"
#include "clean/CleaningWindow.h"

#include <memory>

namespace tw {

namespace {

// Positions in twips: left, top, width, height. The slots lie in fraSelection, the tick
// boxes in picSelection, each placed from the corner of the frame that holds it.
const ControlSpec kControls[] = {
    {"fraSelection", Kind::Frame, 90, 30, 3885, 1815, "1024", "Select Cleaning Filters"},
    {"picSelection", Kind::Frame, 60, 300, 345, 1395, nullptr, "", Colour::None, 0, "fraSelection"},
    {"chkConfig1", Kind::CheckBox, 60, 0, 225, 285, nullptr, "", Colour::None, 0, "picSelection"},
    {"cboConfigs1", Kind::ComboBox, 450, 300, 3255, 315, nullptr, "", Colour::None, 0,
     "fraSelection"},
    {"chkConfig2", Kind::CheckBox, 60, 360, 225, 285, nullptr, "", Colour::None, 0, "picSelection"},
    {"cboConfigs2", Kind::ComboBox, 450, 660, 3255, 315, nullptr, "", Colour::None, 0,
     "fraSelection"},
    {"chkConfig3", Kind::CheckBox, 60, 720, 225, 285, nullptr, "", Colour::None, 0, "picSelection"},
    {"cboConfigs3", Kind::ComboBox, 450, 1020, 3255, 315, nullptr, "", Colour::None, 0,
     "fraSelection"},
    {"chkConfig4", Kind::CheckBox, 60, 1080, 225, 285, nullptr, "", Colour::None, 0,
     "picSelection"},
    {"cboConfigs4", Kind::ComboBox, 450, 1380, 3255, 315, nullptr, "", Colour::None, 0,
     "fraSelection"},
    {"lblStatusFile", Kind::Label, 3990, 60, 3855, 255, nullptr, "", Colour::Green},
    {"lblStatus", Kind::Label, 3990, 330, 3855, 255},
    {"lblOS", Kind::Label, 3990, 630, 3855, 255, nullptr, "", Colour::Blue},
    {"lblGPU", Kind::Label, 3990, 900, 3855, 255, nullptr, "", Colour::LightBlue},
    {"lblDetinfo", Kind::Label, 3990, 1200, 3855, 225, "1003",
     "For information, look at the help file (F1)."},
    {"cmdClose", Kind::Button, 4680, 1470, 1215, 375, "1001", "Close"},
    {"cmdClean", Kind::Button, 6000, 1470, 1215, 375, "1002", "Clean", Colour::None, kDefault},
    {"lblDetails", Kind::Label, 90, 1890, 1035, 210, "1004", "Details:"},
    {"lstDetail", Kind::ListBox, 70, 2115, 7755, 840, nullptr, "", Colour::Green},
    {"lstDetails", Kind::ListBox, 70, 2970, 7755, 840, nullptr, "", Colour::Red},
};

constexpr int kSlots = 4;
const char* const kTicks[kSlots] = {"chkConfig1", "chkConfig2", "chkConfig3", "chkConfig4"};
const char* const kSelectors[kSlots] = {"cboConfigs1", "cboConfigs2", "cboConfigs3", "cboConfigs4"};
const char* const kCleaning[] = {"cmdClean", "mnuFileClean"};

const FormSpec& Layout() {
    static const FormSpec layout{
        "frmAdvanced", "Tracewipe", 7890, 3885,   kControls, MenuSpecs(InterfaceMenu()),
        Border::Fixed, "1000",      true, "0005",
    };
    return layout;
}

class frmAdvanced : public CleaningWindow {
  public:
    frmAdvanced()
        : CleaningWindow(Layout(), {.callerMark = "2",
                                    .menu = InterfaceMenu(),
                                    .selectors = kSelectors,
                                    .cleaning = kCleaning,
                                    .runControls = InterfaceRunControls()}) {
        for (int n = 0; n < kSlots; ++n)
            On(std::string(kTicks[n]) + "_Click", [this, n] { ToggleSelector(kSelectors[n]); });
    }

  private:
    // Every load starts with four unticked slots and their selectors disabled.
    void Form_Load() override {
        CleaningWindow::Form_Load();
        for (const char* selector : kSelectors)
            SetEnabled(selector, false);
    }

    void ToggleSelector(const char* combo) { SetEnabled(combo, !Enabled(combo)); }

    bool Ticked(int n) const { return Value(kTicks[n]) == 1; }

    void MakeRequest(RunRequest& request) override {
        request.Advanced = true;
        for (int n = 0; n < kSlots; ++n)
            if (Ticked(n))
                request.Filters.push_back(RunFilter{Text(kSelectors[n]), n + 1});
    }

    std::vector<std::string> LogSlotLines() const override {
        std::vector<std::string> lines;
        for (int n = 0; n < kSlots; ++n)
            lines.push_back(SlotLine(Ticked(n), Text(kSelectors[n])));
        return lines;
    }

    void SetStatusFile(const std::string& text) override { SetCaption("lblStatusFile", text); }
};

} // namespace

void RegisterAdvancedForm() {
    Forms::Register("frmAdvanced", [] { return std::make_unique<frmAdvanced>(); });
}

} // namespace tw
