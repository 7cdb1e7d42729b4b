#include "clean/frmMain.h"

namespace tw {

namespace {

// Positions in twips: left, top, width, height.
const ControlSpec kControls[] = {
    {"cboConfigs", Kind::ComboBox, 1320, 0, 3255, 315},
    {"lblDetails", Kind::Label, 120, 360, 1035, 210, "1004", "Details:"},
    {"lblStatus", Kind::Label, 1305, 360, 3285, 255},
    {"lstDetail", Kind::ListBox, 135, 585, 5775, 645, nullptr, "", Colour::Green},
    {"lstDetails", Kind::ListBox, 135, 1260, 5775, 645, nullptr, "", Colour::Red},
    {"lblOS", Kind::Label, 135, 1950, 5775, 255, nullptr, "", Colour::Blue},
    {"lblGPU", Kind::Label, 135, 2220, 5775, 255, nullptr, "", Colour::LightBlue},
    {"lblDetinfo", Kind::Label, 135, 2505, 3195, 435, "1003",
     "For information, look at the help file (F1)."},
    {"cmdClose", Kind::Button, 3360, 2520, 1215, 375, "1001", "Close"},
    {"cmdClean", Kind::Button, 4680, 2520, 1215, 375, "1002", "Clean", Colour::None, kDefault},
};

const char* const kSelectors[] = {"cboConfigs"};
const char* const kCleaning[] = {"cmdClean", "mnuFileClean"};

} // namespace

const FormSpec& frmMain::Layout() {
    static const FormSpec layout{
        "frmMain",     "Tracewipe", 6015, 2970, kControls, MenuSpecs(InterfaceMenu()),
        Border::Fixed, "1000",      true,
    };
    return layout;
}

frmMain::frmMain()
    : CleaningWindow(Layout(), {.callerMark = "1",
                                .menu = InterfaceMenu(),
                                .selectors = kSelectors,
                                .cleaning = kCleaning,
                                .runControls = InterfaceRunControls()}) {}

void frmMain::MakeRequest(RunRequest& request) {
    request.Filters.push_back(RunFilter{Text("cboConfigs"), 0});
}

} // namespace tw
