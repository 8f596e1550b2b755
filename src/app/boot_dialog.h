// The start-up dialog: Direct3D or DirectDraw, and whether to ask again; bound to the start-up
// record, which Start saves.
#pragma once

#include <vector>

#include "app/dialog.h"
#include "app/dialog_ctrls.h"

class cBootDialog : public cDialog {
 public:
  cBootDialog();
  ~cBootDialog() override;
  int OnInitDialog(WPARAM wParam, LPARAM lParam) override;
  int OnCommand(WPARAM wParam, LPARAM lParam) override;

  static cBootDialog* s_lpInstance;
  std::vector<cRadioCtrl> m_Radios;
  std::vector<cCheckCtrl> m_Checks;
  std::vector<cStaticCtrl> m_Statics;
};
