#pragma once
// The cab cleaner: removes the ATI and NVIDIA files from the driver cabinets that the
// cab filters name, and rebuilds each cabinet without them.
#include "app/forms/Form.h"
#include "decode/clsProtection.h"

#include <memory>
#include <string>
#include <vector>

namespace tw {

class frmCC : public Form {
  public:
    frmCC();
    ~frmCC() override;

    static const FormSpec& Layout();

  protected:
    void Form_Load() override;
    void Form_Unload() override;

  private:
    void LoadCabFilters();
    void cmdClean_Click();
    void ProcessCabFilter(const std::string& workingCopy);
    void CleanCabinet(const std::string& line);
    void RemoveDriverFiles();
    // Lists what is left in lstCAB and returns it: the rebuild takes the names from here,
    // so a window closed while the run yields still gets its whole cabinet.
    std::vector<std::string> ListExtractedFiles();
    bool RebuildCabinet(const std::vector<std::string>& names); // true when written whole
    void Leave(); // back to the interface the settings name
    void SetRunning(bool running);

    std::unique_ptr<clsProtection> Protection;
    std::string entry_;          // the chosen entry of the run
    std::string currentCabinet_; // full path of the cabinet being treated
    std::string folder_;         // its extraction folder, made empty for it
    bool running_ = false;
};

// Registers frmCC with the form registry.
void RegisterCabForms();

} // namespace tw
