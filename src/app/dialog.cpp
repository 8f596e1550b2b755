#include "app/dialog.h"

#include "app/dialog_ctrls.h"
#include "app/dialog_resources.h"
#include "app/main_window.h"
#include "core/message_box.h"
#include "platform/messages.h"
#include "platform/ui/dialog_host.h"
#include "platform/ui/dialog_model.h"

namespace ui = t4::platform::ui;

std::unique_ptr<ui::DialogModel> MakeDialogModel(int nResourceId) {
  const ui::DialogTemplate& tmpl = GetDialogResource(nResourceId);
  return std::make_unique<ui::DialogModel>(tmpl, ui::DialogBaseUnits(tmpl));
}

bool ServeModalMessages(int& nQuitCode) {
  MSG msg;
  while (t4::platform::PeekMessage(&msg, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      nQuitCode = static_cast<int>(msg.wParam);
      return true;
    }
    t4::platform::DispatchMessage(&msg);
  }
  return false;
}

cDialog::cDialog() { m_bTemplate = 1; }

cDialog::~cDialog() {
  m_Hook.Detach();
  if (m_hWnd) t4::platform::DestroyWindow(m_hWnd);
}

void cDialog::SetTemplate(int16_t sResourceId, cWnd* lpParent, void* lpRelated) {
  m_lpParent = lpParent;
  cWnd::SetTemplate(sResourceId, lpParent ? lpParent->m_hWnd : g_MainWindow.m_hWnd, lpRelated);
}

LRESULT cDialog::StaticProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* self = static_cast<cDialog*>(t4::platform::GetWindowUserData(hWnd));
  return self ? self->WindowProc(hWnd, msg, wParam, lParam) : 0;
}

LRESULT cDialog::DialogProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  const int r = OnMessage(hWnd, msg, wParam, lParam);
  if (msg == WM_DESTROY) return TRUE;
  if (msg == WM_CLOSE) {
    End(0);
    return TRUE;
  }
  return r != 0 ? TRUE : FALSE;
}

int cDialog::OnMessage(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_INITDIALOG) OnInitDialog(wParam, lParam);
  if (msg == WM_HOOK_SPECIAL_KEY) t4::platform::SendMessage(hWnd, WM_KEYDOWN, wParam, lParam);
  if (msg == WM_KEYDOWN)
    for (int i = 0; i < static_cast<int>(m_Ctrls.size()); ++i)
      m_Ctrls.At(i)->OnKey(static_cast<int>(wParam), lParam, false);
  if (msg == WM_NOTIFY)
    for (int i = 0; i < static_cast<int>(m_Ctrls.size()); ++i)
      if (m_Ctrls.At(i)->OnNotify(static_cast<int>(wParam), lParam) != 0) break;
  return cWnd::OnMessage(hWnd, msg, wParam, lParam);
}

int cDialog::OnInitDialog(WPARAM, LPARAM) {
  m_Ctrls.clear();
  // The window's messages already reach this object (the dialog window carries it), so no
  // second procedure is put in front of the dialog's own.
  RefreshStyle();
  Place();
  if (!m_Hook.Attach(m_hWnd, 0)) ErrorBoxf("KeyboardHookに失敗!");
  if (m_RequestedClient.w != 0 && m_RequestedClient.h != 0) ResizeClient(m_RequestedClient.w, m_RequestedClient.h);
  return 0;
}

int cDialog::OnCommand(WPARAM wParam, LPARAM) {
  const int id = LOWORD(wParam);
  const int code = HIWORD(wParam);
  for (int i = 0; i < static_cast<int>(m_Ctrls.size()); ++i) {
    cCtrl* c = m_Ctrls.At(i);
    if (c->m_sId != id) continue;
    if (c->m_nKind == CTRL_EDIT) {
      if (code == ui::EN_UPDATE) c->OnChange();
      if (code == ui::EN_KILLFOCUS) c->OnLeave();
    }
    break;
  }
  return 0;
}

cCtrl* cDialog::FindCtrl(int nId) {
  for (int i = 0; i < static_cast<int>(m_Ctrls.size()); ++i)
    if (m_Ctrls.At(i)->m_sId == nId) return m_Ctrls.At(i);
  return nullptr;
}

void cDialog::UpdateCtrls() {
  m_bUpdating = 1;
  for (int i = 0; i < static_cast<int>(m_Ctrls.size()); ++i) m_Ctrls.At(i)->ToCtrl();
  m_bUpdating = 0;
}

void cDialog::UpdateData() {
  for (int i = 0; i < static_cast<int>(m_Ctrls.size()); ++i) m_Ctrls.At(i)->FromCtrl();
}

void cDialog::End(int nResult) {
  m_nResult = nResult;
  m_Ctrls.clear();
  if (m_hWnd) m_bEnded = true;
}

void cDialog::PlaceInFrame() {
  const ui::Rect w = m_lpModel->WindowRect();
  int x = (ui::DialogHost::FRAME_W - w.w) / 2;
  int y = (ui::DialogHost::FRAME_H - w.h) / 2;
  if (m_nPlaceX != NO_PLACEMENT && m_nPlaceY != NO_PLACEMENT) {
    // The dialog is drawn in the game's screen: its place is taken relative to where the program
    // put its window (the screen's origin in full screen).
    const POINT main = MainWindowPosition();
    x = m_nX - main.x;
    y = m_nY - main.y;
  }
  m_lpModel->MoveTo(x, y);
  m_lpModel->KeepInside(ui::DialogHost::FRAME_W, ui::DialogHost::FRAME_H);
  if (m_nCursorX != NO_PLACEMENT && m_nCursorY != NO_PLACEMENT) {
    const POINT main = MainWindowPosition();
    // The pointer goes where it was meant to on the dialog, also when the dialog had to be
    // pulled back into the screen.
    const ui::Rect moved = m_lpModel->WindowRect();
    m_lpModel->SetCursor(m_nCursorX - main.x + (moved.x - x), m_nCursorY - main.y + (moved.y - y));
  }
}

int cDialog::DoModal(int) {
  if (m_hWnd) return 0;
  End(0);
  const bool bHookedBefore = IsKeyboardHooked();
  m_lpModel = MakeDialogModel(m_sResourceId);
  const ui::DialogTemplate& tmpl = m_lpModel->Template();
  m_dwStyle = WS_POPUP | DS_MODALFRAME | WS_DLGFRAME | (tmpl.hasCaption ? WS_CAPTION : 0);
  m_Client = INTRECT{0, 0, m_lpModel->ClientWidth(), m_lpModel->ClientHeight()};
  UpdateFrame();
  m_bEnded = false;
  m_nResult = 0;
  HWND hWnd = t4::platform::CreateMessageWindow(&cDialog::StaticProc, this);
  m_hWnd = hWnd;
  m_lpModel->OnCommand(
      [hWnd](int id, int code) { t4::platform::SendMessage(hWnd, WM_COMMAND, MAKEWPARAM(id, code), 0); });
  m_lpModel->OnClose([hWnd] { t4::platform::SendMessage(hWnd, WM_CLOSE, 0, 0); });
  m_lpModel->SetKeyFilter(
      [this, hWnd](int vk, bool down) { return cHook::HookProc(hWnd, m_lpModel->IsComposing(), vk, down); });
  t4::platform::SendMessage(hWnd, WM_INITDIALOG, 0, 0);
  PlaceInFrame();
  m_lpModel->EnsureFocus();
  int nQuit = 0;
  bool bQuit = false;
  ui::GetDialogHost().RunModal(
      *m_lpModel, [&] { return m_bEnded || bQuit; }, [&] { bQuit = bQuit || ServeModalMessages(nQuit); });
  const int result = m_nResult;
  m_Hook.Detach();
  m_hWnd = nullptr;
  t4::platform::DestroyWindow(hWnd);
  m_lpModel.reset();
  m_Ctrls.clear();
  if (!bHookedBefore) UnhookKeyboard();
  if (bQuit) t4::platform::PostQuitMessage(nQuit);
  return result;
}
