#pragma once
// The preview window: shows what the chosen filter would remove, changing nothing. It
// is opened modal with the filter name in its hidden label lblFilterName, evaluates the
// filter once it is on screen, and can be cancelled while the registry is searched.
#include "app/forms/Form.h"
#include "registry/cRegSearch.h"

#include <memory>

namespace tw {

class frmPreview : public Form {
  public:
    frmPreview();
    ~frmPreview() override;

    static const FormSpec& Layout();

  protected:
    void Form_Load() override;
    void Form_Unload() override;

  private:
    void Timer1_Timer();
    void cmdCancel_Click();

    std::unique_ptr<cRegSearch> cReg;
    bool stop_ = false;
    bool running_ = false;
};

} // namespace tw
