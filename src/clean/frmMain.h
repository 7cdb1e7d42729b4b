#pragma once
// The Normal interface: one cleaning filter, Clean, and the two result lists.
#include "clean/CleaningWindow.h"

namespace tw {

class frmMain : public CleaningWindow {
  public:
    frmMain();

    static const FormSpec& Layout();

  private:
    void MakeRequest(RunRequest& request) override;
};

} // namespace tw
