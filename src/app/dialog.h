// Modal dialogs: a dialog object runs one dialog description of the UI kit, keeps the control
// objects bound to program variables, moves values both ways, routes control notifications,
// keeps the keyboard hook installed while it is open, and ends with a result.
#pragma once

#include <cstdint>
#include <memory>

#include "app/hook.h"
#include "app/wnd.h"
#include "core/safe_containers.h"

namespace t4::platform::ui {
class DialogModel;
}
class cCtrl;

class cDialog : public cWnd {
 public:
  cDialog();
  ~cDialog() override;

  int OnCommand(WPARAM wParam, LPARAM lParam) override;
  int OnMessage(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) override;
  // Every dialog of the program answers its messages with the shared dialog procedure.
  LRESULT WindowProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) override {
    return DialogProc(hWnd, msg, wParam, lParam);
  }
  virtual int OnInitDialog(WPARAM wParam, LPARAM lParam);

  using cWnd::SetTemplate;
  // `lpParent` null: the main window.
  void SetTemplate(int16_t sResourceId, cWnd* lpParent, void* lpRelated);
  int DoModal(int nFlags);
  void End(int nResult);
  void UpdateCtrls();
  void UpdateData();
  // Appends a control object to the control list.
  void AddCtrl(cCtrl* lpCtrl) { m_Ctrls.push_back(lpCtrl); }
  // Looks up an attached control by id (null when none).
  cCtrl* FindCtrl(int nId);
  // The live dialog while it is open; null otherwise.
  t4::platform::ui::DialogModel* Model() { return m_lpModel.get(); }

  LRESULT DialogProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);

  cHook m_Hook;
  cWnd* m_lpParent = nullptr;
  cSafeVector<cCtrl*> m_Ctrls;
  int32_t m_bUpdating = 0;

 private:
  static LRESULT StaticProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);
  // Where the dialog is drawn in the game's screen.
  void PlaceInFrame();

  std::unique_ptr<t4::platform::ui::DialogModel> m_lpModel;
  bool m_bEnded = false;
};

// The dialog's font and sizes from its description.
std::unique_ptr<t4::platform::ui::DialogModel> MakeDialogModel(int nResourceId);
// Serves the window thread's messages while a modal loop runs; true once WM_QUIT came (it is
// posted again for the outer loop when the modal loop has ended).
bool ServeModalMessages(int& nQuitCode);
