// The cleaning wizard: page 1 (frmWiz1) chooses one filter, page 2 (frmWiz2) names it and
// cleans with it. Page 2's run is the engine's with the wizard's request: no settings read,
// so no folders, backups or log; no per-item lines; its own working copy and end status.
#include "app/Captions.h"
#include "app/forms/Forms.h"
#include "app/modFont.h"
#include "app/modGeneral.h"
#include "clean/CleaningForms.h"
#include "clean/CleaningWindow.h"

#include <memory>

namespace tw {

namespace {

// ---- frmWiz1 --------------------------------------------------------------------------

// Positions in twips: left, top, width, height. The frame holds the instruction and the
// selector.
const ControlSpec kPage1Controls[] = {
    {"lblWizInfo", Kind::Label, 120, 120, 5295, 735, "1071",
     "Welcome to the cleaning wizard. This will help you step by step to clean files and "
     "registry remainings from driver uninstalls."},
    {"fraWiz1", Kind::Frame, 120, 930, 5295, 1245, "1069", "Filter Selection"},
    {"lblWizFilInfo", Kind::Label, 120, 270, 5055, 390, "1070",
     "Select the filter you want to clean with.", Colour::None, 0, "fraWiz1"},
    {"cboConfigsWiz", Kind::ComboBox, 120, 720, 5055, 315, nullptr, "", Colour::None, 0, "fraWiz1"},
    {"cmdCancel", Kind::Button, 2880, 2400, 1215, 375, "1067", "Cancel"},
    {"cmdNext", Kind::Button, 4200, 2400, 1215, 375, "1068", "Next >", Colour::None, kDefault},
};

const MenuRow kPage1Menu[] = {
    {{"mnuOptions", 0, "1008", "Options"}},
    {{"mnuOptionsLanguage", 1, "1017", "&Language", "Ctrl+L"},
     Does::OpenModal,
     "frmLanguage",
     kMarked},
    {{"mnuOptionsOptions", 1, "1018", "&Options", "Ctrl+O"}, Does::OpenModal, "frmOptions"},
    {{"mnuOptionsFont", 1, "1078", "&Font", "Ctrl+F"}, Does::OpenModal, "frmFont", kMarked},
};

const char* const kPage1Selectors[] = {"cboConfigsWiz"};
const char* const kPage1Next[] = {"cmdNext"};

const FormSpec& Page1Layout() {
    static const FormSpec layout{
        "frmWiz1",      "Tracewipe Wizard",    5535,          2895,
        kPage1Controls, MenuSpecs(kPage1Menu), Border::Fixed, "1066",
        true,
    };
    return layout;
}

class frmWiz1 : public Form {
  public:
    frmWiz1() : Form(Page1Layout()) {
        BindOpeningRows(*this, kPage1Menu, "3");
        On("cmdNext_Click", [this] { cmdNext_Click(); });
        On("cmdCancel_Click", [this] {
            ReturnToInterface();
            Unload();
        });
    }

  private:
    void Form_Load() override {
        SetCaptions(*this);
        ApplyFont(*this);
        LoadFilterList(*this, kPage1Selectors, kPage1Next);
    }

    void cmdNext_Click() {
        const std::string filter = Text("cboConfigsWiz");
        Form* page2 = Forms::Show("frmWiz2");
        if (!page2)
            return;
        page2->SetCaption("lblWizCFilter", filter);
        Unload();
    }
};

// ---- frmWiz2 --------------------------------------------------------------------------

const ControlSpec kPage2Controls[] = {
    {"lblWiz2Info", Kind::Label, 120, 120, 5295, 645, "1074",
     "You have selected your cleaning filter. Press clean to start the cleaning with the "
     "selected filter."},
    {"lblWizSelected", Kind::Label, 120, 900, 1335, 255, "1073", "Selected:"},
    {"lblWizCFilter", Kind::Label, 1500, 900, 3915, 255},
    {"lblWizStatus", Kind::Label, 120, 1260, 5295, 450},
    {"cmdBack", Kind::Button, 1560, 1890, 1215, 375, "1072", "< Back"},
    {"cmdClean", Kind::Button, 2880, 1890, 1215, 375, "1002", "Clean", Colour::None, kDefault},
    {"cmdClose", Kind::Button, 4200, 1890, 1215, 375, "1001", "Close"},
};

const char* const kPage2RunControls[] = {"cmdClean", "cmdClose"};

const FormSpec& Page2Layout() {
    static const FormSpec layout{
        "frmWiz2", "Tracewipe Wizard", 5535, 2385, kPage2Controls, {}, Border::Fixed, "1066", true,
    };
    return layout;
}

class frmWiz2 : public CleaningWindow {
  public:
    frmWiz2()
        : CleaningWindow(Page2Layout(), {.runControls = kPage2RunControls,
                                         .status = "lblWizStatus",
                                         .workingCopy = "cddwf.dll"}) {
        // page 1 loads afresh: its list is filled again and the first filter chosen
        On("cmdBack_Click", [this] {
            if (Forms::Show("frmWiz1"))
                Unload();
        });
    }

  private:
    void cmdClose_Click() override {
        ReturnToInterface();
        Unload();
    }

    void MakeRequest(RunRequest& request) override {
        request.Filters.push_back(RunFilter{Caption("lblWizCFilter"), 0});
        request.ReadSettings = false;
        request.MakeReports = false;
        request.EndStatus = "0121";
    }
};

} // namespace

void RegisterWizardForms() {
    Forms::Register("frmWiz1", [] { return std::make_unique<frmWiz1>(); });
    Forms::Register("frmWiz2", [] { return std::make_unique<frmWiz2>(); });
}

} // namespace tw
