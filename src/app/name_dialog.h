// The ranking name entry: one edit box of at most three characters bound to the name being
// entered (the options' ranking name, or the play scene's new ranking entry).
#pragma once

#include <string>
#include <vector>

#include "app/dialog.h"
#include "app/dialog_ctrls.h"

class cNameDialog : public cDialog {
 public:
  cNameDialog();
  ~cNameDialog() override;
  int OnInitDialog(WPARAM wParam, LPARAM lParam) override;
  int OnCommand(WPARAM wParam, LPARAM lParam) override;

  static cNameDialog* s_lpInstance;
  std::vector<EDITDEF> m_EditDefs;
  std::vector<cEditCtrl> m_Edits;
};
