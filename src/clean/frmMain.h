#pragma once
// The Normal interface: one cleaning filter, Clean, and the two result lists.
#include "app/forms/Form.h"
#include "clean/CleaningRun.h"
#include "registry/cRegSearch.h"
#include "clean/rules/RunLog.h"
#include "decode/clsProtection.h"

#include <memory>
#include <string>
#include <vector>

namespace tw {

class frmMain : public Form, private RunWindow, private ReportSink {
  public:
    frmMain();
    ~frmMain() override;

    static const FormSpec& Layout();

  protected:
    void Form_Load() override;
    void Form_Unload() override;

  private:
    void LoadFilterList();
    void cmdClean_Click();
    // Shows the dialog `name` modal, owned by this form; `caller` goes into its
    // lblfIdentify first when given.
    void ShowDialog(const char* name, const char* caller = nullptr);
    // Shows the window `name` and unloads this form (wizard, cab cleaner).
    void SwitchTo(const char* name);

    // RunWindow
    bool Alive() const override { return Loaded(); }
    void SetStatus(const std::string& text) override;
    void SetRunning(bool running) override;
    void ClearDetails() override;
    std::vector<std::string> DetailLines() const override;
    ReportSink& Details() override { return *this; }
    // ReportSink
    void Removed(const std::string& line) override;
    void NotFound(const std::string& line) override;

    std::unique_ptr<clsProtection> Protection;
    std::unique_ptr<cRegSearch> cReg;
    LoadTexts load_;
    bool running_ = false;
};

} // namespace tw
