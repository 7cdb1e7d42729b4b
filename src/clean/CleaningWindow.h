#pragma once
// The base of the windows that clean: the Normal interface, the Advanced interface and the
// wizard's second page. It holds what they share: the menu table and its handlers, the
// filter list, captions and font, help, opening dialogs, switching to another window, the
// clean-up when the window unloads, and the run through the one engine. A window supplies
// its layout, a few traits (below) and the run request of its Clean.
//
// Adding a menu entry to both interfaces is one row of the table in CleaningWindow.cpp,
// for example
//     {{"mnuToolsX", 1, "1234", "&X", "Ctrl+Q"}, Does::OpenModal, "frmX"},
// and the entry is disabled by itself while no window "frmX" is registered.
#include "app/forms/Form.h"
#include "clean/CleaningRun.h"
#include "clean/rules/RunLog.h"
#include "decode/clsProtection.h"
#include "registry/cRegSearch.h"

#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace tw {

// What a menu entry does when it is chosen.
enum class Does {
    Nothing,     // a menu of the bar, a submenu or a separator
    Clean,       // the window's Clean (confirmation, then the run)
    Close,       // unloads the window
    Help,        // opens the help file named by the language text "0019"
    OpenModal,   // shows `form` modal, owned by the window; the handler goes on when it closes
    OpenInstead, // shows `form` modeless and unloads the window; nothing while a run is on
    Preview,     // shows `form` modal with the chosen filter (of the first selector) in its
                 // label lblFilterName; nothing while a run is on or without a filter
};

// One row of a menu table: the entry as the forms layer builds it, what it does, the window
// it opens, and whether that window is told its opener: a marked dialog gets the opener's
// caller mark ("1" Normal, "2" Advanced, "3" wizard page 1) in its label lblfIdentify.
struct MenuRow {
    MenuSpec entry;
    Does does = Does::Nothing;
    const char* form = nullptr;
    bool marked = false;
};
inline constexpr bool kMarked = true;

// The menu bar of the Normal and the Advanced interface.
std::span<const MenuRow> InterfaceMenu();
// What both interfaces disable while a run is on, in this order.
std::span<const char* const> InterfaceRunControls();

// The entries of a menu table, for a FormSpec. Made once per table, kept for the program's
// life.
std::span<const MenuSpec> MenuSpecs(std::span<const MenuRow> rows);

// Binds the OpenModal and OpenInstead rows of `rows` on `form` (handlers "<entry>_Click").
// `mark` goes into a marked dialog; while `busy` answers true, OpenInstead does nothing.
void BindOpeningRows(Form& form, std::span<const MenuRow> rows, const char* mark,
                     std::function<bool()> busy = {});
// Disables the rows that open a window this build does not have.
void DisableMissingWindows(Form& form, std::span<const MenuRow> rows);
// Shows the dialog `name` modal, owned by `owner`, after writing `mark` (when given) into its
// lblfIdentify. Returns when the dialog has been unloaded.
void ShowDialog(Form& owner, const char* name, const char* mark = nullptr);

// LoadFilterList: every filter of the program folder goes into each of `selectors`, sorted
// case-insensitively so every file system gives the same order, and the first is chosen in
// all of them. Without a filter: the "0007" message, and `cleaning` disabled.
void LoadFilterList(Form& form, std::span<const char* const> selectors,
                    std::span<const char* const> cleaning);

// What a cleaning window tells its base.
struct CleaningTraits {
    const char* callerMark = nullptr;              // written into marked dialogs
    std::span<const MenuRow> menu = {};            // the rows of the window's menu bar
    std::span<const char* const> selectors = {};   // filled by LoadFilterList
    std::span<const char* const> cleaning = {};    // disabled when there is no filter
    std::span<const char* const> runControls = {}; // disabled while a run is on
    const char* status = "lblStatus";              // the status label of the run
    const char* workingCopy = "cdtwf.dll";         // in the Windows folder; deleted on unload
};

class CleaningWindow : public Form, protected RunWindow, private ReportSink {
  public:
    CleaningWindow(const FormSpec& layout, const CleaningTraits& traits);
    ~CleaningWindow() override;

  protected:
    // Captions, font, Protection and cReg, lblOS and lblGPU (when the window has them), the
    // load texts, then LoadFilterList.
    void Form_Load() override;
    // Stops a running search, deletes the unpacked language file and the working copy.
    // Protection and cReg go with the object, which outlives a run that is still unwinding.
    void Form_Unload() override;

    // The filters of a Clean and how its run differs; ProgramFolder, Load and WorkingCopy
    // come filled in.
    virtual void MakeRequest(RunRequest& request) = 0;
    // cmdClose: unloads the window.
    virtual void cmdClose_Click() { Unload(); }

    // RunWindow
    bool Alive() const override { return Loaded(); }
    void SetStatus(const std::string& text) override;
    void SetRunning(bool running) override;
    void ClearDetails() override;
    std::vector<std::string> DetailLines() const override;
    ReportSink& Details() override { return *this; }
    // Asks whether to restart now (Yes restarts Windows).
    void OfferRestart(int scheduled) override;

    std::unique_ptr<clsProtection> Protection;
    std::unique_ptr<cRegSearch> cReg;

  private:
    void cmdClean_Click();
    void mnuHelpHelp_Click();
    void ShowPreview(const char* form);
    // ReportSink: lstDetail and lstDetails
    void Removed(const std::string& line) override;
    void NotFound(const std::string& line) override;

    CleaningTraits traits_;
    LoadTexts load_;
    bool running_ = false;
};

} // namespace tw
