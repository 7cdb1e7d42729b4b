#include "clean/frmPreview.h"

#include "app/Captions.h"
#include "app/forms/modAddScroll.h"
#include "app/modFont.h"
#include "clean/Preview.h"
#include "core/Text.h"
#include "win/ProgramFolder.h"

namespace tw {

namespace {

// Positions in twips: left, top, width, height.
const ControlSpec kControls[] = {
    {"lblFilter", Kind::Label, 120, 120, 8760, 255},
    {"lblProgress", Kind::Label, 120, 420, 8760, 450},
    {"lstPreview", Kind::ListBox, 120, 900, 8760, 3780},
    {"cmdCancel", Kind::Button, 6360, 4830, 1215, 375, "1067", "Cancel"},
    {"cmdClose", Kind::Button, 7665, 4830, 1215, 375, "1001", "Close", Colour::None, kDefault},
    {"lblFilterName", Kind::Label, 0, 0, 0, 0, nullptr, "", Colour::None, kHidden},
    {"Timer1", Kind::Timer, 0, 0, 0, 0},
};

const FormSpec kLayout{"frmPreview", "Tracewipe Preview", 9000,  5340, kControls,
                       {},           Border::Dialog,      "2101"};

} // namespace

const FormSpec& frmPreview::Layout() {
    return kLayout;
}

frmPreview::frmPreview() : Form(kLayout) {
    On("Timer1_Timer", [this] { Timer1_Timer(); });
    On("cmdCancel_Click", [this] { cmdCancel_Click(); });
    On("cmdClose_Click", [this] { Unload(); });
}

frmPreview::~frmPreview() = default;

void frmPreview::Form_Load() {
    SetCaptions(*this);
    ApplyFont(*this);
    cReg = std::make_unique<cRegSearch>();
    SetEnabled("cmdCancel", false);
    // the evaluation starts from the message loop, once the window is on screen
    SetTimer("Timer1", 50, true);
}

void frmPreview::Form_Unload() {
    stop_ = true;
    if (cReg)
        cReg->StopSearch();
}

void frmPreview::Timer1_Timer() {
    SetTimer("Timer1", 0, false);
    if (running_)
        return;
    running_ = true;
    const std::string filter = Caption("lblFilterName");
    SetCaption("lblFilter", LookupText("2102") + " " + filter);
    SetEnabled("cmdCancel", true);
    const PreviewResult result = PreviewFilter(
        ProgramFolder(), filter, *cReg,
        [this](const std::string& roots) {
            if (Loaded())
                SetCaption("lblProgress", LookupText("2103") + " " + roots);
        },
        &stop_);
    running_ = false;
    if (!Loaded())
        return; // closed during a search: nothing is left to show
    SetEnabled("cmdCancel", false);
    if (!result.Decoded) {
        SetCaption("lblProgress", LookupText("2118") + " " + filter);
        return;
    }
    SetCaption("lblProgress", LookupText(result.Cancelled ? "2105" : "2104"));
    for (const std::string& line : PreviewLines(result))
        AddItem("lstPreview", line);
    AddScroll(*this, "lstPreview");
    SetFocus(Control("cmdClose"));
}

void frmPreview::cmdCancel_Click() {
    stop_ = true;
    cReg->StopSearch();
}

} // namespace tw
